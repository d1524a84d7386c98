// An unattended run: its answers, its end, its result file.
#include "setup/core/unattended.h"

#include <cstdio>
#include <cstring>

#include "setup/core/inf_parser.h"
#include "setup/core/memory.h"
#include "setup/core/run_order.h"
#include "setup/core/setup_config.h"
#include "setup/core/setup_log.h"
#include "setup/core/setup_state.h"

namespace {

constexpr DWORD KeyListCapacity = 4096;
constexpr DWORD ValueCapacity = SelectListCapacity + 2;   // room to see a value that is too long
constexpr uint32_t MsPerSecond = 1000;

UnattendedRun& Run()
{
    return g_setup.unattended;
}

// The full path of the file an environment variable names; false when the
// variable is not set or its path does not fit.
bool PathFromVariable(const char* variable, char (&path)[PathCapacity])
{
    char named[PathCapacity];
    const DWORD length = GetEnvironmentVariableA(variable, named, sizeof named);
    if (length == 0 || length >= sizeof named)
        return false;
    const DWORD full = GetFullPathNameA(named, sizeof path, path, nullptr);
    return full != 0 && full < sizeof path;
}

bool IsReadableFile(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RefuseAnswers(const char* path, const char* why, const char* key)
{
    char message[EndMessageCapacity];
    snprintf(message, sizeof message, "answer file %s: %s%s%s", path, why, key[0] ? ": " : "", key);
    EndUnattendedRun(EndBadAnswers, message);
    return false;
}

// Every key of [Unattended], each judged by the answer rules, read with
// the two buffers given.
bool ApplyKeys(const char* path, char* keys, char* value)
{
    if (GetPrivateProfileStringA(AnswerSection, nullptr, "", keys, KeyListCapacity, path) >=
        KeyListCapacity - 2)
        return RefuseAnswers(path, "too many keys", "");
    for (const char* key = keys; *key; key += strlen(key) + 1) {
        GetPrivateProfileStringA(AnswerSection, key, "", value, ValueCapacity, path);
        const AnswerFault fault = ApplyAnswer(key, value, &Run().answers);
        if (fault != AnswerFault::None)
            return RefuseAnswers(path, AnswerFaultText(fault), key);
    }
    return true;
}

bool ApplyAnswerKeys(const char* path)
{
    char* keys = static_cast<char*>(AllocZeroed(KeyListCapacity));
    char* value = static_cast<char*>(AllocZeroed(ValueCapacity));
    const bool applied =
        keys && value ? ApplyKeys(path, keys, value) : RefuseAnswers(path, "out of memory", "");
    FreeZeroed(keys);
    FreeZeroed(value);
    return applied;
}

const char* ReasonOf(RunEnd end)
{
    switch (end) {
    case EndDone:
        return "done";
    case EndNoWindow:
        return "no administrator rights, or the main window could not be created";
    case EndLoadFailed:
        return "the scripts could not be loaded";
    case EndCommandFailed:
        return "a command failed";
    case EndNoDisc:
        return "a disc prompt found no disc in time";
    case EndProgTimedOut:
        return "a program ran past ProgTimeout";
    case EndBadAnswers:
        return "the answer file is missing, unreadable or wrong";
    case EndAlreadyRunning:
        return "another qvsetup is running";
    case EndRestartNeeded:
        return "done, restart needed";
    }
    return "unknown";
}

const char* StatusName(AppStatus status)
{
    switch (status) {
    case AppStatus::NotChosen:
        return "not chosen";
    case AppStatus::NotReached:
        return "not reached";
    case AppStatus::Running:
    case AppStatus::Done:
        return "done";
    case AppStatus::Failed:
        return "failed";
    }
    return "unknown";
}

uint32_t SecondsSince(uint32_t tick)
{
    return (GetTickCount() - tick) / MsPerSecond;
}

// The command that ends the run, where it stands and as its INF has it:
// PATH: line N of [SECTION]: the line.
void NoteFailedCommand(const CommandRecord* cmd)
{
    char* lines = nullptr;
    LoadProblem problem = LoadProblem::None;
    const char* line = "";
    if (cmd->section && ReadSectionLines(cmd->infPath, cmd->section, &lines, &problem)) {
        const char* at = lines;
        for (int32_t index = 0; *at && index < cmd->sectionLine; ++index)
            at += strlen(at) + 1;
        line = at;
    }
    snprintf(Run().failedAt, sizeof Run().failedAt, "%s: line %ld of [%s]: %s", cmd->infPath,
             static_cast<long>(cmd->sectionLine) + 1, cmd->section ? cmd->section : "", line);
    FreeZeroed(lines);
}

void WriteLine(HANDLE file, const char* text)
{
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
}

// key=text, with the text's line breaks as \n so that the value stays one line.
void WriteValue(HANDLE file, const char* key, const char* text)
{
    char line[EndMessageCapacity * 2 + 64];
    size_t used = static_cast<size_t>(snprintf(line, sizeof line, "%s=", key));
    for (const char* c = text; *c && used + 3 < sizeof line; ++c) {
        if (*c == '\n') {
            line[used++] = '\\';
            line[used++] = 'n';
        } else if (*c != '\r') {
            line[used++] = *c;
        }
    }
    line[used] = '\0';
    WriteLine(file, line);
}

void WriteNumber(HANDLE file, const char* key, unsigned long number)
{
    char text[16];
    snprintf(text, sizeof text, "%lu", number);
    WriteValue(file, key, text);
}

} // namespace

bool UnattendedAsked()
{
    return GetEnvironmentVariableA(AnswersVariable, nullptr, 0) > 0;
}

bool ReadAnswerFile()
{
    UnattendedRun& run = Run();
    run.on = true;
    run.startTick = GetTickCount();
    SetDefaultAnswers(&run.answers);
    char path[PathCapacity];
    if (!PathFromVariable(AnswersVariable, path))
        return RefuseAnswers(AnswersVariable, "names no file that can be read", "");
    if (!IsReadableFile(path))
        return RefuseAnswers(path, "missing or unreadable", "");
    // A Log read before a wrong key still takes the run's log, which then
    // tells what was wrong.
    const bool applied = ApplyAnswerKeys(path);
    if (run.answers.logPath[0] != '\0')
        memcpy(g_setup.config.logPath, run.answers.logPath, sizeof g_setup.config.logPath);
    return applied;
}

void EndUnattendedRun(RunEnd end, const char* message)
{
    UnattendedRun& run = Run();
    if (run.ended)
        return;
    run.ended = true;
    run.end = end;
    snprintf(run.message, sizeof run.message, "%s", message);
    const CommandRecord* cmd = run.commandsStarted ? CurrentCommand() : nullptr;
    if (cmd && end != EndRestartNeeded)
        NoteFailedCommand(cmd);
    LogEvent("unattended run ends with code %d: %s", end, ReasonOf(end));
}

void NoteChoice(const NodeList<AppRecord>& apps)
{
    UnattendedRun& run = Run();
    run.commandsStarted = true;
    for (const AppRecord* app = apps.head; app; app = app->next) {
        if (app->listIndex == -1)
            continue;
        auto* outcome = AllocRecord<AppOutcome>();
        if (!outcome)
            return;
        snprintf(outcome->name, sizeof outcome->name, "%s", InfFileName(app->infPath));
        outcome->status = app->selected ? AppStatus::NotReached : AppStatus::NotChosen;
        Append(run.apps, outcome);
    }
}

void NoteAppStart(const AppRecord* app)
{
    UnattendedRun& run = Run();
    const char* name = app && app->listIndex != -1 ? InfFileName(app->infPath) : nullptr;
    const bool failed = run.ended && run.end != EndDone && run.end != EndRestartNeeded;
    for (AppOutcome* outcome = run.apps.head; outcome; outcome = outcome->next) {
        if (outcome->status == AppStatus::Running) {
            outcome->status = failed ? AppStatus::Failed : AppStatus::Done;
            outcome->seconds = SecondsSince(outcome->startTick);
        }
        if (name && outcome->status == AppStatus::NotReached && lstrcmpiA(outcome->name, name) == 0) {
            outcome->status = AppStatus::Running;
            outcome->startTick = GetTickCount();
            name = nullptr;
        }
    }
}

void WriteRunResult()
{
    const UnattendedRun& run = Run();
    char path[PathCapacity];
    if (!run.on || run.answers.resultPath[0] == '\0' ||
        ExpandLogPath(run.answers.resultPath, MacroValuesOf(g_setup), path, sizeof path) !=
            LogPathFault::None)
        return;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        LogEvent("the result file %s could not be written", path);
        return;
    }
    const RunEnd end = run.ended ? run.end : EndDone;
    WriteLine(file, "[Result]");
    WriteNumber(file, "ExitCode", static_cast<unsigned long>(end));
    WriteValue(file, "Reason", ReasonOf(end));
    WriteValue(file, "Message", run.message);
    WriteValue(file, "FailedAt", run.failedAt);
    WriteNumber(file, "Seconds", SecondsSince(run.startTick));
    for (const AppOutcome* outcome = run.apps.head; outcome; outcome = outcome->next) {
        char header[PathCapacity + 2];
        snprintf(header, sizeof header, "[%s]", outcome->name);
        WriteLine(file, header);
        WriteValue(file, "Status", StatusName(outcome->status));
        WriteNumber(file, "Seconds", outcome->seconds);
    }
    CloseHandle(file);
}

int UnattendedExitCode(int loopCode)
{
    UnattendedRun& run = Run();
    if (loopCode == EndNoWindow) {
        run.ended = true;
        run.end = EndNoWindow;
    }
    return run.ended ? run.end : EndDone;
}

void RecordAnswer(const char* key, const char* value)
{
    char path[PathCapacity];
    if (PathFromVariable(RecordVariable, path))
        WritePrivateProfileStringA(AnswerSection, key, value, path);
}
