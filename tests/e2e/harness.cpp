#include "harness.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace harness {

namespace {

// Processes in this job end when its last handle closes, that is when this
// process ends, whichever way: nothing started here outlives a crash, Ctrl+C
// or a closed console. Windows 7 nests no jobs, so where this process already
// runs in one, its children are not added and must be ended one by one.
HANDLE EndWithUs() {
    static HANDLE job = [] {
        HANDLE created = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (created) {
            SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits,
                                    sizeof limits);
        }
        return created;
    }();
    return job;
}

// Keys that PressKey has pressed and not yet released.
std::atomic<bool> keyDown[256];

}  // namespace

std::wstring ExeDir() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring dir = path;
    return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"kestrix-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           name;
}

Process Start(const std::wstring& exe, const std::wstring& arguments, HANDLE output) {
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = startup.hStdError = output;
    }
    PROCESS_INFORMATION info = {};
    // Suspended until it is in the job, so that nothing it starts escapes it.
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, output != nullptr,
                        CREATE_SUSPENDED, nullptr, nullptr, &startup, &info)) {
        std::printf("cannot start %s: error %lu\n", Narrow(exe).c_str(), GetLastError());
        return {};
    }
    if (EndWithUs()) AssignProcessToJobObject(EndWithUs(), info.hProcess);
    // Windows lets a program take the front only if it may (the foreground
    // lock, see SetForegroundWindow); one that may can pass that on to the
    // programs it starts, as an editor passes it on to its tools.
    AllowSetForegroundWindow(info.dwProcessId);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    return {info.hProcess, info.dwProcessId};
}

void PumpFor(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        PumpFor(10);
    }
    return true;
}

long WaitForExit(const Process& process, DWORD timeoutMs) {
    if (!process.handle) return -1;
    const bool exited = WaitUntil(
        [&] { return WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0; }, timeoutMs);
    DWORD code = 0;
    GetExitCodeProcess(process.handle, &code);
    return exited ? static_cast<long>(code) : -1;
}

long WaitForExitOrEnd(Process& process, DWORD timeoutMs) {
    const long code = WaitForExit(process, timeoutMs);
    if (code < 0 && process.handle) {
        std::printf("ended: pid %lu was still running after %lu ms", process.id, timeoutMs);
        if (HWND dialog = FindDialogOf(process.id))
            std::printf("; it showed \"%s\"", Narrow(ReadNotice(dialog).text).c_str());
        std::printf("\n");
        TerminateProcess(process.handle, 1);
        WaitForSingleObject(process.handle, 5000);
    }
    if (process.handle) CloseHandle(process.handle);
    process = {};
    return code;
}

TimedRun RunTimed(const std::wstring& exe, DWORD timeoutMs) {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER started, ended;
    QueryPerformanceCounter(&started);
    Process process = Start(exe);
    if (process.handle) WaitForSingleObject(process.handle, timeoutMs);
    QueryPerformanceCounter(&ended);
    return {WaitForExitOrEnd(process, 0),
            1000.0 * static_cast<double>(ended.QuadPart - started.QuadPart) /
                static_cast<double>(frequency.QuadPart)};
}

bool BringToFront(HWND window) {
    return WaitUntil(
        [&] {
            SetForegroundWindow(window);
            return GetForegroundWindow() == window;
        },
        3000);
}

Notepad StartNotepad() {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    Notepad notepad;
    notepad.process = Start(std::wstring(system) + L"\\notepad.exe");
    // Only the window of the process started here: any other Notepad is the user's.
    WaitUntil(
        [&] { return (notepad.window = FindWindowOf(notepad.process.id, L"Notepad")) != nullptr; },
        10000);
    return notepad;
}

void Close(Notepad& notepad) {
    if (!notepad.process.handle) return;
    TerminateProcess(notepad.process.handle, 0);
    CloseHandle(notepad.process.handle);
    notepad = {};
}

void PressKey(BYTE vk, bool up) {
    if (!up) keyDown[vk] = true;
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    input.ki.dwExtraInfo = kHarnessTag;
    SendInput(1, &input, sizeof input);
    if (up) keyDown[vk] = false;
}

void ReleasePressedKeys() {
    for (int vk = 0; vk < 256; ++vk)
        if (keyDown[vk].exchange(false)) PressKey(static_cast<BYTE>(vk), true);
}

bool IsDown(BYTE vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

std::vector<BYTE> ModifiersDown() {
    std::vector<BYTE> down;
    for (const BYTE vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LSHIFT, VK_RSHIFT, VK_LCONTROL,
                          VK_RCONTROL, VK_LMENU, VK_RMENU}) {
        if (IsDown(vk)) down.push_back(vk);
    }
    return down;
}

bool StandIn::Start(const std::wstring& options) {
    log_ = TempFile(L"standin.log");
    DeleteFileW(log_.c_str());
    // The stand-in hands the front back to us as it closes.
    process_ = harness::Start(ExeDir() + L"standin_editor.exe",
                              L"--log \"" + log_ + L"\" --parent " +
                                  std::to_wstring(GetCurrentProcessId()) + L" " + options);
    // Announced only once the keyboard hook is in place.
    WaitUntil(
        [&] {
            unsigned long long handle = 0;
            for (const std::string& line : Lines())
                if (std::sscanf(line.c_str(), "ready hwnd=%llx", &handle) == 1)
                    window_ = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
            return window_ != nullptr;
        },
        10000);
    return window_ != nullptr;
}

std::vector<std::string> StandIn::Lines() const {
    std::vector<std::string> lines;
    std::ifstream in(Narrow(log_));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<KeyEvent> StandIn::KeyEvents(bool includeHarness) const {
    std::vector<KeyEvent> events;
    for (const std::string& line : Lines()) {
        KeyEvent event = {};
        if (std::sscanf(line.c_str(), "key vk=%x scan=%x flags=%x extra=%llx time=%lu", &event.vk,
                        &event.scan, &event.flags, &event.extra, &event.time) == 5 &&
            (includeHarness || event.extra != kHarnessTag)) {
            events.push_back(event);
        }
    }
    return events;
}

int StandIn::Count(const std::string& wanted) const {
    int count = 0;
    for (const std::string& line : Lines()) count += line.compare(0, wanted.size(), wanted) == 0;
    return count;
}

void StandIn::Close() {
    if (!process_.handle) return;
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForExit(process_, 5000) < 0) TerminateProcess(process_.handle, 1);
    CloseHandle(process_.handle);
    process_ = {};
    DeleteFileW(log_.c_str());
}

namespace {

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);  // WM_GETTEXT: wide all the way
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

// A named CALLBACK, not a lambda: 32-bit callbacks must be stdcall.
BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) ||
        ClassOf(window) != search->className)
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindWindowOf(DWORD processId, const wchar_t* className) {
    WindowSearch search = {processId, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialogOf(DWORD processId) { return FindWindowOf(processId, L"#32770"); }

Notice ReadNotice(HWND dialog) {
    Notice notice;
    notice.owner = GetWindow(dialog, GW_OWNER);
    notice.caption = TextOf(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const std::wstring className = ClassOf(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (className == L"Button") {
            notice.buttons.push_back(TextOf(child));
            if (GetDlgCtrlID(child) == IDOK) notice.okButton = child;
        } else if (className == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
            notice.icon = child;
        } else if (className == L"Static" && !TextOf(child).empty()) {
            notice.text = TextOf(child);
        }
    }
    return notice;
}

long IconPixelsDifferingFrom(HWND iconControl, LPCWSTR stockIcon) {
    RECT rect;
    GetWindowRect(iconControl, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC shown = CreateCompatibleDC(screen), drawn = CreateCompatibleDC(screen);
    HBITMAP shownBits = CreateCompatibleBitmap(screen, width, height);
    HBITMAP drawnBits = CreateCompatibleBitmap(screen, width, height);
    SelectObject(shown, shownBits);
    SelectObject(drawn, drawnBits);
    BitBlt(shown, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);

    // Icon corners are transparent, so the top-left pixel is the background.
    HBRUSH background = CreateSolidBrush(GetPixel(shown, 0, 0));
    const RECT all = {0, 0, width, height};
    FillRect(drawn, &all, background);
    DrawIconEx(drawn, 0, 0, LoadIconW(nullptr, stockIcon), width, height, 0, nullptr, DI_NORMAL);

    long differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) differing += GetPixel(shown, x, y) != GetPixel(drawn, x, y);

    DeleteObject(background);
    DeleteDC(shown);
    DeleteDC(drawn);
    DeleteObject(shownBits);
    DeleteObject(drawnBits);
    ReleaseDC(nullptr, screen);
    return differing;
}

bool SaveScreenshot(const std::wstring& bmpPath) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    // GDI leaves the fourth byte zero; viewers would read it as fully transparent.
    auto* pixel = static_cast<unsigned char*>(pixels);
    for (long i = 0; i < static_cast<long>(width) * height; ++i) pixel[i * 4 + 3] = 0xFF;

    const DWORD imageSize = static_cast<DWORD>(width) * height * 4;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    std::ofstream out(Narrow(bmpPath), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(pixels), imageSize);

    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return out.good();
}

std::string Narrow(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

std::string WineVersion() {
    using GetVersion = const char*(CDECL*)();
    const auto get = reinterpret_cast<GetVersion>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    return get ? get() : "";
}

}  // namespace harness
