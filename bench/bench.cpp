// Times kestrix.exe against the floor program, alternating them, with the
// stand-in editor in front, and measures how tightly the injected key events
// arrive, from the keyboard hook's timestamps.
//
// bench_driver.exe RUNS
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "harness.h"

using namespace harness;

namespace {

struct Samples {
    std::vector<double> startToExitMs;
    std::vector<double> eventSpreadMs;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double Max(const std::vector<double>& values) { return *std::max_element(values.begin(), values.end()); }

// One start: time to exit, then the spread of the six events it injected.
bool TimeOneStart(const std::wstring& exe, StandIn& editor, int commandsBefore, Samples& samples) {
    const size_t eventsBefore = editor.KeyEvents().size();
    const TimedRun run = RunTimed(exe);
    if (run.exitCode != 0 || !WaitUntil([&] { return editor.Count("command SaveAs") > commandsBefore; }, 5000)) return false;

    const auto events = editor.KeyEvents();
    if (events.size() != eventsBefore + 6) return false;
    samples.startToExitMs.push_back(run.milliseconds);
    samples.eventSpreadMs.push_back(static_cast<double>(events.back().time - events[eventsBefore].time));
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    const int runs = argc > 1 ? _wtoi(argv[1]) : 30;
    StandIn editor;
    if (!editor.Start() || !BringToFront(editor.Window())) {
        std::printf("the stand-in editor did not start or come to the front\n");
        return 1;
    }
    const std::wstring kestrix = ExeDir() + L"kestrix.exe", floor = ExeDir() + L"bench_floor.exe";
    Samples tool, base;
    int commands = 0;
    // One warm-up start each, then alternating pairs whose order flips each
    // round, so drift on a noisy machine falls on both alike.
    bool ok = TimeOneStart(kestrix, editor, commands++, tool) && TimeOneStart(floor, editor, commands++, base);
    tool = base = Samples{};
    for (int round = 0; ok && round < runs; ++round) {
        const bool toolFirst = round % 2 == 0;
        ok = TimeOneStart(toolFirst ? kestrix : floor, editor, commands++, toolFirst ? tool : base) &&
             TimeOneStart(toolFirst ? floor : kestrix, editor, commands++, toolFirst ? base : tool);
    }
    editor.Close();
    if (!ok) {
        std::printf("a start did not produce exactly one Save As and six events\n");
        return 1;
    }

    const double toolMedian = Median(tool.startToExitMs), floorMedian = Median(base.startToExitMs);
    std::printf("runs each:                     %d, alternating\n", runs);
    std::printf("start to exit, median:         kestrix.exe %.2f ms, floor %.2f ms\n", toolMedian, floorMedian);
    std::printf("ratio kestrix / floor:         %.3f\n", toolMedian / floorMedian);
    std::printf("spread of the 6 events:        kestrix.exe median %.0f ms, max %.0f ms; floor median %.0f ms, max %.0f ms\n",
                Median(tool.eventSpreadMs), Max(tool.eventSpreadMs), Median(base.eventSpreadMs),
                Max(base.eventSpreadMs));
    return 0;
}
