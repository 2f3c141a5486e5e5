// Times kestrix.exe against the floor program, alternating them, with the
// stand-in editor in front, and measures how tightly the injected key events
// arrive, from the keyboard hook's timestamps.
//
// bench_driver.exe RUNS   (bench/run passes its default)
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

double Min(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}
double Max(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

void PrintSpread(const char* what, const char* unit, const std::vector<double>& tool,
                 const std::vector<double>& base) {
    std::printf("%-24s kestrix.exe %7.1f %7.1f %7.1f    floor %7.1f %7.1f %7.1f  %s\n", what,
                Min(tool), Median(tool), Max(tool), Min(base), Median(base), Max(base), unit);
}

// One start: time to exit, then the spread of the six events it injected.
bool TimeOneStart(const std::wstring& exe, StandIn& editor, Samples& samples) {
    const int commandsBefore = editor.Count("command SaveAs");
    const size_t eventsBefore = editor.KeyEvents().size();
    const TimedRun run = RunTimed(exe);
    if (run.exitCode != 0 ||
        !WaitUntil([&] { return editor.Count("command SaveAs") > commandsBefore; }, 5000))
        return false;

    const auto events = editor.KeyEvents();
    if (events.size() != eventsBefore + 6) return false;
    samples.startToExitMs.push_back(run.milliseconds);
    samples.eventSpreadMs.push_back(
        static_cast<double>(events.back().time - events[eventsBefore].time));
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    const int runs = argc > 1 ? _wtoi(argv[1]) : 0;
    if (runs < 1) {
        std::printf("usage: bench_driver RUNS, a positive number of starts of each program\n");
        return 2;
    }
    StandIn editor;
    if (!editor.Start() || !BringToFront(editor.Window())) {
        std::printf("the stand-in editor did not start or come to the front\n");
        return 1;
    }
    const std::wstring kestrix = ExeDir() + L"kestrix.exe", floor = ExeDir() + L"bench_floor.exe";
    Samples tool, base;
    // One warm-up start each, then alternating pairs whose order flips each
    // round, so drift on a noisy machine falls on both alike.
    bool ok = TimeOneStart(kestrix, editor, tool) && TimeOneStart(floor, editor, base);
    tool = base = Samples{};
    for (int round = 0; ok && round < runs; ++round) {
        const bool toolFirst = round % 2 == 0;
        ok = TimeOneStart(toolFirst ? kestrix : floor, editor, toolFirst ? tool : base) &&
             TimeOneStart(toolFirst ? floor : kestrix, editor, toolFirst ? base : tool);
    }
    editor.Close();
    if (!ok) {
        std::printf("a start did not produce exactly one Save As and six events\n");
        return 1;
    }

    std::printf("%d alternating starts of each\n%-24s %-11s %7s %7s %7s    %-5s %7s %7s %7s\n",
                runs, "", "", "min", "median", "max", "", "min", "median", "max");
    PrintSpread("start to exit", "ms", tool.startToExitMs, base.startToExitMs);
    PrintSpread("spread of the 6 events", "ms", tool.eventSpreadMs, base.eventSpreadMs);
    std::printf("ratio of medians, kestrix.exe / floor: %.3f\n",
                Median(tool.startToExitMs) / Median(base.startToExitMs));
    return 0;
}
