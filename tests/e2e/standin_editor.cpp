// A stand-in for TeraPad: a main window of TeraPad's class with a real menu
// bar, an edit area, and a Tools entry that starts kestrix.exe. It writes one
// line per keyboard event its low-level hook sees and one per menu command.
//
// standin_editor.exe --log FILE [--tool EXE] [--dialog] [--ime] [--class NAME] [--parent PID]
//   --ime          opens a Japanese IME in hiragana mode, where there is one
//   --class NAME   registers its main window as NAME instead: another program
//   --parent PID   lets that process take the front back when this one closes
#include <windows.h>
#include <commdlg.h>
#include <imm.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

enum Command : UINT_PTR { kNew = 100, kOpen, kSaveAs, kExit, kUndo, kRunKestrix };
constexpr UINT kFlushLog = WM_APP;

std::FILE* logFile = nullptr;
SRWLOCK pendingLock = SRWLOCK_INIT;  // the hook runs on a thread of its own
std::vector<std::string> pendingLines;
std::wstring toolPath;
bool openSaveAsDialog = false;
DWORD parentProcess = 0;
HWND mainWindow = nullptr;
HWND editArea = nullptr;

void Append(const char* format, va_list args) {
    char line[256];
    std::vsnprintf(line, sizeof line, format, args);
    AcquireSRWLockExclusive(&pendingLock);
    pendingLines.emplace_back(line);
    ReleaseSRWLockExclusive(&pendingLock);
}

void FlushLog() {
    AcquireSRWLockExclusive(&pendingLock);
    std::vector<std::string> lines;
    lines.swap(pendingLines);
    ReleaseSRWLockExclusive(&pendingLock);
    for (const std::string& line : lines) std::fprintf(logFile, "%s\n", line.c_str());
    std::fflush(logFile);  // read by the test driver while we run
}

void Log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Append(format, args);
    va_end(args);
    FlushLog();
}

// Every injected key waits for this hook to return, so it only notes the
// event and leaves the file writing to the window's thread.
void LogLater(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Append(format, args);
    va_end(args);
    PostMessageW(mainWindow, kFlushLog, 0, 0);
}

// On its own thread, so that painting menus never delays an injected key.
LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        LogLater("key vk=0x%02lx scan=0x%02lx flags=0x%02lx extra=0x%llx time=%lu", key->vkCode,
                 key->scanCode, key->flags, static_cast<unsigned long long>(key->dwExtraInfo),
                 key->time);
    }
    return CallNextHookEx(nullptr, code, message, data);
}

DWORD WINAPI HookThread(LPVOID ready) {
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleW(nullptr), 0);
    SetEvent(static_cast<HANDLE>(ready));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    UnhookWindowsHookEx(hook);
    return 0;
}

HMENU BuildMenuBar() {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kNew, L"&New");
    AppendMenuW(file, MF_STRING, kOpen, L"&Open...");
    AppendMenuW(file, MF_STRING, kSaveAs, L"Save &As...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kExit, L"E&xit");
    HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, kUndo, L"&Undo");
    HMENU tools = CreatePopupMenu();
    AppendMenuW(tools, MF_STRING, kRunKestrix, L"&Kestrix");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), L"&Tools");
    return bar;
}

void ShowSaveAsDialog(HWND owner) {
    wchar_t fileName[MAX_PATH] = L"untitled.txt";
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = L"Save As";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    Log("dialog SaveAs open");
    const BOOL saved = GetSaveFileNameW(&dialog);
    Log("dialog SaveAs closed %s", saved ? "saved" : "cancelled");
}

// As an editor starts an external tool: no arguments, and no waiting for it.
void StartTool() {
    std::wstring commandLine = L"\"" + toolPath + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(toolPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        Log("started tool pid=%lu", process.dwProcessId);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        Log("could not start tool error=%lu", GetLastError());
    }
}

void RunCommand(HWND window, UINT_PTR command) {
    switch (command) {
        case kNew:
            Log("command New");
            break;
        case kOpen:
            Log("command Open");
            break;
        case kUndo:
            Log("command Undo");
            break;
        case kExit:
            Log("command Exit");
            DestroyWindow(window);
            break;
        case kSaveAs:
            Log("command SaveAs");
            if (openSaveAsDialog) ShowSaveAsDialog(window);
            break;
        case kRunKestrix:
            Log("command Kestrix");
            StartTool();
            break;
        default:  // no menu entry of ours
            break;
    }
}

LRESULT CALLBACK EditorWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            editArea =
                CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
                                0, 0, 0, 0, window, nullptr, GetModuleHandleW(nullptr), nullptr);
            return 0;
        case WM_SIZE:
            MoveWindow(editArea, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_SETFOCUS:
            SetFocus(editArea);
            return 0;
        case WM_COMMAND:
            if (lParam == 0) RunCommand(window, LOWORD(wParam));
            return 0;
        case kFlushLog:
            FlushLog();
            return 0;
        case WM_DESTROY:
            // The foreground process may pass its right to take the front on
            // (AllowSetForegroundWindow): back to the program that started us.
            if (parentProcess) AllowSetForegroundWindow(parentProcess);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Where a Japanese input language is installed, makes it this thread's and
// opens its IME in hiragana mode, as users of TeraPad usually have it. Logs
// what the IME reports back, so the driver can tell whether it really opened.
void OpenJapaneseIme(HWND window) {
    HKL layouts[32];
    const int count = GetKeyboardLayoutList(32, layouts);
    HKL japanese = nullptr;
    for (int i = 0; i < count && !japanese; ++i)
        if (LOWORD(reinterpret_cast<UINT_PTR>(layouts[i])) == 0x0411) japanese = layouts[i];
    if (!japanese) {
        Log("ime none: no Japanese input language is installed");
        return;
    }
    ActivateKeyboardLayout(japanese, 0);
    HIMC context = ImmGetContext(window);
    if (!context) {
        Log("ime none: the Japanese input language has no input context here");
        return;
    }
    ImmSetOpenStatus(context, TRUE);
    ImmSetConversionStatus(context, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE,
                           IME_SMODE_PHRASEPREDICT);
    DWORD conversion = 0, sentence = 0;
    ImmGetConversionStatus(context, &conversion, &sentence);
    Log("ime hkl=0x%llx open=%d conversion=0x%lx",
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(japanese)),
        ImmGetOpenStatus(context) ? 1 : 0, conversion);
    ImmReleaseContext(window, context);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const wchar_t* logPath = nullptr;
    const wchar_t* className = L"TTeraPadMainForm";
    bool ime = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::wcscmp(argv[i], L"--log") && i + 1 < argc)
            logPath = argv[++i];
        else if (!std::wcscmp(argv[i], L"--tool") && i + 1 < argc)
            toolPath = argv[++i];
        else if (!std::wcscmp(argv[i], L"--class") && i + 1 < argc)
            className = argv[++i];
        else if (!std::wcscmp(argv[i], L"--parent") && i + 1 < argc)
            parentProcess = std::wcstoul(argv[++i], nullptr, 10);
        else if (!std::wcscmp(argv[i], L"--dialog"))
            openSaveAsDialog = true;
        else if (!std::wcscmp(argv[i], L"--ime"))
            ime = true;
    }
    logFile = logPath ? _wfopen(logPath, L"w") : stdout;
    if (!logFile) return 2;
    if (toolPath.empty()) {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        toolPath = self;
        toolPath = toolPath.substr(0, toolPath.find_last_of(L'\\') + 1) + L"kestrix.exe";
    }

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = EditorWindow;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
    mainWindow = CreateWindowExW(0, className, L"Stand-in editor", WS_OVERLAPPEDWINDOW, 40, 40, 640,
                                 420, nullptr, BuildMenuBar(), instance, nullptr);
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    SetForegroundWindow(mainWindow);
    if (ime) OpenJapaneseIme(editArea);
    HANDLE hookReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD hookThreadId = 0;
    HANDLE hookThread = CreateThread(nullptr, 0, HookThread, hookReady, 0, &hookThreadId);
    WaitForSingleObject(hookReady, INFINITE);
    Log("ready hwnd=0x%llx",
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(mainWindow)));

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    PostThreadMessageW(hookThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(hookThread, 5000);
    FlushLog();
    std::fclose(logFile);
    return 0;
}
