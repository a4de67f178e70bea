#pragma once

// The signals that would end the program while a pair's files move into
// place, and where they are delivered.
//
// A program calls routeSignals() first thing in main(), before Qt or anything
// else starts a thread: from then on those signals wait in every thread and
// one thread of the program's own takes them. Outside a held window it does
// what the signal would have done (after removing the run's named temporary
// files); inside one it keeps it until the window closes. A program that does
// not call it (a test, say) still holds the signals, in the holding thread only.

#include <string>

#ifndef _WIN32
#include <signal.h>
#endif

namespace sumlark {

// Blocks the held signals in the calling thread, which every later thread
// inherits, and starts the thread that takes them. Signals ignored by
// whoever started the program stay ignored. Call it once, before any thread.
void routeSignals();

// Holds back every asynchronous signal that ends the program by default
// (Ctrl+C, Ctrl+\, termination, a closed terminal or pipe, the timers, CPU
// and file limits, the user and real-time signals) while it lives; what
// arrived meanwhile is delivered at its end. Holds nest. Faults of the
// program itself (SIGSEGV, SIGABRT and the like) are never held.
class HeldInterrupts {
public:
    HeldInterrupts();
    ~HeldInterrupts();
    HeldInterrupts(const HeldInterrupts&) = delete;
    HeldInterrupts& operator=(const HeldInterrupts&) = delete;

private:
#ifndef _WIN32
    sigset_t previous_;
    bool routed_ = false;
#endif
};

#ifndef _WIN32
// The signals held: those above, as the system numbers them.
sigset_t heldSignalSet();
#endif

// Named temporary files of the run (where the file system has no unnamed
// ones), removed before a signal ends the program. Note one while
// interrupts are held, so that none is made and left between the two.
void noteTemporary(int folder, const std::string& name);
void forgetTemporary(int folder, const std::string& name);

} // namespace sumlark
