#include "HeldSignals.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <thread>
#include <utility>
#include <vector>

namespace sumlark {
namespace {

// Signals are a matter of the whole process, so their routing is kept once
// per process. It is made and never destroyed: the thread that takes the
// signals may still use it while the program ends.
struct Routing {
    pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
    bool routed = false;
    sigset_t routedSet;   // held and taken by the signal thread
    sigset_t startMask;   // what the program was started with, for its children
    int held = 0;         // open held windows
    sigset_t deferred;    // arrived while held
    std::vector<std::pair<int, std::string>> temporaries;
};

Routing& routing()
{
    static Routing* const state = [] {
        auto* made = new Routing;
        sigemptyset(&made->routedSet);
        sigemptyset(&made->startMask);
        sigemptyset(&made->deferred);
        return made;
    }();
    return *state;
}

// Does what the signal would have done had it not been held: nothing where
// it is ignored; otherwise the run's named temporaries go, then the signal
// is delivered in the calling thread, where its handler (the folder lock's,
// which removes the lock) or its default action ends the program.
// Called with the routing's lock held, so that no held window opens between
// the decision and the end.
void deliver(Routing& state, int signal)
{
    struct sigaction now {};
    if (::sigaction(signal, nullptr, &now) != 0 || now.sa_handler == SIG_IGN)
        return;
    for (const auto& [folder, name] : state.temporaries)
        ::unlinkat(folder, name.c_str(), 0);
    state.temporaries.clear();
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    ::raise(signal); // pending in this thread until unblocked just below
    ::pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    ::pthread_sigmask(SIG_BLOCK, &one, nullptr);
}

void takeSignals()
{
    Routing& state = routing();
    for (;;) {
        const int signal = ::sigwaitinfo(&state.routedSet, nullptr);
        if (signal <= 0)
            continue;
        ::pthread_mutex_lock(&state.lock);
        if (state.held > 0)
            sigaddset(&state.deferred, signal);
        else
            deliver(state, signal);
        ::pthread_mutex_unlock(&state.lock);
    }
}

extern "C" void childGetsStartMask()
{
    ::pthread_sigmask(SIG_SETMASK, &routing().startMask, nullptr);
}

} // namespace

sigset_t heldSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ,
                             SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR})
        sigaddset(&set, signal);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        sigaddset(&set, signal);
    return set;
}

// Why a thread of its own rather than handlers: a process-directed signal
// goes to any thread that does not block it, and Qt starts threads (the X11
// event reader, D-Bus) whenever it needs them, each inheriting the mask of
// the thread that starts it. Blocking once here, before any of them exists,
// means every later thread blocks too, whoever starts it; the only thread
// that takes the signals is this one, which knows whether a window is held.
// Unblocking in the main thread instead would hand the unblocked mask to
// every thread Qt starts later from there.
void routeSignals()
{
    Routing& state = routing();
    if (state.routed)
        return;
    ::pthread_sigmask(SIG_SETMASK, nullptr, &state.startMask);
    const sigset_t held = heldSignalSet();
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction now {};
        // Ignored by whoever started the program (nohup, say): left ignored
        // and unblocked, so that it never queues up.
        if (sigismember(&held, signal) == 1 && ::sigaction(signal, nullptr, &now) == 0 && now.sa_handler != SIG_IGN)
            sigaddset(&state.routedSet, signal);
    }
    ::pthread_sigmask(SIG_BLOCK, &state.routedSet, nullptr);
    // Programs the window starts (the editor, the file manager) must end on
    // Ctrl+C and log-out as they always do: a blocked mask survives exec.
    ::pthread_atfork(nullptr, nullptr, childGetsStartMask);
    state.routed = true;
    std::thread(takeSignals).detach();
}

HeldInterrupts::HeldInterrupts()
{
    Routing& state = routing();
    routed_ = state.routed;
    if (routed_) {
        ::pthread_mutex_lock(&state.lock);
        ++state.held;
        ::pthread_mutex_unlock(&state.lock);
        return;
    }
    const sigset_t held = heldSignalSet();
    ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

HeldInterrupts::~HeldInterrupts()
{
    if (!routed_) {
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
        return;
    }
    Routing& state = routing();
    ::pthread_mutex_lock(&state.lock);
    if (--state.held == 0) {
        // What was asked for while the window was held happens now.
        const sigset_t arrived = state.deferred;
        sigemptyset(&state.deferred);
        for (int signal = 1; signal < NSIG; ++signal)
            if (sigismember(&arrived, signal) == 1)
                deliver(state, signal);
    }
    ::pthread_mutex_unlock(&state.lock);
}

void noteTemporary(int folder, const std::string& name)
{
    Routing& state = routing();
    ::pthread_mutex_lock(&state.lock);
    state.temporaries.emplace_back(folder, name);
    ::pthread_mutex_unlock(&state.lock);
}

void forgetTemporary(int folder, const std::string& name)
{
    Routing& state = routing();
    ::pthread_mutex_lock(&state.lock);
    std::erase(state.temporaries, std::pair{folder, name});
    ::pthread_mutex_unlock(&state.lock);
}

} // namespace sumlark
