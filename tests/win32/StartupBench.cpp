// A benchmark, not a test: how long veltrix-instrument-settings.exe takes under Wine from its
// start to its first window, over several starts (each ended with Esc). The aim is within 1 s.
//   bench_win32_startup.exe Z:\path\veltrix-instrument-settings.exe [STARTS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/win32/ProgramProcess.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [STARTS]\n", argv[0]);
        return 2;
    }
    const int starts = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::vector<double> times;
    for (int i = 0; i < starts; ++i) {
        const auto begin = std::chrono::steady_clock::now();
        const win32_test::ProgramProcess program(argv[1], "");
        HWND window =
            program.WaitForWindow("Veltrix Instrument Settings V 1.05  -  Step 1 of 5", 60000);
        const auto end = std::chrono::steady_clock::now();
        if (window == nullptr) {
            std::fprintf(stderr, "start %d: no window\n", i + 1);
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
        program.PressKey(window, VK_ESCAPE);
        program.WaitForExit(60000);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "start to first window under Wine: median %.0f ms, best %.0f ms, worst %.0f ms "
        "over %d starts (aim: within 1000 ms)\n",
        times[times.size() / 2], times.front(), times.back(), starts);
    return 0;
}
