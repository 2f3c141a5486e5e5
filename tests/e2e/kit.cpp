// kestrix-check.exe: the end-to-end scenarios for kestrix.exe on a real
// Windows desktop, or Wine's. With no arguments, as a double-click starts it,
// it runs them all and reports one line each; with one, it runs that one.
//
// kestrix-check.exe [NAME | KIND [ARGUMENT] | demo OUTDIR]
#include <windows.h>
#include <imm.h>

#include <atomic>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "checks.h"
#include "harness.h"
#include "scenarios.h"

using namespace checks;
using namespace harness;

namespace {

struct Scenario {
    const wchar_t* name;
    const wchar_t* kind;
    const wchar_t* argument;
};

const Scenario kScenarios[] = {
#include "scenarios.inc"
};

// CTest's SKIP_RETURN_CODE: the scenario could not be set up here.
constexpr long kSkipped = 77;

// Runs one scenario in this process and returns its exit status.
int Run(const std::wstring& kind, const std::wstring& argument) {
    const bool known = RunScenario(kind, argument);
    ReleasePressedKeys();
    if (!known) return -1;
    if (failures > 0) return 1;
    return skipped.empty() ? 0 : static_cast<int>(kSkipped);
}

// The scenario running in a process of its own, while the whole kit runs;
// read by the console handler's thread.
std::atomic<HANDLE> runningScenario{nullptr};

// Whatever ends this process, no key it pressed stays down; the processes it
// started end with it through their job.
BOOL WINAPI OnConsoleEnd(DWORD) {
    ReleasePressedKeys();
    // Ctrl+C and a closed console reach the running scenario too: let it
    // release its own keys before its job ends it.
    if (HANDLE scenario = runningScenario) WaitForSingleObject(scenario, 3000);
    return FALSE;  // and let the process end as it would have
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS*) {
    ReleasePressedKeys();
    return EXCEPTION_CONTINUE_SEARCH;
}

struct Report {
    long exitCode;
    std::vector<std::string> lines;
};

// Each scenario runs as a process of its own, exactly as CTest runs it: what
// one leaves in the desktop's or this process's input state cannot reach the
// next, and a crash in one ends only that one.
Report RunOnItsOwn(const Scenario& scenario) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return {-1, {"cannot make a pipe"}};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    Process process = Start(self, scenario.name, writeEnd);
    CloseHandle(writeEnd);  // so that reading ends when the scenario does
    runningScenario = process.handle;
    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        output.append(buffer, got);
    CloseHandle(readEnd);
    runningScenario = nullptr;
    Report report = {WaitForExitOrEnd(process, 10000), {}};
    for (size_t start = 0; start < output.size();) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        report.lines.push_back(line);
        start = end + 1;
    }
    return report;
}

// What the results were measured on, to be told along with them.
void DescribeSystem() {
    // RtlGetVersion tells the truth; GetVersionEx says what this exe's manifest lets it.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW os = {};
    os.dwOSVersionInfoSize = sizeof os;
    if (rtlGetVersion) rtlGetVersion(&os);
    const std::string wine = WineVersion();
    std::printf("System:          %s%lu.%lu build %lu%s\n",
                wine.empty() ? "Windows " : ("Wine " + wine + ", as Windows ").c_str(),
                os.dwMajorVersion, os.dwMinorVersion, os.dwBuildNumber,
                wine.empty() ? "" : " (a Windows stand-in; Windows is what counts)");

    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    std::printf("Image:           %d-bit%s\n", static_cast<int>(sizeof(void*) * 8),
                wow64 ? ", under WoW64" : "");
    std::printf("ANSI code page:  %u\n", GetACP());

    wchar_t layoutName[KL_NAMELENGTH] = {};
    GetKeyboardLayoutNameW(layoutName);
    std::printf("Keyboard layout: %s\n", Narrow(layoutName).c_str());

    HKL layouts[32];
    const int count = GetKeyboardLayoutList(32, layouts);
    std::string imes;
    for (int i = 0; i < count; ++i) {
        const auto layout = reinterpret_cast<UINT_PTR>(layouts[i]);
        // A Japanese input language comes with its IME, whether IMM or TSF serves it.
        if (ImmIsIME(layouts[i]) || LOWORD(layout) == 0x0411)
            imes += (imes.empty() ? "" : ", ") + Hex(layout);
    }
    std::printf("IME:             %s\n",
                imes.empty() ? "none installed" : ("installed (" + imes + ")").c_str());
}

// Started by a double-click, this process has a console of its own, which
// closes with it: keep it open until the result has been read.
void WaitForEnterIfOwnConsole() {
    DWORD processes[2];
    DWORD mode = 0;
    if (GetConsoleProcessList(processes, 2) == 1 &&
        GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode)) {
        std::printf("\nPress Enter to close this window.\n");
        std::getchar();
    }
}

// The text of the first line that starts with PREFIX, without it.
std::string After(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
    return "";
}

int RunAll() {
    std::printf(
        "Kestrix check kit %s: every scenario, about a minute. Leave the keyboard and "
        "mouse alone until it ends.\n",
        KESTRIX_VERSION);
    DescribeSystem();
    std::printf("\n");
    int passed = 0, failed = 0, notRun = 0;
    std::set<std::string> notesShown;
    for (const Scenario& scenario : kScenarios) {
        const Report report = RunOnItsOwn(scenario);
        const std::string name = Narrow(scenario.name);
        const bool pass = report.exitCode == 0, skip = report.exitCode == kSkipped;
        if (pass) {
            ++passed;
            std::printf("passed   %s\n", name.c_str());
        } else if (skip) {
            ++notRun;
            std::printf("skipped  %s: %s\n", name.c_str(),
                        After(report.lines, "skipped: ").c_str());
        } else {
            ++failed;
            const std::string what = After(report.lines, "FAIL: ");
            std::printf("FAILED   %s: %s\n", name.c_str(),
                        what.empty() ? ("exit status " + std::to_string(report.exitCode)).c_str()
                                     : what.c_str());
        }
        // A failure shows all that differed; otherwise only the notes, each once.
        for (const std::string& line : report.lines) {
            const bool note = line.rfind("note: ", 0) == 0;
            if (pass || skip ? note && notesShown.insert(line).second : line.rfind("ok: ", 0) != 0)
                std::printf("         %s\n", line.c_str());
        }
    }
    std::printf("\n%d passed, %d failed, %d skipped\n", passed, failed, notRun);
    if (failed > 0)
        std::printf("Please report this whole output, and the system lines above with it.\n");
    WaitForEnterIfOwnConsole();
    return failed > 0 ? 1 : 0;
}

int Usage() {
    std::printf("usage: kestrix-check [NAME | KIND [ARGUMENT] | demo OUTDIR]\nscenarios:");
    for (const Scenario& scenario : kScenarios) std::printf(" %s", Narrow(scenario.name).c_str());
    std::printf("\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    SetConsoleCtrlHandler(OnConsoleEnd, TRUE);
    SetUnhandledExceptionFilter(OnCrash);
    if (argc < 2) return RunAll();
    std::wstring kind = argv[1];
    std::wstring argument = argc > 2 ? argv[2] : L"";
    if (kind == L"demo") return Demo(argument);
    for (const Scenario& scenario : kScenarios) {
        if (kind == scenario.name) {
            kind = scenario.kind;
            argument = scenario.argument;
        }
    }
    const int status = Run(kind, argument);
    return status < 0 ? Usage() : status;
}
