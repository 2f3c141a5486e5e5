// End-to-end scenarios for kestrix.exe on a real Win32 desktop. Each run of
// this program is one scenario; it prints what it saw and exits 0 on success.
//
// e2e_driver.exe held MASK | args | repeat N | notice CASE | demo OUTDIR
//                | version X.Y.Z | planted-dll
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "checks.h"
#include "harness.h"

using namespace checks;
using namespace harness;

namespace {

// What the hook must see of one tool event: injected, never extended, extra 0.
KeyEvent Injected(unsigned vk, unsigned scan, bool up) {
    return {vk, scan, static_cast<unsigned>(LLKHF_INJECTED | (up ? LLKHF_UP : 0)), 0, 0};
}

std::vector<std::string> Described(const std::vector<KeyEvent>& events) {
    std::vector<std::string> lines;
    lines.reserve(events.size());
    for (const KeyEvent& event : events) lines.push_back(Describe(event));
    return lines;
}

void CheckEvents(const std::vector<KeyEvent>& expected, const std::vector<KeyEvent>& seen) {
    const auto want = Described(expected), got = Described(seen);
    Check(want == got,
          "the hook saw exactly the tool's " + std::to_string(want.size()) + " events");
    if (want == got) return;
    std::printf("  expected:\n");
    for (const auto& line : want) std::printf("    %s\n", line.c_str());
    std::printf("  seen:\n");
    for (const auto& line : got) std::printf("    %s\n", line.c_str());
}

const BYTE kModifiers[] = {VK_SHIFT, VK_CONTROL, VK_MENU};

unsigned ScanOf(BYTE vk) { return MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) & 0xFF; }

// Wine 8.0 reports an injected generic Shift, Control or Alt to low-level hooks
// by its generic code; Wine 10.0 reports the left-hand key, as Windows does.
// Other versions were not measured, so they are held to what Windows does.
bool HooksSeeGenericModifiers() {
    static const bool generic = [] {
        const std::string wine = WineVersion();
        const bool known = wine.rfind("8.", 0) == 0;
        if (known)
            std::printf(
                "note: accepted a known deviation of Wine %s: its low-level hook reports the "
                "tool's Shift, Control and Alt as 0x10, 0x11 and 0x12, where Windows reports "
                "0xa0, 0xa2 and 0xa4\n",
                wine.c_str());
        return known;
    }();
    return generic;
}

// A modifier injected without the extended flag reaches a low-level hook as
// the left-hand key on Windows; the window's own key message keeps the generic code.
unsigned HookCodeOf(BYTE vk) {
    if (HooksSeeGenericModifiers()) return vk;
    switch (vk) {
        case VK_SHIFT:
            return VK_LSHIFT;
        case VK_CONTROL:
            return VK_LCONTROL;
        case VK_MENU:
            return VK_LMENU;
        default:
            return vk;
    }
}

std::vector<KeyEvent> ToolEventsFor(const std::vector<BYTE>& held) {
    std::vector<KeyEvent> events;
    auto tap = [&](BYTE vk, unsigned scan) {
        const unsigned code = HookCodeOf(vk);
        events.push_back(Injected(code, scan, false));
        events.push_back(Injected(code, scan, true));
    };
    for (const BYTE vk : held) tap(vk, ScanOf(vk));
    tap(VK_MENU, ScanOf(VK_MENU));
    tap('F', 0);
    tap('A', 0);
    return events;
}

// Starts the tool with the stand-in in front and checks everything it did.
void RunAgainstStandIn(const std::vector<BYTE>& held, const std::wstring& arguments) {
    StandIn editor;
    if (!editor.Start()) {
        Check(false, "the stand-in editor started");
        return;
    }
    Check(BringToFront(editor.Window()), "the stand-in editor is in front");
    for (const BYTE vk : held) PressKey(vk, false);
    Check(WaitUntil([&] { return std::all_of(held.begin(), held.end(), IsDown); }, 3000),
          "held before the start: " + Joined(held));

    Process tool = Start(ToolPath(), arguments);
    Check(WaitForExitOrEnd(tool, 10000) == 0,
          "the tool exited by itself with status 0, so no notice waited");

    const auto expected = ToolEventsFor(held);
    WaitUntil([&] { return editor.KeyEvents().size() >= expected.size(); }, 3000);
    Check(ModifiersDown().empty(), "no modifier is left down: " + Joined(ModifiersDown()));

    const bool alt = std::count(held.begin(), held.end(), VK_MENU) > 0;
    const std::string wine = WineVersion();
    if (alt && held.size() > 1 && !wine.empty()) {
        // Wine's default window procedure treats the release of the held Alt
        // as a fresh Alt tap; Windows does not. Only the event stream counts.
        std::printf(
            "note: Alt held with another modifier: the menu outcome is not checked under Wine %s\n",
            wine.c_str());
        PumpFor(300);
    } else {
        WaitUntil([&] { return editor.Count("command") > 0; }, 3000);
        PumpFor(300);  // time for a second command, if one were coming
        Check(editor.Count("command SaveAs") == 1 && editor.Count("command") == 1,
              "Save As ran exactly once and no other command ran");
    }
    for (auto vk = held.rbegin(); vk != held.rend(); ++vk) PressKey(*vk, true);
    PumpFor(100);
    CheckEvents(expected, editor.KeyEvents());
    editor.Close();
}

int HeldModifiers(int mask) {
    std::vector<BYTE> held;
    for (int row = 0; row < 3; ++row)
        if (mask & (1 << row)) held.push_back(kModifiers[row]);
    RunAgainstStandIn(held, L"");
    return failures;
}

int JunkArguments() {
    RunAgainstStandIn({}, L"--help /? -x \"two words\" C:\\nowhere\\file.txt \x30c4\x30fc\x30eb");
    return failures;
}

int RepeatedStarts(int count) {
    StandIn editor;
    if (!editor.Start()) return Check(false, "the stand-in editor started"), failures;
    Check(BringToFront(editor.Window()), "the stand-in editor is in front");
    std::vector<double> times;
    for (int i = 1; i <= count; ++i) {
        const TimedRun run = RunTimed(ToolPath());
        if (run.exitCode != 0) Check(false, "start " + std::to_string(i) + " exited with 0");
        times.push_back(run.milliseconds);
        // One start at a time, as a user would: the next waits for this one's command.
        if (!WaitUntil([&] { return editor.Count("command SaveAs") >= i; }, 5000)) break;
    }
    PumpFor(500);
    Check(editor.Count("command SaveAs") == count && editor.Count("command") == count,
          std::to_string(count) + " starts gave " + std::to_string(editor.Count("command SaveAs")) +
              " Save As commands and nothing else");
    const auto oneStart = ToolEventsFor({});
    std::vector<KeyEvent> expected;
    for (int i = 0; i < count; ++i)
        expected.insert(expected.end(), oneStart.begin(), oneStart.end());
    CheckEvents(expected, editor.KeyEvents());
    Check(ModifiersDown().empty(), "no modifier is left down: " + Joined(ModifiersDown()));
    std::sort(times.begin(), times.end());
    if (!times.empty())
        std::printf("start-to-exit over %zu starts: median %.1f ms, min %.1f ms, max %.1f ms\n",
                    times.size(), times[times.size() / 2], times.front(), times.back());
    editor.Close();
    return failures;
}

// What reached this process while the tool ran: key events of anyone's, and
// menu commands of the window that was put in front.
std::vector<KeyEvent> keysSeen;
int commandsRun = 0;

LRESULT CALLBACK RecordKeys(int code, WPARAM message, LPARAM data) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && key->dwExtraInfo != kHarnessTag)
        keysSeen.push_back({key->vkCode, key->scanCode, key->flags, key->dwExtraInfo, key->time});
    return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK OtherWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) ++commandsRun;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window that answers Alt, F, A like an editor, so stray keys would show.
HWND CreateWindowOfClass(const std::wstring& className) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OtherWindow;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className.c_str();
    RegisterClassW(&windowClass);
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 1, L"Save &As...");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    return CreateWindowExW(0, className.c_str(), L"Not TeraPad", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           200, 120, 480, 320, nullptr, bar, GetModuleHandleW(nullptr), nullptr);
}

// The stand-in is not running here: window class names are atoms shared
// across processes and compared without case, so while it has registered
// TTeraPadMainForm, a class differing only in case would read back as its.
int NoticeWith(const std::wstring& front) {
    Check(!FindWindowW(L"TTeraPadMainForm", nullptr),
          "no stand-in editor is left from an earlier run");
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, RecordKeys, GetModuleHandleW(nullptr), 0);
    HWND window = nullptr;
    Notepad notepad;
    if (front == L"notepad") {
        notepad = StartNotepad();
        window = notepad.window;
    } else if (front != L"none") {
        window = CreateWindowOfClass(front);
    }
    if (window) {
        Check(BringToFront(window), "the other window is in front");
    } else {
        // Closing the only active window leaves nothing in front.
        HWND last = CreateWindowOfClass(L"KestrixE2eLast");
        BringToFront(last);
        DestroyWindow(last);
        Check(WaitUntil([] { return GetForegroundWindow() == nullptr; }, 3000),
              "no window is in front");
    }

    Process tool = Start(ToolPath());
    Check(CheckNoticeAndPressOk(tool, window) == 0, "after OK the tool exited with status 0");
    PumpFor(200);
    Check(keysSeen.empty(),
          "no key event was injected (" + std::to_string(keysSeen.size()) + " seen)");
    Check(commandsRun == 0, "no menu command ran");
    if (notepad.process.handle) {
        Close(notepad);
    } else if (window) {
        DestroyWindow(window);
    }
    UnhookWindowsHookEx(hook);
    return failures;
}

int NoticeCase(const std::wstring& name) {
    if (name == L"case") return NoticeWith(L"TTerapadMainForm");
    if (name == L"suffix") return NoticeWith(L"TTeraPadMainForm1");
    if (name == L"no-t") return NoticeWith(L"TeraPadMainForm");
    if (name == L"long") return NoticeWith(L"TTeraPadMainForm" + std::wstring(255 - 16, L'x'));
    if (name == L"notepad" || name == L"none") return NoticeWith(name);
    if (name == L"western-system") {
        // Here the ANSI code page would garble the Japanese text.
        Check(GetACP() != 932,
              "the ANSI code page is " + std::to_string(GetACP()) + ", not Japanese");
        return NoticeWith(L"TTeraPadMainForm1");
    }
    std::printf("unknown notice case\n");
    return 2;
}

}  // namespace

int Demo(const std::wstring& outDir);
int VersionStrings(const std::wstring& version);
int PlantedDll();

int wmain(int argc, wchar_t** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    const std::wstring scenario = argc > 1 ? argv[1] : L"";
    const std::wstring argument = argc > 2 ? argv[2] : L"";
    if (scenario == L"held") return HeldModifiers(_wtoi(argument.c_str()));
    if (scenario == L"args") return JunkArguments();
    if (scenario == L"repeat") return RepeatedStarts(_wtoi(argument.c_str()));
    if (scenario == L"notice") return NoticeCase(argument);
    if (scenario == L"demo") return Demo(argument);
    if (scenario == L"version") return VersionStrings(argument);
    if (scenario == L"planted-dll") return PlantedDll();
    std::printf(
        "usage: e2e_driver held MASK | args | repeat N | notice CASE | demo OUTDIR"
        " | version X.Y.Z | planted-dll\n");
    return 2;
}
