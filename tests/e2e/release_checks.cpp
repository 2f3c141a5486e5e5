// Checks of the built kestrix.exe as users receive it: its version resource,
// and that it loads no DLL planted in its own folder.
#include <windows.h>

#include <string>
#include <vector>

#include "checks.h"
#include "harness.h"
#include "scenarios.h"

using namespace checks;
using namespace harness;

void VersionStrings(const std::wstring& version) {
    const std::wstring exe = ToolPath();
    DWORD ignored = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    Check(!data.empty() &&
              GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()),
          "kestrix.exe has version information");
    if (data.empty()) return;

    const std::pair<const wchar_t*, std::wstring> expected[] = {
        {L"ProductName", L"Kestrix"},  {L"FileVersion", version},
        {L"ProductVersion", version},  {L"OriginalFilename", L"kestrix.exe"},
        {L"InternalName", L"kestrix"}, {L"FileDescription", L""},  // any non-empty text
        {L"LegalCopyright", L""},
    };
    for (const auto& [name, value] : expected) {
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        wchar_t* text = nullptr;
        UINT length = 0;
        const bool found =
            VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) &&
            length > 1;
        const std::wstring actual = found ? text : L"";
        Check(found && (value.empty() || actual == value),
              Narrow(name) + " is \"" + Narrow(actual) + "\"");
    }
}

// Windows looks for a DLL that is not a known DLL in the exe's own folder
// first, unless the exe restricts the search; Wine does the same when
// WINEDLLOVERRIDES prefers native uxtheme, as scripts/wine-session has it.
void PlantedDll() {
    const std::wstring folder = TempFile(L"planted\\");
    const std::wstring marker = folder + L"planted-dll-was-loaded";
    CreateDirectoryW(folder.c_str(), nullptr);
    Check(CopyFileW(ToolPath().c_str(), (folder + L"kestrix.exe").c_str(), FALSE) &&
              CopyFileW((ExeDir() + L"standin_editor.exe").c_str(),
                        (folder + L"standin_editor.exe").c_str(), FALSE) &&
              CopyFileW((ExeDir() + L"planted\\uxtheme.dll").c_str(),
                        (folder + L"uxtheme.dll").c_str(), FALSE),
          "kestrix.exe sits in a folder with a planted uxtheme.dll");
    const auto planted = [&] {
        return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
    };

    // Control: a program from that folder without the guard does load it, so
    // a pass below means something.
    Process unguarded = Start(folder + L"standin_editor.exe", L"--log NUL");
    Check(WaitUntil(planted, 10000), "an unguarded program in that folder loads the planted DLL");
    TerminateProcess(unguarded.handle, 0);
    WaitForExitOrEnd(unguarded, 5000);
    DeleteFileW(marker.c_str());

    HWND front = CreateWindowExW(0, L"STATIC", L"Downloads", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200,
                                 120, 480, 320, nullptr, nullptr, nullptr, nullptr);
    if (BringToFront(front)) {
        Process tool = Start(folder + L"kestrix.exe");
        Check(CheckNoticeAndPressOk(tool, front) == 0, "after OK the tool exited with status 0");
        Check(!planted(), "showing the notice did not load the planted uxtheme.dll");
    } else {
        Skip(kNotInFront);
    }
    DestroyWindow(front);
    for (const wchar_t* name :
         {L"kestrix.exe", L"standin_editor.exe", L"uxtheme.dll", L"planted-dll-was-loaded"})
        DeleteFileW((folder + name).c_str());
    RemoveDirectoryW(folder.c_str());
}
