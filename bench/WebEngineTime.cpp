// The web page's engine entry, natively: the time of what makeSheets asks of
// it for the options given (name value ... as sumlark.mjs takes them, a
// switch's value empty): the run, then each sheet's two texts and its
// problems. The median of 9 runs in milliseconds, to set beside makeSheets'
// time in the browser (bench/web-bench.mjs).
//
//   web_engine_time type all smallest 15260 largest 4770 count 32766 borrow without distinct ''

#include "WebEntry.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
    int sheetsAsked = 1;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::strcmp(argv[i], "sheets") == 0)
            sheetsAsked = std::atoi(argv[i + 1]);
    std::vector<double> times;
    std::size_t replySize = 0;
    for (int run = 0; run < 9; ++run) {
        const auto start = std::chrono::steady_clock::now();
        replySize = std::strlen(sumlark_make(request.data(), request.size()));
        // A set's count stands in the reply; one sheet is enough to time here
        // unless the options ask for more.
        for (int number = 1; number <= sheetsAsked; ++number) {
            replySize += std::strlen(sumlark_text(number, 0)) + std::strlen(sumlark_text(number, 1));
            replySize += sumlark_problems(number) ? 1 : 0;
        }
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + 4, times.end());
    std::printf("{\"medianMs\": %.2f, \"replyBytes\": %zu}\n", times[4], replySize);
    return 0;
}
