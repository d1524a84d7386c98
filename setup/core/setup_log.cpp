// The setup log: lines queued by the run, written by a thread of their own.
#include "setup/core/setup_log.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/owners.h"
#include "setup/core/log_lines.h"

namespace {

constexpr char ProgramVersion[] = "1.1";
constexpr size_t LineCapacity = 2048;
constexpr size_t TimestampCapacity = 32;   // "YYYY-MM-DD hh:mm:ss.mmm " and its NUL
constexpr size_t LostLineCapacity = 96;
constexpr size_t QueueCapacity = 65536;    // lines waiting for the writer; more are dropped
constexpr DWORD CloseWaitMs = 2000;        // the longest a restart or the end waits for the file
constexpr DWORD LineWaitMs = 50;           // the longest a step waits for the lines before it
constexpr DWORD WriterStackBytes = 65536;
constexpr DWORD BuildNumberMask = 0xFFFF;  // Windows 9x keeps more in the high word

// The log of the process: its queue, shared by the run's thread and the
// writer under `lock`.
struct SetupLog {
    bool on;
    char path[PathCapacity];
    CRITICAL_SECTION lock;
    HANDLE wake;        // auto-reset: lines were queued, or the log closes
    HANDLE written;     // manual-reset: set while the queue is empty and written
    HANDLE writer;
    char queue[QueueCapacity];
    size_t queued;
    char batch[QueueCapacity];  // the writer's copy of the queue, written outside the lock
    bool closing;
    bool broken;        // the file can't be opened or written: lines are dropped
    unsigned long lost; // lines dropped for want of room since the last one queued;
                        // only the run's thread, which queues, uses it
    bool lagging;       // the writer is behind: steps do not wait until it catches up
};

SetupLog g_log;

// Takes the queued lines into the batch; answers their length.
size_t TakeQueue(bool* closing)
{
    EnterCriticalSection(&g_log.lock);
    const size_t length = g_log.queued;
    memcpy(g_log.batch, g_log.queue, length);
    g_log.queued = 0;
    *closing = g_log.closing;
    LeaveCriticalSection(&g_log.lock);
    return length;
}

void MarkWritten(bool broken)
{
    EnterCriticalSection(&g_log.lock);
    g_log.broken = g_log.broken || broken;
    if (g_log.queued == 0 || g_log.broken)
        SetEvent(g_log.written);
    LeaveCriticalSection(&g_log.lock);
}

// Opens the log for appending; a read-only file is left alone, as Windows
// leaves it (also where a user may write it anyway, as root under Wine).
HANDLE OpenLogFile()
{
    const DWORD attributes = GetFileAttributesA(g_log.path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return INVALID_HANDLE_VALUE;
    return CreateFileA(g_log.path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The writer: opens the file (appending), writes each batch as it comes.
DWORD WINAPI WriteLog(void*)
{
    const KernelHandle file(OpenLogFile());
    if (!file.valid() || SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) {
        MarkWritten(true);
        return 0;
    }
    bool closing = false;
    while (!closing) {
        WaitForSingleObject(g_log.wake, INFINITE);
        const size_t length = TakeQueue(&closing);
        DWORD written = 0;
        const bool ok = length == 0 || (WriteFile(file.get(), g_log.batch, static_cast<DWORD>(length),
                                                  &written, nullptr) && written == length);
        MarkWritten(!ok);
        if (!ok)
            break;
    }
    FlushFileBuffers(file.get());
    return 0;
}

// The local time to the millisecond and a blank, at the start of `line`;
// answers its length.
size_t WriteTimestamp(char* line, size_t capacity)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int written = snprintf(line, capacity, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear,
                                 now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                                 now.wMilliseconds);
    return written > 0 ? std::min(static_cast<size_t>(written), capacity - 1) : 0;
}

// Appends to the queue under the lock; the caller has made sure it fits.
void AppendToQueue(const char* text, size_t length)
{
    memcpy(g_log.queue + g_log.queued, text, length);
    g_log.queued += length;
    ResetEvent(g_log.written);
}

// Appends `line` to the queue, or counts it as lost when the queue is full.
// Lost lines leave a hole that the log names: the first line that finds
// room again is preceded by "N lines lost", and until then no later line
// is kept ahead of it.
void Enqueue(const char* line, size_t length)
{
    char lostLine[LostLineCapacity];
    size_t lostLength = 0;
    EnterCriticalSection(&g_log.lock);
    if (g_log.lost > 0) {
        lostLength = WriteTimestamp(lostLine, sizeof lostLine);
        lostLength += static_cast<size_t>(snprintf(lostLine + lostLength, sizeof lostLine - lostLength,
                                                   "%lu lines lost\r\n", g_log.lost));
    }
    if (!g_log.broken) {
        if (g_log.queued + lostLength + length > sizeof g_log.queue) {
            ++g_log.lost;
        } else {
            AppendToQueue(lostLine, lostLength);
            AppendToQueue(line, length);
            g_log.lost = 0;
        }
    }
    LeaveCriticalSection(&g_log.lock);
    SetEvent(g_log.wake);
}

const char* YesNo(bool value)
{
    return value ? "YES" : "NO";
}

// A drive letter macro's value, or a word for the placeholder.
const char* Letter(char letter, char (&text)[2])
{
    text[0] = letter;
    text[1] = '\0';
    return letter == CdromPlaceholder ? "(none known: asked for when needed)" : text;
}

} // namespace

void StartSetupLog(const Machine& machine, const Media& media)
{
    char path[PathCapacity] = {};
    if (g_log.on || ExpandLogPath(media.config.logPath, MacroValuesOf(machine), path,
                                  sizeof path) != LogPathFault::None)
        return;
    memcpy(g_log.path, path, sizeof path);
    InitializeCriticalSection(&g_log.lock);
    KernelHandle wake(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    KernelHandle written(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    g_log.wake = wake.get();
    g_log.written = written.get();
    DWORD id = 0;
    g_log.writer = wake.valid() && written.valid()
                       ? CreateThread(nullptr, WriterStackBytes, WriteLog, nullptr, 0, &id)
                       : nullptr;
    g_log.on = g_log.writer != nullptr;
    if (!g_log.on) {
        DeleteCriticalSection(&g_log.lock);
        return;
    }
    // The log keeps them until FinishSetupLog, which a writer stuck on a
    // slow file may outlast.
    wake.Release();
    written.Release();
}

bool SetupLogIsOn()
{
    return g_log.on;
}

void LogEvent(const char* format, ...)
{
    if (!g_log.on)
        return;
    char text[LineCapacity];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);

    char line[LineCapacity + TimestampCapacity];
    size_t length = WriteTimestamp(line, sizeof line);
    // One event, one line: line feeds are written as \n, the byte that
    // stands for an unknown CD-ROM letter (no CP932 character) as "?".
    for (const char* p = text; *p && length + 4 < sizeof line; ++p) {
        if (*p == '\n') {
            line[length++] = '\\';
            line[length++] = 'n';
        } else if (*p == '\r') {
            line[length++] = '\\';
            line[length++] = 'r';
        } else {
            line[length++] = *p == CdromPlaceholder ? '?' : *p;
        }
    }
    line[length++] = '\r';
    line[length++] = '\n';
    Enqueue(line, length);
}

void SettleSetupLog()
{
    // Behind a slow file, steps only look whether the writer has caught up;
    // once it has, they wait for it again.
    if (g_log.on)
        g_log.lagging = WaitForSingleObject(g_log.written, g_log.lagging ? 0 : LineWaitMs) == WAIT_TIMEOUT;
}

void FlushSetupLog()
{
    if (g_log.on)
        WaitForSingleObject(g_log.written, CloseWaitMs);
}

void FinishSetupLog()
{
    if (!g_log.on)
        return;
    // Lines lost at the very end are named once the writer has made room.
    if (g_log.lost > 0 && WaitForSingleObject(g_log.written, CloseWaitMs) == WAIT_OBJECT_0)
        Enqueue("", 0);
    EnterCriticalSection(&g_log.lock);
    g_log.closing = true;
    LeaveCriticalSection(&g_log.lock);
    SetEvent(g_log.wake);
    // A writer still stuck on the file is left to the end of the process.
    if (WaitForSingleObject(g_log.writer, CloseWaitMs) != WAIT_OBJECT_0)
        return;
    g_log.on = false;
    CloseHandle(g_log.writer);
    CloseHandle(g_log.wake);
    CloseHandle(g_log.written);
    DeleteCriticalSection(&g_log.lock);
}

void LogStartOfRun(const Machine& machine, const Media& media)
{
    if (!g_log.on)
        return;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    LogEvent(LogRunStarted, ProgramVersion, version.dwMajorVersion, version.dwMinorVersion,
             version.dwBuildNumber & BuildNumberMask,
             version.dwPlatformId == VER_PLATFORM_WIN32_NT ? "NT" : "9x", YesNo(machine.isAdmin));
    LogEvent("source folder %s, master INF %s", media.sourceDir, media.masterInfPath);
    const SetupConfig& config = media.config;
    LogEvent("settings: SETUPNAME=%s BACKGROUND=%s BACKGROUND_MSG=%s BITMAP=%s STYLE=%s SIGNAL=%lu "
             "FOREGROUND=%s TITLE=%s DLGMSG=%s CANCEL=%s admini=%s LOG=%s FASTCOPY=%s RESUME=%s",
             config.setupName, YesNo(config.showBackground), config.backgroundMsg, config.bitmapPath,
             StyleName(config.listStyle), static_cast<unsigned long>(config.tickInterval),
             YesNo(config.keepOnTop), config.dialogTitle, config.dialogPrompt,
             YesNo(config.cancelAllowed), YesNo(config.adminRequired), g_log.path,
             YesNo(config.fastCopy), YesNo(config.resume));
    char cdrom[2], fd[2], windisk[2], boot[2];
    LogEvent("folders: %%WINDIR%%=%s %%WINSYSDIR%%=%s %%PROGRAMFILES%%=%s; drives: %%CDROM%%=%s "
             "%%FD%%=%s %%WINDISK%%=%s %%BOOTDISK%%=%s",
             machine.windowsDir, machine.systemDir, machine.programFilesDir,
             Letter(machine.cdromLetter, cdrom), Letter(machine.fdLetter, fd),
             Letter(machine.windowsLetter, windisk), Letter(machine.bootLetter, boot));
}
