// The journal of a run that goes on after a restart, and its RunOnce entry.
#include "setup/core/resume.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "common/owners.h"
#include "setup/core/file_replace.h"
#include "setup/core/inf_line.h"
#include "setup/core/log_lines.h"
#include "setup/core/memory.h"
#include "setup/core/paths.h"
#include "setup/core/run_order.h"
#include "setup/core/setup_log.h"

ResumeRun g_resume;

namespace {

constexpr char RunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr size_t JournalTextCapacity = 4096 + JournalAppCapacity * (PathCapacity + 48);
constexpr uint32_t MsPerSecond = 1000;
constexpr size_t StampChunkBytes = 4096;
// How long a chosen INF that can't be read is tried again before it counts
// as changed (another program may hold it a moment).
constexpr DWORD UnreadableInfWaitMs = 2000;
constexpr DWORD UnreadableInfPollMs = 100;

ResumeRun& Resume()
{
    return g_resume;
}

Journal& TheJournal()
{
    return g_resume.journal;
}

Machine& RunMachine()
{
    return *g_resume.machine;
}

Media& RunMedia()
{
    return *g_resume.media;
}

bool JournalPath(int copy, char (&path)[PathCapacity])
{
    return JoinPath(path, sizeof path, RunMachine().windowsDir, JournalFileNames[copy]);
}

// The bytes of one copy into `bytes` (of `capacity`); 0 when there is none.
size_t ReadCopy(int copy, char* bytes, size_t capacity)
{
    char path[PathCapacity];
    if (!JournalPath(copy, path))
        return 0;
    const KernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD read = 0;
    if (!file.valid() || !ReadFile(file.get(), bytes, static_cast<DWORD>(capacity), &read, nullptr))
        return 0;
    return read;
}

// A copy is written in place: cut by a power cut, it reads as no journal,
// and the other copy holds the state before.
bool WriteCopy(int copy, const char* text, size_t length)
{
    char path[PathCapacity];
    if (!JournalPath(copy, path))
        return false;
    return WriteFileFlushed(path, text, length);
}

uint32_t SecondsSince(uint32_t tick)
{
    return (GetTickCount() - tick) / MsPerSecond;
}

// The journal's name of an application: its INF file name, or the master
// INF's section in brackets.
void NameOf(const AppRecord& app, char (&name)[PathCapacity])
{
    const CommandRecord* first = app.commands.head;
    if (app.listIndex == -1 && first && first->section)
        snprintf(name, sizeof name, "[%s]", first->section);
    else
        snprintf(name, sizeof name, "%s", InfFileName(app.infPath));
}

JournalApp* FindApp(const char* name)
{
    Journal& journal = TheJournal();
    for (int32_t i = 0; i < journal.appCount; ++i) {
        if (lstrcmpiA(journal.apps[i].name, name) == 0)
            return &journal.apps[i];
    }
    return nullptr;
}

// The journal's entry of the application that holds `cmd`.
JournalApp* AppOf(const CommandRecord* cmd)
{
    for (const AppRecord* app = RunMedia().apps.head; app && cmd; app = app->next) {
        for (const CommandRecord* held = app->commands.head; held; held = held->next) {
            if (held != cmd)
                continue;
            char name[PathCapacity];
            NameOf(*app, name);
            return FindApp(name);
        }
    }
    return nullptr;
}

// Writes the journal into the older copy, with the times so far.
void WriteJournal()
{
    ResumeRun& resume = Resume();
    Journal& journal = TheJournal();
    ++journal.sequence;
    journal.seconds = resume.baseSeconds + SecondsSince(resume.startTick);
    journal.cdromLetter = RunMachine().cdromLetter == CdromPlaceholder ? '\0' : RunMachine().cdromLetter;
    const HeapBlock text(JournalTextCapacity);
    const size_t length = text.get() ? FormatJournal(journal, text.get(), JournalTextCapacity) : 0;
    const int copy = 1 - resume.writtenCopy;
    if (length && WriteCopy(copy, text.get(), length))
        resume.writtenCopy = copy;
    else
        LogEvent("the journal could not be written (error %lu)", static_cast<unsigned long>(GetLastError()));
}

// The command line that starts this qvsetup on its media folder, marked as
// the RunOnce entry's own.
bool ResumeCommand(char (&command)[2 * PathCapacity + 16])
{
    char program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program - 1);
    if (length == 0 || length >= sizeof program - 1)
        return false;
    const int written =
        snprintf(command, sizeof command, "\"%s\" %s %s", program, ResumeSwitch, RunMedia().sourceDir);
    return written > 0 && written < static_cast<int>(sizeof command);
}

// The entry is flushed to the disk at once: a power cut right after must
// not find the journal without it.
void RegisterResume()
{
    char command[2 * PathCapacity + 16];
    RegistryKey key;
    if (!ResumeCommand(command) ||
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, RunOnceKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS ||
        RegSetValueExA(key.get(), ResumeEntryName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                       static_cast<DWORD>(strlen(command) + 1)) != ERROR_SUCCESS) {
        LogEvent("the run can't be registered to go on when Windows starts again");
        return;
    }
    RegFlushKey(key.get());
}

void UnregisterResume()
{
    RegistryKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunOnceKey, 0, KEY_SET_VALUE, key.Receive()) == ERROR_SUCCESS &&
        RegDeleteValueA(key.get(), ResumeEntryName) == ERROR_SUCCESS)
        RegFlushKey(key.get());
}

// Each copy emptied (and flushed), so that no cut brings the journal back,
// or removed.
void ClearCopies(bool remove)
{
    // The older copy first: a cut in between leaves the newest state.
    for (const int copy : {1 - Resume().writtenCopy, Resume().writtenCopy}) {
        char path[PathCapacity];
        if (!JournalPath(copy, path))
            continue;
        if (remove)
            DeleteFileA(path);
        else if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
            WriteFileFlushed(path, "", 0);
    }
}

// A file's size and the sum of its bytes, as the journal keeps them: the
// sum, not the file's time, which a change of the time zone moves on media
// that keep local times.
bool FileStamp(const char* path, uint32_t* size, uint32_t* sum)
{
    // Shared with every other reader and writer: a virus scanner or another
    // PC that reads the same INF on a share does not make it "changed".
    const KernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    char chunk[StampChunkBytes];
    *size = 0;
    *sum = ContentSumStart;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        *size += read;
        *sum = ContentSum(chunk, read, *sum);
    }
}

// The run's name: when it started.
void NameRun(char (&runId)[RunIdCapacity])
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    snprintf(runId, sizeof runId, "%04u%02u%02u-%02u%02u%02u-%lu", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond, static_cast<unsigned long>(GetTickCount()));
}

// The time of the application that runs counts into its journal entry.
void CountAppTime(JournalApp* app)
{
    const uint32_t now = GetTickCount();
    app->seconds += (now - Resume().appTick) / MsPerSecond;
    Resume().appTick = now - (now - Resume().appTick) % MsPerSecond;
}

} // namespace

void JournalWorksOn(Machine& machine, Media& media)
{
    g_resume.machine = &machine;
    g_resume.media = &media;
}

JournalFound FindJournal()
{
    const HeapBlock first(JournalTextCapacity);
    const HeapBlock second(JournalTextCapacity);
    int copy = -1;
    if (first.get() && second.get()) {
        const size_t firstSize = ReadCopy(0, first.get(), JournalTextCapacity);
        const size_t secondSize = ReadCopy(1, second.get(), JournalTextCapacity);
        copy = ReadJournalCopies(first.get(), firstSize, second.get(), secondSize, &TheJournal());
    }
    if (copy < 0)
        return JournalFound::None;
    // The next write goes to the other copy: the state read stays whole.
    Resume().writtenCopy = copy;
    return lstrcmpiA(TheJournal().sourceDir, RunMedia().sourceDir) == 0 ? JournalFound::ThisMedia
                                                                     : JournalFound::OtherMedia;
}

bool JournalMediaPresent()
{
    const Journal& journal = TheJournal();
    uint32_t size = 0, sum = 0;
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    const bool found = FileStamp(journal.masterInfPath, &size, &sum);
    SetErrorMode(previous);
    return found && size == journal.masterSize && (!journal.masterSummed || sum == journal.masterSum);
}

void ContinueJournal()
{
    ResumeRun& resume = Resume();
    resume.on = true;
    resume.resumed = true;
    resume.startTick = GetTickCount();
    resume.appTick = resume.startTick;
    resume.baseSeconds = TheJournal().seconds;
    if (TheJournal().cdromLetter != '\0')
        RunMachine().cdromLetter = TheJournal().cdromLetter;
    RegisterResume();
}

// The journal is no journal on the disk before its entry goes, and the
// entry is gone before its files: a power cut in between leaves neither a
// journal that nothing starts nor an entry that finds a journal.
void DiscardJournal()
{
    ClearCopies(false);
    UnregisterResume();
    ClearCopies(true);
    Resume().on = false;
    Resume().resumed = false;
}

void KeepJournalRegistered()
{
    RegisterResume();
    LogEvent("the run is registered again: it goes on when Windows starts again");
}

void BeginJournal(const char* answerFile)
{
    ResumeRun& resume = Resume();
    if (!RunMedia().config.resume || resume.resumed)
        return;
    resume.on = true;
    resume.startTick = GetTickCount();
    resume.appTick = resume.startTick;
    resume.writtenCopy = 1;
    Journal& journal = TheJournal();
    memset(&journal, 0, sizeof journal);
    NameRun(journal.runId);
    snprintf(journal.sourceDir, sizeof journal.sourceDir, "%s", RunMedia().sourceDir);
    snprintf(journal.masterInfPath, sizeof journal.masterInfPath, "%s", RunMedia().masterInfPath);
    journal.masterSummed = FileStamp(RunMedia().masterInfPath, &journal.masterSize, &journal.masterSum);
    snprintf(journal.answerFile, sizeof journal.answerFile, "%s", answerFile);
    for (const AppRecord* app = RunMedia().apps.head; app; app = app->next) {
        if (journal.appCount == JournalAppCapacity) {
            LogEvent("more than %d applications: the run keeps no journal", JournalAppCapacity);
            resume.on = false;
            return;
        }
        JournalApp& entry = journal.apps[journal.appCount++];
        NameOf(*app, entry.name);
        entry.status = app->selected ? AppStatus::NotReached : AppStatus::NotChosen;
        if (app->listIndex != -1 && app->selected)
            entry.stamped = FileStamp(app->infPath, &entry.infSize, &entry.infSum);
    }
    LogEvent("RESUME=YES: the run keeps a journal (run %s) and goes on after a restart", journal.runId);
    // Registered first: a journal is never on the disk without its entry.
    RegisterResume();
    WriteJournal();
}

bool ChosenInJournal(const char* name)
{
    const JournalApp* app = FindApp(name);
    return app && app->status != AppStatus::NotChosen;
}

AppRecord* ResumePoint(Media& media, int32_t* from)
{
    const Journal& journal = TheJournal();
    const int32_t current = CurrentJournalApp(journal);
    *from = 0;
    for (AppRecord* app = FirstSelectedApp(media); app && current >= 0; app = NextSelectedApp(app)) {
        char name[PathCapacity];
        NameOf(*app, name);
        if (lstrcmpiA(name, journal.apps[current].name) != 0)
            continue;
        *from = journal.apps[current].nextCommand;
        if (*from < Count(app->commands))
            return app;
        *from = 0;
        return NextSelectedApp(app);
    }
    return nullptr;
}

uint32_t NoteResumeAt(const AppRecord* app, int32_t from)
{
    Journal& journal = TheJournal();
    char name[PathCapacity];
    NameOf(*app, name);
    const JournalApp* entry = FindApp(name);
    const int32_t index = entry ? static_cast<int32_t>(entry - journal.apps) : 0;
    const uint32_t cut = journal.commandRunning ? 1 : 0;
    JournalResumes& resumes = journal.resumes;
    if (resumes.app == index && resumes.command == from)
        resumes.count += resumes.count < MostResumesOfOneCommand + 1 ? cut : 0;
    else
        resumes = JournalResumes{cut, index, from};
    // Until it starts again, a cut does not cut the command off.
    journal.commandRunning = false;
    WriteJournal();
    return resumes.count;
}

// The application of the media that the journal names so, or null.
const AppRecord* LoadedApp(const char* name)
{
    for (const AppRecord* app = RunMedia().apps.head; app; app = app->next) {
        char loaded[PathCapacity];
        NameOf(*app, loaded);
        if (lstrcmpiA(loaded, name) == 0)
            return app;
    }
    return nullptr;
}

bool ChangedJournalInf(char (&path)[PathCapacity])
{
    const Journal& journal = TheJournal();
    for (int32_t i = 0; i < journal.appCount; ++i) {
        const JournalApp& entry = journal.apps[i];
        if (!entry.stamped)
            continue;
        const AppRecord* app = LoadedApp(entry.name);
        uint32_t size = 0, sum = 0;
        const DWORD start = GetTickCount();
        bool read = app && FileStamp(app->infPath, &size, &sum);
        while (app && !read && GetTickCount() - start < UnreadableInfWaitMs) {
            Sleep(UnreadableInfPollMs);
            read = FileStamp(app->infPath, &size, &sum);
        }
        if (read && size == entry.infSize && sum == entry.infSum)
            continue;
        if (app)
            snprintf(path, sizeof path, "%s", app->infPath);
        else if (!JoinPath(path, sizeof path, RunMedia().sourceDir, entry.name))
            snprintf(path, sizeof path, "%s", entry.name);
        return true;
    }
    return false;
}

bool JournalAppDone(const char* name)
{
    const JournalApp* app = FindApp(name);
    return app && app->status == AppStatus::Done;
}

void NoteCommandStarting(const CommandRecord* cmd)
{
    JournalApp* app = Resume().on ? AppOf(cmd) : nullptr;
    if (!app)
        return;
    if (app->status != AppStatus::Running) {
        app->status = AppStatus::Running;
        Resume().appTick = GetTickCount();
    }
    app->nextCommand = cmd->index;
    TheJournal().commandRunning = true;
    CountAppTime(app);
    WriteJournal();
}

void NoteCommandEnded(const CommandRecord* cmd)
{
    JournalApp* app = Resume().on ? AppOf(cmd) : nullptr;
    if (!app)
        return;
    app->nextCommand = cmd->index + 1;
    TheJournal().commandRunning = false;
    CountAppTime(app);
    if (!cmd->next)
        app->status = AppStatus::Done;
    WriteJournal();
}

void StopForRestart()
{
    if (Resume().on)
        Resume().stopsForRestart = true;
}

void RestartRefused()
{
    Resume().stopsForRestart = false;
}

void EndJournal()
{
    ResumeRun& resume = Resume();
    if (!resume.on)
        return;
    if (resume.stopsForRestart) {
        // Said once: the session's end and the process's end both come here.
        LogEvent(LogJournalStays);
        resume.on = false;
        return;
    }
    DiscardJournal();
    LogEvent("the journal is removed: the run has ended");
}
