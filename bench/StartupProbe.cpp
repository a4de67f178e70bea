// Preloaded into the window program by bench/startup.sh, so the program needs
// no hook of its own: at the first flush of a backing store, which is the
// main window's first paint reaching the (offscreen) screen, it writes the
// milliseconds since the script started the process and ends the process;
// asked to, it first copies the process's smaps.
// Qt-free: it stands in for one Qt function by its mangled name.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using Flush = void (*)(void*, const void*, void*, const void*);

constexpr const char* kFlushSymbol = "_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint";

long long nowNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

} // namespace

// QBackingStore::flush(const QRegion&, QWindow*, const QPoint&)
extern "C" void sumlarkProbeFlush(void* store, const void* region, void* window, const void* offset)
    __asm__("_ZN13QBackingStore5flushERK7QRegionP7QWindowRK6QPoint");

extern "C" void sumlarkProbeFlush(void* store, const void* region, void* window, const void* offset)
{
    auto real = reinterpret_cast<Flush>(dlvsym(RTLD_NEXT, kFlushSymbol, "Qt_6"));
    if (!real)
        real = reinterpret_cast<Flush>(dlsym(RTLD_NEXT, kFlushSymbol));
    if (real)
        real(store, region, window, offset);

    const long long shown = nowNanoseconds();
    const char* started = std::getenv("SUMLARK_PROBE_T0");
    const char* out = std::getenv("SUMLARK_PROBE_OUT");
    if (started && out) {
        if (FILE* file = std::fopen(out, "w")) {
            std::fprintf(file, "%.2f\n", double(shown - std::atoll(started)) / 1e6);
            std::fclose(file);
        }
    }
    // What is resident at that paint, mapping by mapping, to say where the
    // memory goes (bench/startup.sh smaps).
    if (const char* smaps = std::getenv("SUMLARK_PROBE_SMAPS")) {
        FILE* from = std::fopen("/proc/self/smaps", "r");
        FILE* to = std::fopen(smaps, "w");
        char chunk[65536];
        for (size_t n; from && to && (n = std::fread(chunk, 1, sizeof chunk, from)) > 0;)
            std::fwrite(chunk, 1, n, to);
        if (from)
            std::fclose(from);
        if (to)
            std::fclose(to);
    }
    _exit(real ? 0 : 3);
}
