// The web page's engine entry, natively: the time of makeSheets for the
// options given (name value ... as sumlark.mjs takes them, a switch's value
// empty), the median of 9 runs in milliseconds, to set beside the same
// call's time in the browser (bench/web-engine.mjs).
//
//   web_engine_time type all smallest 15260 largest 4770 count 32766 borrow without distinct ''

#include "WebEntry.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<unsigned char> request;
    for (int i = 1; i < argc; ++i) {
        const auto length = static_cast<std::uint32_t>(std::strlen(argv[i]));
        for (int shift = 0; shift < 32; shift += 8)
            request.push_back(static_cast<unsigned char>(length >> shift));
        request.insert(request.end(), argv[i], argv[i] + length);
    }
    std::vector<double> times;
    std::size_t replySize = 0;
    for (int run = 0; run < 9; ++run) {
        const auto start = std::chrono::steady_clock::now();
        replySize = std::strlen(sumlark_make(request.data(), request.size()));
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + 4, times.end());
    std::printf("{\"medianMs\": %.2f, \"replyBytes\": %zu}\n", times[4], replySize);
    return 0;
}
