// Runs the sample media as a person would, reports what it saw and saves
// screenshots (BMP):
//   demo_driver run QVSETUP_EXE DISC1_FOLDER DISC2_FOLDER SHOTS
//     started from the disc 1 folder with no CD-ROM drive known: every
//     application checked, Install, the drive asked for (drive R, disc 1 in
//     it), disc 2 put in at the prompt, every box answered;
//   demo_driver styles QVSETUP_EXE DISC1_FOLDER SHOTS
//     the selection dialog in each of its three styles;
//   demo_driver models QVSETUP_EXE DISC1_FOLDER SHOTS
//     the selection dialog of the sample media on a server model (its
//     server tool offered), on a virtual machine (not offered) and with no
//     typescan (offered unchecked, with a note);
//   demo_driver console TYPESCAN_FOLDER SHOTS
//     typescan's answer in a console window;
//   demo_driver install QVSETUP_EXE FOLDER
//     qvsetup on the folder with the selection dialog's Install pressed,
//     nothing else answered; prints the run's exit code;
//   demo_driver map LETTER FOLDER, demo_driver unmap LETTER
//     a CD-ROM drive of the prefix for a folder (a Windows path, or a Unix
//     path that starts with "/"), and a drive taken away again;
//   demo_driver watch QVSETUP_EXE SHOTS
//     a run started with nothing answered (an unattended one, by the
//     environment it inherits): one picture of each kind of window the run
//     shows, while it is on screen, into SHOTS\1; prints the run's exit
//     code; then follows every later start of that program in the session
//     (Windows restarted by the run starts it again) into SHOTS\2 and on;
//   demo_driver follow EXE_NAME SHOTS OUTPUT
//     the same for every start of the program named EXE_NAME in this
//     session, from its start (Windows starts it: RunServices), printing
//     to the file OUTPUT, and "follower ended" last;
//   ... attend SELECT DRIVE (after watch's or follow's arguments)
//     the runs attended as a person would: the selection dialog pictured,
//     every row checked for ALL, Install pressed; each box and notice
//     pictured, each box answered with its default button; the drive
//     dialog given drive DRIVE;
//   demo_driver model DUMP
//     the product name of an SMBIOS dump (any form the driver takes), as
//     typescan reads it; exit code 1 when the file holds no table.
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <utility>
#include <string>
#include <vector>

#include "setup/core/run_end.h"
#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/run_follower.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/smbios_data.h"
#include "tests/kit/ui.h"
#include "typescan/table_link.h"

namespace {

constexpr char DiscDrive = 'R';

// Prints CP932 text as it is, its line feeds as "|".
void Report(const char* what, const std::string& text)
{
    std::string oneLine = text;
    for (char& c : oneLine) {
        if (c == '\n')
            c = '|';
    }
    printf("%s: %s\n", what, oneLine.c_str());
}

constexpr DWORD PaintMs = 300; // a new window has painted itself by then

bool Shot(const std::string& shots, const char* name, HWND window = nullptr)
{
    Sleep(PaintMs);
    const std::string path = shots + "\\" + name + ".bmp";
    const bool saved = window ? SaveWindowShot(window, path) : SaveScreenshot(path);
    printf("  screenshot %s%s\n", name, saved ? "" : " FAILED");
    return saved;
}

// Picks the CD-ROM drive `letter` in the drive dialog's list, as a person would.
void ChooseDrive(HWND drives, char letter)
{
    const std::string drive = std::string(1, letter) + ":";
    SendMessageA(GetDlgItem(drives, IDC_DRIVE_LIST), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(drive.c_str()));
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

int RunSample(const std::string& qvsetup, const std::string& disc1, const std::string& disc2,
              const std::string& shots)
{
    UnmapDrive(DiscDrive);
    printf("starting %s on %s\n", qvsetup.c_str(), disc1.c_str());
    SetupRun run(disc1, qvsetup, disc1);
    HWND dialog = run.WaitForSelectionDialog(60000);
    if (!dialog) {
        printf("no selection dialog appeared\n");
        return 1;
    }
    Sleep(500);
    Report("selection dialog", WindowText(dialog));
    Report("  prompt", WindowText(GetDlgItem(dialog, IDC_PROMPT)));
    Shot(shots, "selection");
    CheckEverything(run, SelectorOf(dialog));
    // Disc 1 goes into a CD-ROM drive that qvsetup did not know at its start.
    MapDrive(DiscDrive, disc1, DRIVE_CDROM);
    printf("pressing Install\n");
    PressButton(dialog, IDC_INSTALL);
    RunHooks hooks;
    int boxes = 0;
    hooks.onBox = [&](HWND, const MessageBoxText& text) {
        Report("message box", text.caption + " / " + text.text);
        Shot(shots, (std::string("box-") + std::to_string(++boxes)).c_str());
        if (text.caption != "QVSETUP")
            return IDOK;
        printf("  disc 2 goes into drive %c\n", DiscDrive);
        MapDrive(DiscDrive, disc2, DRIVE_CDROM);
        return IDRETRY;
    };
    hooks.onDriveDialog = [&](HWND drives) {
        ChooseDrive(drives, DiscDrive);
        Sleep(300);
        Report("drive dialog", WindowText(drives));
        Shot(shots, "drive-dialog", drives);
    };
    hooks.onNotice = [&](HWND notice) {
        Report("notice", WindowText(GetDlgItem(notice, IDC_NOTICE_TEXT)));
        Shot(shots, "notice");
    };
    hooks.onCopy = [&](HWND copy) { Report("copying", WindowText(GetDlgItem(copy, IDC_COPY_SOURCE))); };
    DWORD exitCode = 1;
    const bool ended = FollowRun(run, hooks, 120000, &exitCode);
    UnmapDrive(DiscDrive);
    if (!ended) {
        printf("qvsetup.exe did not end\n");
        return 1;
    }
    printf("qvsetup.exe ended with exit code %lu\n", exitCode);
    return exitCode == 0 ? 0 : 1;
}

// Waits until no qvsetup runs in the session (its mutex is gone), so that
// the next start is not taken for a second instance.
bool WaitNoQvsetup(DWORD timeoutMs)
{
    return WaitUntil(
        [] {
            HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, RunningMutexName);
            if (!mutex)
                return true;
            CloseHandle(mutex);
            return false;
        },
        timeoutMs);
}

// One picture of the selection dialog of the media in FOLDER, its caret
// moved down `rowsDown` rows first (the description follows it).
bool ShowOneStyle(const std::string& qvsetup, const std::string& folder, const std::string& shots,
                  const char* style, int rowsDown = 0)
{
    if (!WaitNoQvsetup(10000))
        printf("a qvsetup still runs before style %s\n", style);
    SetupRun run(folder, qvsetup, folder);
    HWND dialog = run.WaitForSelectionDialog(60000);
    if (!dialog) {
        printf("no selection dialog in style %s\n", style);
        return false;
    }
    for (int row = 0; row < rowsDown; ++row)
        PressKey(SelectorOf(dialog), VK_DOWN);
    Sleep(800 - PaintMs);
    return Shot(shots, (std::string("selection-") + style).c_str(), dialog);
}

// The selection dialog of the sample media in each style, from a copy of
// disc 1 whose master INF names the style. A style whose picture failed
// (a loaded machine) is tried once more.
int ShowStyles(const std::string& qvsetup, const std::string& disc1, const std::string& shots)
{
    const std::string master = ReadBytes(disc1 + "\\QVSETUP.INF");
    for (const char* style : {"MULTI", "SINGLE", "SINGLELIST"}) {
        const std::string copy = MakeTempFolder("style");
        for (const char* name : {"QVTOOLS.INF", "QVGUIDE.INF", "QVDATA.INF", "QVEXTRA.INF", "QVZNOTICE.INF"})
            CopyFileA((disc1 + "\\" + name).c_str(), (copy + "\\" + name).c_str(), FALSE);
        std::string edited = master;
        const size_t at = edited.find("STYLE=MULTI");
        if (at != std::string::npos)
            edited.replace(at, 11, std::string("STYLE=") + style);
        WriteBytes(copy + "\\QVSETUP.INF", edited);
        const bool shown = ShowOneStyle(qvsetup, copy, shots, style) || ShowOneStyle(qvsetup, copy, shots, style);
        RemoveTree(copy);
        if (!shown)
            return 1;
    }
    return 0;
}

// The selection dialog of a copy of disc 1 on each kind of model: the
// table its driver reads (Biospeek.dat), or no typescan at all.
int ShowModels(const std::string& qvsetup, const std::string& disc1, const std::string& shots)
{
    const struct {
        const char* kind;
        const char* product;   // null: typescan is taken away
    } models[] = {{"model-offered", "PowerEdge R630"}, {"model-other", "Virtual Machine"},
                  {"model-unread", nullptr}};
    // The caret goes to the fifth row: the server tool's where it is
    // offered (its description shows), the last one's where it is not.
    constexpr int RowsDown = 4;
    for (const auto& model : models) {
        const std::string copy = MakeTempFolder("model");
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((disc1 + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    CopyFileA((disc1 + "\\" + found.cFileName).c_str(), (copy + "\\" + found.cFileName).c_str(),
                              FALSE);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        if (model.product)
            WriteBytes(copy + "\\Biospeek.dat", TableNaming(model.product));
        else
            DeleteFileA((copy + "\\TYPESCAN.EXE").c_str());
        const bool shown = ShowOneStyle(qvsetup, copy, shots, model.kind, RowsDown) ||
                           ShowOneStyle(qvsetup, copy, shots, model.kind, RowsDown);
        RemoveTree(copy);
        if (!shown)
            return 1;
    }
    return 0;
}

// Console windows of the prefix in a fixed-pitch Japanese font.
void UseJapaneseConsoleFont()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Console", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    const char face[] = "IPAGothic";
    const DWORD size = 16 << 16; // 16 pixels high
    RegSetValueExA(key, "FaceName", 0, REG_SZ, reinterpret_cast<const BYTE*>(face), sizeof face);
    RegSetValueExA(key, "FontSize", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&size), sizeof size);
    RegCloseKey(key);
}

// typescan with a table in a console window of its own.
int ShowConsole(const std::string& folder, const std::string& shots)
{
    UseJapaneseConsoleFont();
    const std::string command = "cmd.exe /k cd /d \"" + folder +
                                "\" && TYPESCAN.EXE /mode=0 /d && TYPESCAN.EXE /mode=1,0 /d";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string line = command;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &startup, &process)) {
        printf("no console started\n");
        return 1;
    }
    HWND console = nullptr;
    // Wine's console window has a class of its own; Windows' is ConsoleWindowClass.
    WaitUntil(
        [&] {
            console = FindWindowA("WineConsoleClass", nullptr);
            if (!console)
                console = FindWindowA("ConsoleWindowClass", nullptr);
            return console != nullptr;
        },
        10000);
    Sleep(3000);
    const bool shown = console != nullptr;
    if (shown)
        Shot(shots, "typescan-console", console);
    TerminateProcess(process.hProcess, 0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!shown)
        printf("no console window appeared\n");
    return shown ? 0 : 1;
}

// A person at the keyboard, for a run shown as it would be attended: the
// selection dialog chosen as `select` says (DEFAULT: as it shows; ALL:
// every row checked), Install pressed; each box answered with its default
// button, as Enter does; the drive dialog given the CD-ROM drive `drive`.
struct Attendance {
    std::string select;
    char drive = 'R';
};

// Answers a box as Enter would: its default button, else OK.
int DefaultButtonOf(HWND box)
{
    const LRESULT found = SendMessageA(box, DM_GETDEFID, 0, 0);
    return HIWORD(found) == DC_HASDEFID ? LOWORD(found) : IDOK;
}

// The windows of an attended run that need a person: pictured (each box
// and notice under a number of its own), then answered.
class Person {
public:
    Person(const SetupRun& run, const Attendance& attendance, WindowPictures& pictures)
        : run_(run), attendance_(attendance), pictures_(pictures)
    {
    }

    void Step()
    {
        if (HWND dialog = run_.WaitForSelectionDialog(0); dialog && dialog != chosen_) {
            chosen_ = dialog;
            pictures_.Take("selection-dialog", dialog, PaintMs);
            Report("selection dialog", WindowText(dialog));
            if (attendance_.select == "ALL")
                CheckEverything(run_, SelectorOf(dialog));
            printf("pressing Install\n");
            PressButton(dialog, IDC_INSTALL);
        }
        if (HWND box = run_.WaitForMessageBox(0); box && box != answered_) {
            answered_ = box;
            Sleep(PaintMs);
            const MessageBoxText text = ReadMessageBox(box);
            const std::string said = text.caption + " / " + text.text;
            // The same box again (a disc prompt whose disc never comes) is
            // pictured once; after many, the person gives up as one would.
            repeats_ = said == lastBox_ ? repeats_ + 1 : 0;
            lastBox_ = said;
            if (repeats_ == 0) {
                pictures_.Take(Numbered("message-box", ++boxes_).c_str(), box, 0);
                Report("message box", said);
            }
            int button = DefaultButtonOf(box);
            if (repeats_ >= MostRepeats) {
                // Cancel, or Abort where the box has no Cancel; a box of OK
                // alone is answered as before, and the trial's time ends it.
                for (const int giveUp : {IDCANCEL, IDABORT}) {
                    if (GetDlgItem(box, giveUp)) {
                        printf("the same box %d times: %s pressed\n", repeats_ + 1,
                               giveUp == IDCANCEL ? "Cancel" : "Abort");
                        button = giveUp;
                        break;
                    }
                }
            }
            PressButton(box, button);
            WaitGone(box, 5000);
        }
        if (HWND drives = run_.WaitForDriveDialog(0); drives && drives != driven_) {
            driven_ = drives;
            ChooseDrive(drives, attendance_.drive);
            pictures_.Take("drive-dialog", drives, PaintMs);
            PressButton(drives, IDOK);
            WaitGone(drives, 5000);
        }
        if (HWND notice = run_.WaitForNotice(0); notice && notice != noticed_) {
            noticed_ = notice;
            pictures_.Take(Numbered("notice", ++notices_).c_str(), notice, PaintMs);
            Report("notice", WindowText(GetDlgItem(notice, IDC_NOTICE_TEXT)));
        }
    }

private:
    static std::string Numbered(const char* kind, int number)
    {
        return number == 1 ? std::string(kind) : std::string(kind) + "-" + std::to_string(number);
    }

    static constexpr int MostRepeats = 20;

    const SetupRun& run_;
    const Attendance& attendance_;
    WindowPictures& pictures_;
    HWND chosen_ = nullptr, answered_ = nullptr, driven_ = nullptr, noticed_ = nullptr;
    int boxes_ = 0, notices_ = 0, repeats_ = 0;
    std::string lastBox_;
};

// One picture of each kind of window that `run` shows, each taken the
// first time such a window is seen, into `shots` (attended: every box and
// notice, each answered as a person would); answers the run's exit code,
// or -1 when it can't be had.
int PictureRun(SetupRun& run, const std::string& shots, const Attendance* attendance)
{
    constexpr DWORD PollMs = 50;
    // A copy may be over soon: its picture gets less time to paint.
    constexpr DWORD CopyPaintMs = 100;
    bool backgroundShown = false;
    CreateDirectoryA(shots.c_str(), nullptr);
    WindowPictures pictures(shots);
    const auto once = [&](const char* name, HWND window, bool whole, DWORD paintMs = PaintMs) {
        if (window)
            pictures.Take(name, whole ? nullptr : window, paintMs);
    };
    Person person(run, attendance ? *attendance : Attendance{}, pictures);
    DWORD exitCode = 0;
    while (!run.WaitForExit(PollMs, &exitCode)) {
        if (!run.started())
            return -1;
        // The background window is made before the offer is read (typescan
        // asked, for MODEL) and shown after it (BACKGROUND=NO never shows
        // it): the screen is pictured at once, and again when it shows.
        const HWND background = run.BackgroundWindow();
        if (background && !backgroundShown && IsWindowVisible(background)) {
            backgroundShown = true;
            pictures.Forget("background");
        }
        once("background", background, true);
        if (attendance) {
            person.Step();
        } else {
            once("selection-dialog", run.WaitForSelectionDialog(0), false);
            once("drive-dialog", run.WaitForDriveDialog(0), false);
            once("message-box", run.WaitForMessageBox(0), false);
            once("notice", run.WaitForNotice(0), false);
        }
        once("copy-progress", run.WaitForCopyDialog(0), false, CopyPaintMs);
    }
    return static_cast<int>(exitCode);
}

// The id of a running process named `exeName` (any case) that is not in
// `seen`, or 0.
DWORD FindProcess(const std::string& exeName, const std::vector<DWORD>& seen)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0 &&
            std::find(seen.begin(), seen.end(), entry.th32ProcessID) == seen.end())
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

// The next numbered folder of `shots` (1, 2, ...): one per start of qvsetup.
std::pair<int, std::string> NextShotsFolder(const std::string& shots)
{
    for (int number = 1;; ++number) {
        const std::string folder = shots + "\\" + std::to_string(number);
        if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
            CreateDirectoryA(folder.c_str(), nullptr);
            return {number, folder};
        }
    }
}

void PictureAndReport(SetupRun& run, const std::string& shots, const Attendance* attendance)
{
    const auto [number, folder] = NextShotsFolder(shots);
    const int exitCode = PictureRun(run, folder, attendance);
    printf("qvsetup ended with exit code %d (start %d)\n", exitCode, number);
    fflush(stdout);
}

// Every start of `exeName` in this session that is not in `seen`: while
// Windows starts or restarts (a wineboot runs: it starts the RunOnce
// entries), bounded, and for a moment after, a new one is looked for;
// each is pictured into the next numbered folder of `shots`.
void FollowLaterRuns(const std::string& exeName, const std::string& shots, std::vector<DWORD> seen,
                     const Attendance* attendance)
{
    constexpr DWORD QuietMs = 1500;         // no start seen this long after Windows started: done
    constexpr DWORD LongestStartMs = 120000;
    constexpr DWORD PollMs = 20;
    DWORD quietSince = GetTickCount();
    const DWORD begun = quietSince;
    for (;;) {
        if (const DWORD pid = FindProcess(exeName, seen)) {
            seen.push_back(pid);
            SetupRun run(pid);
            if (run.started())
                PictureAndReport(run, shots, attendance);
            quietSince = GetTickCount();
            continue;
        }
        if (FindProcess("wineboot.exe", {}) && GetTickCount() - begun < LongestStartMs)
            quietSince = GetTickCount();
        else if (GetTickCount() - quietSince >= QuietMs)
            return;
        Sleep(PollMs);
    }
}

// The program's name without its folder.
std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The run started here, then every later start of it in the session.
// It starts in the root of its drive, as a disc's autorun starts it.
int WatchRun(const std::string& qvsetup, const std::string& shots, const Attendance* attendance)
{
    SetupRun run("", qvsetup, qvsetup.substr(0, 3));
    if (!run.started()) {
        printf("qvsetup did not start\n");
        return -1;
    }
    PictureAndReport(run, shots, attendance);
    FollowLaterRuns(BaseName(qvsetup), shots, {run.pid()}, attendance);
    return 0;
}

// Every start of `exeName` in this session, from the start of Windows.
int FollowRuns(const std::string& exeName, const std::string& shots, const char* output,
               const Attendance* attendance)
{
    if (!freopen(output, "a", stdout))
        return 1;
    CreateDirectoryA(shots.c_str(), nullptr);
    FollowLaterRuns(exeName, shots, {}, attendance);
    printf("follower ended\n");
    return 0;
}

// Presses Install as a person would and lets the run go its way; answers
// its exit code, or -1 when it did not start or end.
int InstallRun(const std::string& qvsetup, const std::string& folder)
{
    constexpr DWORD RunTimeoutMs = 180000;
    SetupRun run(folder, qvsetup, folder);
    DWORD exitCode = 0;
    if (!run.StartInstall(20000) || !run.WaitForExit(RunTimeoutMs, &exitCode)) {
        printf("qvsetup did not start or did not end\n");
        return -1;
    }
    printf("qvsetup ended with exit code %lu\n", exitCode);
    return static_cast<int>(exitCode);
}

int ShowModel(const char* dump)
{
    std::ifstream file(dump, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
    BiospeekTable table;
    if (bytes.empty() || !BiospeekFindTable(bytes.data(), bytes.size(), &table)) {
        fprintf(stderr, "%s holds no SMBIOS table\n", dump);
        return 1;
    }
    TableLink link(table);
    SmbiosReader reader(link);
    printf("%s\n", reader.ReadProductName().c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    // A trial puts its first disc in and takes Wine's Z: away in one start.
    const bool alsoUnmap = argc == 6 && std::string(argv[4]) == "unmap";
    if (mode == "map" && (argc == 4 || alsoUnmap)) {
        const bool unixPath = argv[3][0] == '/';
        const bool mapped = unixPath ? MapUnixDrive(argv[2][0], argv[3], DRIVE_CDROM)
                                     : MapDrive(argv[2][0], argv[3], DRIVE_CDROM);
        return mapped && (!alsoUnmap || UnmapDrive(argv[5][0])) ? 0 : 1;
    }
    if (mode == "install" && argc == 4)
        return InstallRun(argv[2], argv[3]);
    if (mode == "unmap" && argc == 3)
        return UnmapDrive(argv[2][0]) ? 0 : 1;
    if (mode == "model" && argc == 3)
        return ShowModel(argv[2]);
    // "attend SELECT DRIVE" after watch's or follow's arguments: the runs
    // are attended as a person would.
    Attendance attendance;
    const bool attended = (mode == "watch" || mode == "follow") && argc >= 6 &&
                          std::string(argv[argc - 3]) == "attend" && argv[argc - 1][0] != '\0';
    if (attended) {
        attendance.select = argv[argc - 2];
        attendance.drive = argv[argc - 1][0];
        argc -= 3;
    }
    const Attendance* person = attended ? &attendance : nullptr;
    if (mode == "follow" && argc == 5)
        return FollowRuns(argv[2], argv[3], argv[4], person);
    const std::string shots = argv[argc - 1];
    CreateDirectoryA(shots.c_str(), nullptr);
    if (mode == "run" && argc == 6)
        return RunSample(argv[2], argv[3], argv[4], shots);
    if (mode == "styles" && argc == 5)
        return ShowStyles(argv[2], argv[3], shots);
    if (mode == "models" && argc == 5)
        return ShowModels(argv[2], argv[3], shots);
    if (mode == "console" && argc == 4)
        return ShowConsole(argv[2], shots);
    if (mode == "watch" && argc == 4)
        return WatchRun(argv[2], shots, person);
    fprintf(stderr, "usage: demo_driver run QVSETUP_EXE DISC1 DISC2 SHOTS\n"
                    "       demo_driver styles QVSETUP_EXE DISC1 SHOTS\n"
                    "       demo_driver models QVSETUP_EXE DISC1 SHOTS\n"
                    "       demo_driver console TYPESCAN_FOLDER SHOTS\n"
                    "       demo_driver watch QVSETUP_EXE SHOTS [attend SELECT DRIVE]\n"
                    "       demo_driver follow EXE_NAME SHOTS OUTPUT [attend SELECT DRIVE]\n"
                    "       demo_driver install QVSETUP_EXE FOLDER\n"
                    "       demo_driver map LETTER FOLDER [unmap LETTER] | unmap LETTER\n"
                    "       demo_driver model DUMP\n");
    return 2;
}
