#include "checks.h"

#include <cstdio>

using namespace harness;

namespace checks {

int failures = 0;
std::string skipped;

void Say(const std::string& line) { std::printf("%s\n", line.c_str()); }

void Check(bool ok, const std::string& what) {
    Say((ok ? "ok: " : "FAIL: ") + what);
    failures += !ok;
}

const char kNotInFront[] =
    "Windows kept the window from the front (SetForegroundWindow is refused while another "
    "program holds the foreground lock); leave the desktop alone while the check runs";

void Skip(const std::string& why) {
    Say("skipped: " + why);
    skipped = why;
}

std::string Hex(unsigned long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

// LLKHF_ALTDOWN is left out: the system derives it from the keyboard state, not
// from the event sent. Windows sets it on an Alt press; Wine 8.0 and 10.0 never do.
std::string Describe(const KeyEvent& event) {
    std::string text = "vk=" + Hex(event.vk) + " scan=" + Hex(event.scan) +
                       ((event.flags & LLKHF_UP) ? " up" : " down") + " extra=" + Hex(event.extra);
    if (event.flags & LLKHF_INJECTED) text += " injected";
    if (event.flags & LLKHF_EXTENDED) text += " extended";
    return text;
}

std::string Joined(const std::vector<BYTE>& keys) {
    std::string text;
    for (const BYTE vk : keys) text += (text.empty() ? "" : ",") + Hex(vk);
    return text.empty() ? "none" : text;
}

std::wstring ToolPath() { return ExeDir() + L"kestrix.exe"; }

namespace {

// "TeraPadの[ツール]から実行して下さい。"
const wchar_t kNoticeText[] =
    L"TeraPad\x306e[\x30c4\x30fc\x30eb]"
    L"\x304b\x3089\x5b9f\x884c\x3057\x3066\x4e0b\x3055\x3044\x3002";

}  // namespace

long CheckNoticeAndPressOk(Process& tool, HWND expectedOwner, const std::wstring& screenshot) {
    HWND dialog = nullptr;
    Check(WaitUntil([&] { return (dialog = FindDialogOf(tool.id)) != nullptr; }, 10000),
          "a dialog of the tool appeared");
    if (!dialog) return WaitForExitOrEnd(tool, 0);
    PumpFor(300);  // let it paint before its pixels are read
    const Notice notice = ReadNotice(dialog);
    Check(notice.caption == L"Kestrix", "its caption is Kestrix");
    Check(notice.text == kNoticeText,
          "its text, read as UTF-16, is the Japanese notice: " + Narrow(notice.text));
    Check(notice.owner == expectedOwner, "it is owned by the window that was in front (" +
                                             Hex(reinterpret_cast<UINT_PTR>(expectedOwner)) +
                                             "), owner " +
                                             Hex(reinterpret_cast<UINT_PTR>(notice.owner)));
    Check(notice.buttons == std::vector<std::wstring>{L"OK"} && notice.okButton,
          "it has one button, OK (" + std::to_string(notice.buttons.size()) + " buttons)");
    const long exclamation =
        notice.icon ? IconPixelsDifferingFrom(notice.icon, IDI_EXCLAMATION) : -1;
    const long hand = notice.icon ? IconPixelsDifferingFrom(notice.icon, IDI_HAND) : -1;
    Check(exclamation == 0 && hand > 0, "its icon is the exclamation icon pixel for pixel (" +
                                            std::to_string(exclamation) + " pixels differ; " +
                                            std::to_string(hand) + " from the error icon)");
    if (!screenshot.empty()) Check(SaveScreenshot(screenshot), "screenshot of the notice saved");
    Check(WaitForSingleObject(tool.handle, 0) == WAIT_TIMEOUT,
          "the tool waits while the notice is shown");
    PostMessageW(notice.okButton, BM_CLICK, 0, 0);
    return WaitForExitOrEnd(tool, 5000);
}

}  // namespace checks
