#pragma once
// Pieces for driving kestrix.exe and the stand-in editor on a real Win32
// desktop (Wine under Xvfb in CI), from inside that desktop.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace harness {

// Tags the harness's own key events, so they can be told from the tool's.
constexpr ULONG_PTR kHarnessTag = 0x4B455354;

std::wstring ExeDir();
std::wstring TempFile(const wchar_t* name);

struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};
// Every process started here ends with this one, however this one ends.
// OUTPUT, if given, must be inheritable and receives its standard output and error.
Process Start(const std::wstring& exe, const std::wstring& arguments = L"",
              HANDLE output = nullptr);

// Waiting always pumps messages: windows of ours may own the tool's notice,
// and it sends them messages that must be answered.
void PumpFor(DWORD milliseconds);
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Exit code of the process, or -1 if it is still running after the timeout.
long WaitForExit(const Process& process, DWORD timeoutMs);
// As WaitForExit, but a process still running then is ended, after naming any
// dialog it shows, so that nothing it left disturbs the next test. Closes the handle.
long WaitForExitOrEnd(Process& process, DWORD timeoutMs);

// Starts a program and waits for it without pumping, for precise timing.
struct TimedRun {
    long exitCode;  // -1 if it was still running after the timeout
    double milliseconds;
};
TimedRun RunTimed(const std::wstring& exe, DWORD timeoutMs = 10000);

bool BringToFront(HWND window);

// Wine's own Notepad, for the demo: a real program's window that is not TeraPad's.
struct Notepad {
    Process process;
    HWND window = nullptr;  // null if no window of that process appeared
};
Notepad StartNotepad();
void Close(Notepad& notepad);
void PressKey(BYTE vk, bool up);  // tagged
// Releases every key PressKey left down; safe from any thread.
void ReleasePressedKeys();
bool IsDown(BYTE vk);
std::vector<BYTE> ModifiersDown();  // Shift, Control, Alt and their left/right keys

struct KeyEvent {
    unsigned vk, scan, flags;
    unsigned long long extra;
    unsigned long time;
};

// The stand-in editor, started with a log that the harness reads back.
class StandIn {
  public:
    // OPTIONS are the stand-in's own: --dialog, --ime, --class NAME.
    bool Start(const std::wstring& options = L"");
    HWND Window() const { return window_; }
    DWORD ProcessId() const { return process_.id; }
    std::vector<std::string> Lines() const;
    std::vector<KeyEvent> KeyEvents(bool includeHarness = false) const;
    int Count(const std::string& wanted) const;
    void Close();

  private:
    std::wstring log_;
    Process process_;
    HWND window_ = nullptr;
};

// The notice as read back from its window.
struct Notice {
    HWND owner = nullptr;
    std::wstring caption, text;
    std::vector<std::wstring> buttons;  // visible ones
    HWND okButton = nullptr;
    HWND icon = nullptr;
};
// Finds a visible top-level window of the given process and class.
HWND FindWindowOf(DWORD processId, const wchar_t* className);
// Finds a top-level dialog of the given process.
HWND FindDialogOf(DWORD processId);
Notice ReadNotice(HWND dialog);
// Pixels on screen that differ from the stock icon drawn on the same background.
long IconPixelsDifferingFrom(HWND iconControl, LPCWSTR stockIcon);

bool SaveScreenshot(const std::wstring& bmpPath);  // the whole screen

std::string Narrow(const std::wstring& text);

// The version of the Wine this runs on; empty on Windows, whose ntdll has no
// wine_get_version.
std::string WineVersion();

}  // namespace harness
