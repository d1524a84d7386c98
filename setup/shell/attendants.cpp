// The attendants of a run, each the halves of the start-up, the drive
// check and the selection that its way of answering takes.
#include "setup/shell/attendants.h"

#include <windows.h>

#include "setup/commands/drive_check.h"
#include "setup/core/messages.h"
#include "setup/core/setup_state.h"
#include "setup/core/unattended.h"
#include "setup/ui/error_box.h"
#include "setup/ui/selection_dialog.h"

namespace {

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
    bool TakesCdromDrive(CommandRecord* cmd) override { return AskCdromDrive(cmd); }

    DiscAnswer WaitsForCheckedDisc(CommandRecord* cmd, const DiscProbe& probe, UINT style) override
    {
        return PromptForCheckedDisc(cmd, probe, style);
    }

    bool SeesSelection() const override { return true; }
    void ChoosesUnseen(HWND dialog) override { PressInstall(dialog); }

private:
    static bool AnswersYes(const char* question)
    {
        return ShowBox(nullptr, question, g_setup.config.setupName, MB_YESNO | MB_ICONQUESTION) == IDYES;
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
    bool TakesCdromDrive(CommandRecord* cmd) override { return AnswerCdromDrive(cmd); }

    DiscAnswer WaitsForCheckedDisc(CommandRecord* cmd, const DiscProbe& probe, UINT) override
    {
        return AwaitCheckedDisc(cmd, probe);
    }

    bool SeesSelection() const override { return false; }
    void ChoosesUnseen(HWND dialog) override { AnswerSelection(dialog); }
};

class JournalReplay : public Attendant {
public:
    explicit JournalReplay(Attendant& rest) : rest_(rest) {}

    bool WantsInterruptedRun(const char* question) override { return rest_.WantsInterruptedRun(question); }
    bool GivesUpOtherRun(const char* question) override { return rest_.GivesUpOtherRun(question); }
    bool WaitsForRunDisc(bool (*present)()) override { return rest_.WaitsForRunDisc(present); }
    bool KeepsRunWithoutDisc() const override { return rest_.KeepsRunWithoutDisc(); }
    bool TakesCdromDrive(CommandRecord* cmd) override { return rest_.TakesCdromDrive(cmd); }

    DiscAnswer WaitsForCheckedDisc(CommandRecord* cmd, const DiscProbe& probe, UINT style) override
    {
        return rest_.WaitsForCheckedDisc(cmd, probe, style);
    }

    // The choice is the journal's, made before the dialog is ever shown.
    bool SeesSelection() const override { return false; }
    void ChoosesUnseen(HWND dialog) override { TakeJournalChoice(dialog); }

private:
    Attendant& rest_;
};

} // namespace

Attendant& PersonAttendant()
{
    static Person person;
    return person;
}

Attendant& AnswerFileAttendant()
{
    static AnswerFile answers;
    return answers;
}

Attendant& JournalAttendant(Attendant& rest)
{
    static JournalReplay journal(rest);
    return journal;
}
