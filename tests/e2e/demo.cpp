// The demo: opens the stand-in editor, starts Kestrix from its Tools menu by
// keyboard, shows what arrived and the Save As dialog, then shows the notice
// with another program in front. Screenshots go to OUTDIR as BMP files.
#include <windows.h>

#include <cstdio>
#include <string>

#include "checks.h"
#include "harness.h"

using namespace checks;
using namespace harness;

namespace {

const char* KeyName(unsigned vk) {
    switch (vk) {
        case VK_SHIFT:
        case VK_LSHIFT:
        case VK_RSHIFT:
            return "Shift";
        case VK_CONTROL:
        case VK_LCONTROL:
        case VK_RCONTROL:
            return "Control";
        case VK_MENU:
        case VK_LMENU:
        case VK_RMENU:
            return "Alt";
        case 'A':
            return "A";
        case 'F':
            return "F";
        case 'K':
            return "K";
        case 'T':
            return "T";
        default:
            return "?";
    }
}

void PrintKeyEvents(const StandIn& editor) {
    std::printf("\nKey events seen by the stand-in editor's keyboard hook:\n");
    std::printf("  %-10s %-8s %-6s %-5s %-6s %s\n", "time (ms)", "key", "vk", "scan", "event",
                "from");
    for (const KeyEvent& event : editor.KeyEvents(true)) {
        const bool typed = event.extra == kHarnessTag;
        std::printf("  %-10lu %-8s 0x%02x   0x%02x  %-6s %s\n", event.time, KeyName(event.vk),
                    event.vk, event.scan, (event.flags & LLKHF_UP) ? "up" : "down",
                    typed ? "the demo, typing into the editor" : "Kestrix (injected)");
    }
    std::printf("\n");
}

void Type(BYTE vk) {
    PressKey(vk, false);
    PressKey(vk, true);
}

bool SaveAsBranch(const std::wstring& outDir) {
    const int before = failures;
    StandIn editor;
    if (!editor.Start(L"--dialog")) return Check(false, "the stand-in editor started"), false;
    Check(BringToFront(editor.Window()), "the stand-in editor is in front");

    std::printf("Choosing Tools > Kestrix in the stand-in editor: Alt, T, K\n");
    for (const BYTE vk : {BYTE(VK_MENU), BYTE('T'), BYTE('K')}) Type(vk);

    DWORD toolId = 0;
    Check(WaitUntil(
              [&] {
                  for (const std::string& line : editor.Lines())
                      std::sscanf(line.c_str(), "started tool pid=%lu", &toolId);
                  return toolId != 0;
              },
              5000),
          "the editor started kestrix.exe from its Tools menu");
    HANDLE tool = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, toolId);
    HWND dialog = nullptr;
    Check(WaitUntil([&] { return (dialog = FindDialogOf(editor.ProcessId())) != nullptr; }, 10000),
          "the editor's Save As dialog opened");
    if (tool) {
        WaitForSingleObject(tool, 5000);
        DWORD code = 1;
        GetExitCodeProcess(tool, &code);
        CloseHandle(tool);
        Check(code == 0, "Kestrix exited with status 0");
    }  // else it had already exited and gone; the dialog shows its work
    Check(editor.Count("command SaveAs") == 1, "Save As ran exactly once");
    PumpFor(800);  // let the dialog paint
    Check(SaveScreenshot(outDir + L"\\save-as.bmp"), "screenshot of the Save As dialog saved");
    PrintKeyEvents(editor);

    if (dialog) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitUntil([&] { return editor.Count("dialog SaveAs closed") > 0; }, 5000);
    editor.Close();
    return failures == before;
}

bool NoticeBranch(const std::wstring& outDir) {
    const int before = failures;
    std::printf("Starting Kestrix with Notepad in front instead\n");
    Notepad notepad = StartNotepad();
    Check(notepad.window && BringToFront(notepad.window), "Notepad is in front");

    Process tool = Start(ToolPath());
    Check(CheckNoticeAndPressOk(tool, notepad.window, outDir + L"\\notice.bmp") == 0,
          "after OK Kestrix exited with status 0");
    Close(notepad);
    return failures == before;
}

}  // namespace

int Demo(const std::wstring& outDir) {
    const bool saveAs = SaveAsBranch(outDir);
    std::printf("\n");
    const bool notice = NoticeBranch(outDir);
    std::printf("\nSummary\n  TeraPad in front:  %s\n  another window:    %s\n",
                saveAs ? "Kestrix typed Alt, F, A and Save As opened" : "FAILED",
                notice ? "Kestrix showed the notice and exited after OK" : "FAILED");
    return saveAs && notice ? 0 : 1;
}
