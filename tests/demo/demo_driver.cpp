// Runs qvsetup.exe on installation media as a person would: checks every
// application, installs, answers every box, and reports what it saw, with
// screenshots (BMP) of each step.
// Usage: demo_driver QVSETUP_EXE MEDIA_FOLDER SCREENSHOT_FOLDER
#include <windows.h>

#include <cstdio>
#include <string>

#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

// Saves the whole screen as a 24-bit BMP.
void SaveScreenshot(const std::string& folder, int step, const char* name)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD imageSize = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(static_cast<const char*>(bits), imageSize);
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%02d-%s.bmp", folder.c_str(), step, name);
    WriteBytes(path, bytes);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    printf("  screenshot %02d-%s\n", step, name);
}

// Prints CP932 text as it is; the console shows it in the ANSI code page.
void Report(const char* what, const std::string& text)
{
    std::string oneLine = text;
    for (char& c : oneLine) {
        if (c == '\n')
            c = '|';
    }
    printf("%s: %s\n", what, oneLine.c_str());
}

// Checks every row of the check list by clicking its square.
void CheckEverything(const SetupRun& run, HWND list)
{
    const int rowHeight = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        const AppRecord* record = ItemRecordOf(list, row);
        Report(run.SelectedOf(record) ? "  offered, checked" : "  offered, not checked",
               run.TitleOf(record));
        if (!run.SelectedOf(record)) {
            ClickAt(list, rowHeight / 2, row * rowHeight + rowHeight / 2);
            WaitUntil([&] { return run.SelectedOf(record) != 0; }, 3000);
            Report("  checked by a click", run.TitleOf(record));
        }
    }
}

// Answers boxes and watches notices until the run ends.
bool FollowRun(SetupRun& run, const std::string& shots, int step)
{
    DWORD exitCode = 0;
    for (int round = 0; round < 20; ++round) {
        if (HWND box = run.WaitForMessageBox(500)) {
            const MessageBoxText text = ReadMessageBox(box);
            Report("message box", text.caption + " / " + text.text);
            SaveScreenshot(shots, step++, "message");
            PressButton(box, IDOK);
            WaitUntil([&] { return !IsWindow(box); }, 5000);
        } else if (HWND notice = run.WaitForNotice(100)) {
            Report("notice", WindowText(GetDlgItem(notice, IDC_NOTICE_TEXT)));
            SaveScreenshot(shots, step++, "notice");
            WaitUntil([&] { return !IsWindow(notice); }, 10000);
        } else if (run.WaitForExit(200, &exitCode)) {
            printf("qvsetup.exe ended with exit code %lu\n", exitCode);
            return exitCode == 0;
        }
    }
    printf("qvsetup.exe did not end\n");
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: demo_driver QVSETUP_EXE MEDIA_FOLDER SCREENSHOT_FOLDER\n");
        return 2;
    }
    const std::string shots = argv[3];
    CreateDirectoryA(shots.c_str(), nullptr);
    printf("starting %s on %s\n", argv[1], argv[2]);
    SetupRun run(argv[2], argv[1]);
    HWND dialog = run.WaitForSelectionDialog(20000);
    if (!dialog) {
        printf("no selection dialog appeared\n");
        return 1;
    }
    Sleep(500);
    Report("selection dialog", WindowText(dialog));
    Report("  prompt", WindowText(GetDlgItem(dialog, IDC_PROMPT)));
    SaveScreenshot(shots, 1, "selection");
    CheckEverything(run, SelectorOf(dialog));
    Sleep(300);
    SaveScreenshot(shots, 2, "checked");
    printf("pressing Install\n");
    PressButton(dialog, IDC_INSTALL);
    return FollowRun(run, shots, 3) ? 0 : 1;
}
