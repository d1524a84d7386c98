// Following a run of qvsetup.exe to its end, and screenshots.
#include "tests/kit/run_follower.h"

#include <algorithm>
#include <cstring>
#include <cstdio>

#include "setup/core/log_lines.h"
#include "tests/kit/bench.h"
#include "tests/kit/smbios_data.h"

namespace {

constexpr DWORD PollMs = 50;
constexpr int ScreenshotBits = 24;

// Saves the part `area` of the screen as a BMP.
bool SaveArea(const RECT& area, const std::string& path)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = ScreenshotBits;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const DWORD imageSize = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(static_cast<const char*>(bits), imageSize);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return WriteBytes(path, bytes);
}

// True when a 24-bit BMP holds more than one colour: a window that has
// painted itself, not a blank frame.
bool ShowsSomething(const std::string& bmp)
{
    const size_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    if (bmp.size() < offset)
        return false;
    BITMAPINFOHEADER info;
    memcpy(&info, bmp.data() + sizeof(BITMAPFILEHEADER), sizeof info);
    if (info.biWidth <= 0)
        return false;
    const size_t width = static_cast<size_t>(info.biWidth) * 3;
    const size_t stride = (width + 3) & ~static_cast<size_t>(3);   // rows are padded to 4 bytes
    for (size_t row = offset; row + width <= bmp.size(); row += stride) {
        for (size_t at = row; at < row + width; at += 3) {
            if (bmp.compare(at, 3, bmp, offset, 3) != 0)
                return true;
        }
    }
    return false;
}

// Waits until the window is gone.
} // namespace

void WaitGone(HWND window, DWORD timeoutMs)
{
    WaitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

bool SaveScreenshot(const std::string& path)
{
    return SaveArea(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, path);
}

bool SaveWindowShot(HWND window, const std::string& path)
{
    RECT area;
    return GetWindowRect(window, &area) && SaveArea(area, path);
}

bool FollowRun(SetupRun& run, const RunHooks& hooks, DWORD timeoutMs, DWORD* exitCode)
{
    HWND lastCopy = nullptr;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (run.WaitForExit(0, exitCode))
            return true;
        if (HWND box = run.WaitForMessageBox(0)) {
            const MessageBoxText text = ReadMessageBox(box);
            PressButton(box, hooks.onBox ? hooks.onBox(box, text) : IDOK);
            WaitGone(box, 5000);
        } else if (HWND drives = run.WaitForDriveDialog(0)) {
            if (hooks.onDriveDialog)
                hooks.onDriveDialog(drives);
            PressButton(drives, IDOK);
            WaitGone(drives, 5000);
        } else if (HWND notice = run.WaitForNotice(0)) {
            if (hooks.onNotice)
                hooks.onNotice(notice);
            WaitGone(notice, 30000);
        } else if (HWND copy = run.WaitForCopyDialog(0)) {
            if (copy != lastCopy && hooks.onCopy)
                hooks.onCopy(copy);
            lastCopy = copy;
        }
        Sleep(PollMs);
    }
    return false;
}

UnattendedEnd RunUnattended(const std::string& folder, const std::string& answerFile,
                            DWORD timeoutMs, const std::function<void()>& meanwhile,
                            const std::string& program)
{
    ScopedVariable answers("QVSETUP_ANSWERS", answerFile.c_str());
    ScopedVariable record("QVSETUP_RECORD", nullptr);
    UnattendedEnd end = {false, 0, 0};
    const DWORD start = GetTickCount();
    SetupRun run(folder, program, folder);
    bool waitingSeen = false;
    while (!end.ended && GetTickCount() - start < timeoutMs) {
        end.ended = run.WaitForExit(PollMs, &end.exitCode);
        if (!waitingSeen && (run.WaitForMessageBox(0) || run.WaitForSelectionDialog(0) ||
                             run.WaitForDriveDialog(0))) {
            ADD_FAILURE() << "a window of the unattended run waits for a person";
            waitingSeen = true;
        }
        if (meanwhile)
            meanwhile();
    }
    end.milliseconds = GetTickCount() - start;
    return end;
}

bool WindowPictures::Take(const char* name, HWND window, DWORD paintMs)
{
    constexpr DWORD RetakeMs = 100;
    constexpr DWORD LongestPaintMs = 3000;
    if (folder_.empty() || taken_.find(std::string(name) + ";") != std::string::npos)
        return false;
    Sleep(paintMs);
    const std::string path = folder_ + "\\" + name + ".bmp";
    const DWORD start = GetTickCount();
    bool saved = false;
    for (;;) {
        saved = (window ? SaveWindowShot(window, path) : SaveScreenshot(path)) || saved;
        if (!window || (saved && ShowsSomething(ReadBytes(path))) || GetTickCount() - start >= LongestPaintMs ||
            !IsWindowVisible(window))
            break;
        Sleep(RetakeMs);
    }
    if (!saved)
        return false;
    taken_ += std::string(name) + ";";
    return true;
}

void WindowPictures::Forget(const char* name)
{
    const std::string entry = std::string(name) + ";";
    for (size_t at = taken_.find(entry); at != std::string::npos; at = taken_.find(entry, at + 1)) {
        if (at == 0 || taken_[at - 1] == ';') {
            taken_.erase(at, entry.size());
            return;
        }
    }
}

std::vector<std::string> SetupLogLines(const std::string& path)
{
    std::vector<std::string> lines = TextLines(ReadBytes(path));
    for (std::string& line : lines)
        line.erase(0, std::min(LogTimeStampLength, line.size()));
    return lines;
}

AnswerFile::AnswerFile(const std::vector<std::string>& keys, const std::string& head)
    : folder_(MakeTempFolder("answers"))
{
    std::string text = head + "\r\n";
    for (const std::string& key : keys)
        text += key + "\r\n";
    text += "Log=" + Log() + "\r\nResult=" + ResultFile() + "\r\n";
    WriteBytes(File(), text);
}

AnswerFile::~AnswerFile()
{
    RemoveTree(folder_);
}

std::string AnswerFile::Result(const char* section, const char* key) const
{
    char value[2048] = {};
    GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, ResultFile().c_str());
    std::string text;
    for (const char* c = value; *c; ++c) {
        if (IsDBCSLeadByteEx(932, static_cast<BYTE>(*c)) && c[1]) {
            text += *c++;
            text += *c;
        } else if (*c == '\\' && (c[1] == 'n' || c[1] == '\\')) {
            text += *++c == 'n' ? '\n' : '\\';
        } else {
            text += *c;
        }
    }
    return text;
}

long AnswerFile::LoggedAt(const std::string& text) const
{
    for (const std::string& line : TextLines(ReadBytes(Log()))) {
        int hours = 0, minutes = 0, seconds = 0, ms = 0;
        if (line.find(text) != std::string::npos &&
            sscanf(line.c_str(), "%*d-%*d-%*d %d:%d:%d.%d", &hours, &minutes, &seconds, &ms) == 4)
            return ((hours * 60L + minutes) * 60L + seconds) * 1000L + ms;
    }
    return -1;
}

int FileLineOf(const std::string& path, const std::string& line)
{
    const std::vector<std::string> lines = TextLines(ReadBytes(path));
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t begin = lines[i].find_first_not_of(" \t");
        const size_t end = lines[i].find_last_not_of(" \t");
        if (begin != std::string::npos && lines[i].substr(begin, end - begin + 1) == line)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

SampleMedia::SampleMedia(const std::string& configLine) : folder_(MakeTempFolder("sample"))
{
    const std::string disc1 = ProgramFolder() + "\\discs\\disc1";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((disc1 + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                CopyFileA((disc1 + "\\" + found.cFileName).c_str(),
                          (folder_ + "\\" + found.cFileName).c_str(), FALSE);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    const std::string master = folder_ + "\\QVSETUP.INF";
    std::string text = ReadBytes(master);
    const std::string section = "[QvSetupConfig]\r\n";
    const size_t at = text.find(section);
    if (at != std::string::npos && !configLine.empty())
        text.insert(at + section.size(), configLine + "\r\n");
    WriteBytes(master, text);
    // The same model on every bench (Wine's own table is the host's, or
    // none): a virtual machine, for which the sample's server tool is not
    // offered.
    WriteBytes(folder_ + "\\Biospeek.dat", TableNaming("Virtual Machine"));
}

SampleMedia::~SampleMedia()
{
    RemoveTree(folder_);
}

std::string SampleMedia::Disc2() const
{
    return ProgramFolder() + "\\discs\\disc2";
}

bool SampleMedia::Run(DWORD* exitCode)
{
    constexpr char Drive = 'R';
    constexpr DWORD RunTimeoutMs = 60000;
    if (!MapDrive(Drive, Disc2(), DRIVE_CDROM))
        return false;
    SetupRun run(folder_, folder_ + "\\QVSETUP.EXE", folder_);
    const bool ended = run.StartInstall(60000) && FollowRun(run, RunHooks(), RunTimeoutMs, exitCode);
    UnmapDrive(Drive);
    return ended;
}
