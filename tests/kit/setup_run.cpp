// Driving the real qvsetup.exe from a test.
#include "tests/kit/setup_run.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "common/byte_order.h"
#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/ui.h"

namespace {

constexpr int MessageBoxTextId = 0xFFFF;
constexpr int FirstEngineControlId = IDC_DESCRIPTION;
constexpr int LastEngineControlId = IDC_PROMPT;

// True when `dialog` has a control `controlId` of the window class `className`.
bool HasControl(HWND dialog, int controlId, const char* className)
{
    HWND control = GetDlgItem(dialog, controlId);
    char name[32] = {};
    return control && GetClassNameA(control, name, sizeof name) &&
           lstrcmpiA(name, className) == 0;
}

// The first visible dialog of `pid` for which `matches` holds, within
// `timeoutMs`, or null.
template <typename Predicate>
HWND WaitForDialog(DWORD pid, Predicate matches, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND dialog : ProcessWindows(pid, "#32770")) {
                if (IsWindowVisible(dialog) && matches(dialog)) {
                    found = dialog;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

// A dialog with a control `controlId` of the class `className` (a message
// box's text is a static 0xFFFF; the copy dialog's group boxes have that
// number too, as buttons).
HWND WaitForDialogWith(DWORD pid, int controlId, const char* className, DWORD timeoutMs)
{
    return WaitForDialog(
        pid, [&](HWND dialog) { return HasControl(dialog, controlId, className); }, timeoutMs);
}

} // namespace

MediaFolder::MediaFolder() : folder_(MakeTempFolder("media")) {}

MediaFolder::~MediaFolder()
{
    RemoveTree(folder_);
}

void MediaFolder::Write(const std::string& name, std::initializer_list<std::string> lines) const
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    WriteBytes(Path(name), text);
}

void MediaFolder::WriteApp(const std::string& name, const AppInf& app) const
{
    if (GetFileAttributesA(Path("QVSETUP.INF").c_str()) == INVALID_FILE_ATTRIBUTES)
        Write("QVSETUP.INF", {"[QvSetupConfig]"});
    std::string text = "[Version]\r\nsignature=$QVSETUP$\r\n";
    for (const std::string& line : app.version)
        text += line + "\r\n";
    text += "[Strings]\r\nTITLE=" + app.title + "\r\n";
    if (!app.description.empty())
        text += "DESCRIPTION=" + app.description + "\r\n";
    text += "[Install]\r\n";
    for (const std::string& line : app.install)
        text += line + "\r\n";
    WriteBytes(Path(name), text);
}

std::string MediaFolder::Stamp(const std::string& label, int milliseconds) const
{
    std::string line = "\"" + BuildProgram("stamp.exe") + " " + StampFile() + " " + label;
    if (milliseconds >= 0)
        line += " " + std::to_string(milliseconds);
    return line + "\"";
}

std::string SolidBmp(int bits, int width, int height)
{
    const int colours = bits <= 8 ? 1 << bits : 0;
    const int rowBytes = (width * bits + 31) / 32 * 4;
    const size_t offset = 54 + 4 * colours;
    std::string bytes(offset + static_cast<size_t>(rowBytes) * height, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    SetUi32(reinterpret_cast<uint8_t*>(&bytes[2]), static_cast<uint32_t>(bytes.size()));
    SetUi32(reinterpret_cast<uint8_t*>(&bytes[10]), static_cast<uint32_t>(offset));
    SetUi32(reinterpret_cast<uint8_t*>(&bytes[14]), 40);
    SetUi32(reinterpret_cast<uint8_t*>(&bytes[18]), width);
    SetUi32(reinterpret_cast<uint8_t*>(&bytes[22]), height);
    bytes[26] = 1;
    bytes[28] = static_cast<char>(bits);
    if (colours) {
        bytes[54 + 4 + 2] = static_cast<char>(255); // entry 1: blue 0, green 0, red 255
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const size_t bit = static_cast<size_t>(x) * bits;
                const size_t at = offset + static_cast<size_t>(y) * rowBytes + bit / 8;
                bytes[at] = static_cast<char>(bytes[at] | (1 << (8 - bits - bit % 8)));
            }
        }
    } else {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bytes[offset + static_cast<size_t>(y) * rowBytes + 3 * x + 2] = static_cast<char>(255);
    }
    return bytes;
}

std::string BuildProgram(const char* name)
{
    return ProgramFolder() + "\\" + name;
}

SetupRun::SetupRun(const std::string& arguments, const std::string& program,
                   const std::string& folder)
{
    const std::string exe = program.empty() ? BuildProgram("qvsetup.exe") : program;
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string buffer = commandLine;
    if (CreateProcessA(nullptr, &buffer[0], nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        pid_ = info.dwProcessId;
    }
}

SetupRun::SetupRun(DWORD pid)
    : process_(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)),
      pid_(pid), owned_(false)
{
}

SetupRun::~SetupRun()
{
    if (!process_)
        return;
    if (owned_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 0xDEAD);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

HWND SetupRun::WaitForSelectionDialog(DWORD timeoutMs) const
{
    return WaitForDialogWith(pid_, IDC_INSTALL, "Button", timeoutMs);
}

HWND SetupRun::WaitForMessageBox(DWORD timeoutMs) const
{
    // A message box: a static text 0xFFFF and none of the engine's own
    // controls (the drive dialog has such a static too).
    return WaitForDialog(
        pid_,
        [](HWND dialog) {
            for (int id = FirstEngineControlId; id <= LastEngineControlId; ++id) {
                if (GetDlgItem(dialog, id))
                    return false;
            }
            return HasControl(dialog, MessageBoxTextId, "Static");
        },
        timeoutMs);
}

HWND SetupRun::WaitForNotice(DWORD timeoutMs) const
{
    return WaitForDialogWith(pid_, IDC_NOTICE_TEXT, "Static", timeoutMs);
}

HWND SetupRun::WaitForDriveDialog(DWORD timeoutMs) const
{
    return WaitForDialogWith(pid_, IDC_DRIVE_LIST, "ComboBox", timeoutMs);
}

HWND SetupRun::WaitForCopyDialog(DWORD timeoutMs) const
{
    return WaitForDialogWith(pid_, IDC_COPY_FILE, "Static", timeoutMs);
}

HWND SetupRun::BackgroundWindow() const
{
    const std::vector<HWND> windows = ProcessWindows(pid_, "QVSETUP_BACKGROUND");
    return windows.empty() ? nullptr : windows.front();
}

bool SetupRun::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!process_)
        return false;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process_, exitCode);
    return true;
}

HWND SetupRun::StartInstall(DWORD timeoutMs) const
{
    HWND dialog = WaitForSelectionDialog(timeoutMs);
    if (dialog)
        PressButton(dialog, IDC_INSTALL);
    return dialog;
}

testing::AssertionResult RunExits(SetupRun& run, DWORD timeoutMs, DWORD expectedCode)
{
    DWORD exitCode = 0;
    if (!run.WaitForExit(timeoutMs, &exitCode))
        return testing::AssertionFailure() << "qvsetup.exe did not end within " << timeoutMs << " ms";
    if (exitCode != expectedCode)
        return testing::AssertionFailure() << "qvsetup.exe ended with exit code " << exitCode
                                           << ", not " << expectedCode;
    return testing::AssertionSuccess();
}

int32_t SetupRun::SelectedOf(const AppRecord* record) const
{
    int32_t selected = -1;
    const auto* address = reinterpret_cast<const char*>(record) + offsetof(AppRecord, selected);
    ReadProcessMemory(process_, address, &selected, sizeof selected, nullptr);
    return selected;
}

std::string SetupRun::TitleOf(const AppRecord* record) const
{
    char title[sizeof record->title + 1] = {};
    const auto* address = reinterpret_cast<const char*>(record) + offsetof(AppRecord, title);
    ReadProcessMemory(process_, address, title, sizeof record->title, nullptr);
    return title;
}

HWND SelectorOf(HWND dialog)
{
    HWND list = FindWindowExA(dialog, nullptr, "ListBox", nullptr);
    return list ? list : FindWindowExA(dialog, nullptr, "ComboBox", nullptr);
}

const AppRecord* ItemRecordOf(HWND selector, int index)
{
    char className[16] = {};
    GetClassNameA(selector, className, sizeof className);
    const UINT message = lstrcmpiA(className, "ComboBox") == 0 ? CB_GETITEMDATA : LB_GETITEMDATA;
    return reinterpret_cast<const AppRecord*>(SendMessageA(selector, message, index, 0));
}

void ClickAt(HWND window, int x, int y)
{
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void PressKey(HWND window, UINT key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

std::vector<Stamp> ReadStamps(const std::string& path)
{
    std::vector<Stamp> stamps;
    const std::string text = ReadBytes(path);
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find("\r\n", begin);
        if (end == std::string::npos)
            end = text.size();
        char label[64] = {}, event[16] = {};
        unsigned long tick = 0;
        if (sscanf(text.substr(begin, end - begin).c_str(), "%63s %15s %lu", label, event, &tick) == 3)
            stamps.push_back(Stamp{label, event, static_cast<DWORD>(tick)});
        begin = end + 2;
    }
    return stamps;
}

std::vector<std::string> MediaFolder::StampLabels() const
{
    return ::StampLabels(ReadStamps(StampFile()));
}

std::vector<std::string> StampLabels(const std::vector<Stamp>& stamps, const char* event)
{
    std::vector<std::string> labels;
    for (const Stamp& stamp : stamps) {
        if (!event || stamp.event == event)
            labels.push_back(stamp.label);
    }
    return labels;
}

DWORD StampTick(const std::vector<Stamp>& stamps, const std::string& label, const std::string& event)
{
    for (const Stamp& stamp : stamps) {
        if (stamp.label == label && stamp.event == event)
            return stamp.tick;
    }
    return 0;
}
