// The attendants of a run, each the halves of the start-up, the drive
// check and the selection that its way of answering takes.
#include "setup/shell/attendants.h"

#include <windows.h>

#include <cstdio>

#include "setup/commands/drive_check.h"
#include "setup/commands/process_commands.h"
#include "setup/core/inf_parser.h"
#include "setup/core/log_lines.h"
#include "setup/core/messages.h"
#include "setup/core/resume.h"
#include "setup/core/run_course.h"
#include "setup/core/run_order.h"
#include "setup/core/setup_log.h"
#include "setup/core/unattended.h"
#include "setup/ui/engine_windows.h"
#include "setup/ui/error_box.h"
#include "setup/ui/selection_dialog.h"

namespace {

constexpr int32_t ResumeNoticeMs = 3000;   // how long a resumed run says that it goes on

// A fresh run starts with the first application chosen.
bool StartWithFirstChosen(Media& media, AppRecord** app, int32_t* from)
{
    *app = FirstSelectedApp(media);
    *from = 0;
    if (!*app)
        LogEvent(LogNothingToRun);
    return true;
}

// A program cut off while it ran more than MostResumesOfOneCommand times in
// a row takes the machine down each time it runs (it resets the PC): the
// run fails there, with the failure box of a command, instead of
// restarting for ever. False then. Copies and waits cut off by power cuts
// go on as often as they are cut: they can't take the machine down.
bool ResumeAllowed(AppRecord* app, int32_t from)
{
    const uint32_t count = NoteResumeAt(app, from);
    const CommandRecord* cmd = CommandOf(app, from);
    if (count <= MostResumesOfOneCommand || !cmd || !CommandHas(cmd->flags, TraitWaitsForProgram))
        return true;
    LogEvent(LogResumedTooOften, static_cast<unsigned long>(count));
    char text[LoadDetailCapacity];
    snprintf(text, sizeof text, MsgCommandFailed, cmd->lineText ? cmd->lineText : cmd->param1);
    char reason[EndMessageCapacity];
    snprintf(reason, sizeof reason,
             "%s at %s line %ld was cut off by a restart %lu times in a row: the run is given up",
             KeywordName(cmd->flags), cmd->infPath, static_cast<long>(cmd->fileLine),
             static_cast<unsigned long>(count));
    // The application fails at that command, as at any command's failure.
    ApplicationFails(app, cmd, text, reason);
    ShowError(g_windows.background, text);
    return false;
}

class Person : public Attendant {
public:
    bool WantsInterruptedRun(const char* question) override { return AnswersYes(question); }
    bool GivesUpOtherRun(const char* question) override { return AnswersYes(question); }

    // The medium's disc, asked for as a drive check asks.
    bool WaitsForRunDisc(bool (*present)()) override
    {
        while (!present()) {
            if (ShowBox(nullptr, MsgInsertSetupDisc, PromptCaption, MB_RETRYCANCEL | MB_ICONQUESTION) != IDRETRY)
                return false;
        }
        return true;
    }

    // A person who did not put the disc in gives the run up.
    bool KeepsRunWithoutDisc() const override { return false; }
    bool TakesCdromDrive(CommandRecord* cmd, Machine& machine) override
    {
        return AskCdromDrive(cmd, machine);
    }

    DiscAnswer WaitsForCheckedDisc(CommandRecord* cmd, const DiscProbe& probe, UINT style) override
    {
        return PromptForCheckedDisc(cmd, probe, style);
    }

    bool SeesSelection() const override { return true; }
    void ChoosesUnseen(HWND dialog) override { PressInstall(dialog); }
    EarlierChoice ChoiceMadeBefore() const override { return nullptr; }
    bool FindsStart(Media& media, AppRecord** app, int32_t* from) override
    {
        return StartWithFirstChosen(media, app, from);
    }

private:
    static bool AnswersYes(const char* question)
    {
        return ShowBox(nullptr, question, g_windows.caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
};

class AnswerFile : public Attendant {
public:
    bool WantsInterruptedRun(const char*) override { return g_unattended.answers.resume; }
    bool GivesUpOtherRun(const char*) override { return !g_unattended.answers.resume; }

    // The medium's disc, looked for four times a second for DiscWait.
    bool WaitsForRunDisc(bool (*present)()) override
    {
        const DWORD start = GetTickCount();
        const DWORD waitMs = g_unattended.answers.discWaitSeconds * DiscWaitMsPerSecond;
        while (!present()) {
            if (GetTickCount() - start >= waitMs)
                return false;
            Sleep(DiscProbeIntervalMs);
        }
        return true;
    }

    // A factory line puts the disc in later: the run is kept for then.
    bool KeepsRunWithoutDisc() const override { return true; }
    bool TakesCdromDrive(CommandRecord* cmd, Machine& machine) override
    {
        return AnswerCdromDrive(cmd, machine);
    }

    DiscAnswer WaitsForCheckedDisc(CommandRecord* cmd, const DiscProbe& probe, UINT) override
    {
        return AwaitCheckedDisc(cmd, probe);
    }

    bool SeesSelection() const override { return false; }
    void ChoosesUnseen(HWND dialog) override { AnswerSelection(dialog); }
    EarlierChoice ChoiceMadeBefore() const override { return nullptr; }
    bool FindsStart(Media& media, AppRecord** app, int32_t* from) override
    {
        return StartWithFirstChosen(media, app, from);
    }
};

class JournalReplay : public Attendant {
public:
    void Take(Attendant& rest) { rest_ = &rest; }

    bool WantsInterruptedRun(const char* question) override { return rest_->WantsInterruptedRun(question); }
    bool GivesUpOtherRun(const char* question) override { return rest_->GivesUpOtherRun(question); }
    bool WaitsForRunDisc(bool (*present)()) override { return rest_->WaitsForRunDisc(present); }
    bool KeepsRunWithoutDisc() const override { return rest_->KeepsRunWithoutDisc(); }
    bool TakesCdromDrive(CommandRecord* cmd, Machine& machine) override
    {
        return rest_->TakesCdromDrive(cmd, machine);
    }

    DiscAnswer WaitsForCheckedDisc(CommandRecord* cmd, const DiscProbe& probe, UINT style) override
    {
        return rest_->WaitsForCheckedDisc(cmd, probe, style);
    }

    // The choice is the journal's, made before the dialog is ever shown.
    bool SeesSelection() const override { return false; }
    void ChoosesUnseen(HWND dialog) override { TakeJournalChoice(dialog); }
    // What the first start chose on the model it read stays offered: a
    // model read otherwise now does not leave the run's INF missing.
    EarlierChoice ChoiceMadeBefore() const override { return ChosenInJournal; }

    // The run goes on where the journal stood. The start is counted before
    // the notice: a cut while it shows cuts no command off.
    bool FindsStart(Media& media, AppRecord** app, int32_t* from) override
    {
        *app = ResumePoint(media, from);
        if (*app && !ResumeAllowed(*app, *from))
            return false;
        ShowTimedNotice(MsgRunContinues, ResumeNoticeMs);
        // Windows may have ended the session while the notice showed.
        if (StopsForRestart())
            return false;
        if (!*app)
            LogEvent(LogNothingLeftToRun);
        return true;
    }

private:
    Attendant* rest_ = nullptr;
};

// Objects of the program's whole life, made before WinMain: a local
// static would be made on first use under a lock that the Windows 9x
// family's kernel lacks.
Person g_person;
AnswerFile g_answerFile;
JournalReplay g_journalReplay;

} // namespace

Attendant& PersonAttendant()
{
    return g_person;
}

Attendant& AnswerFileAttendant()
{
    return g_answerFile;
}

Attendant& JournalAttendant(Attendant& rest)
{
    // The replay never attends itself: it wraps the attendant of the start.
    if (&rest != &g_journalReplay)
        g_journalReplay.Take(rest);
    return g_journalReplay;
}
