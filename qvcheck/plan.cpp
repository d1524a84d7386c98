// The plan of a run.
#include "qvcheck/plan.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "common/owners.h"
#include "qvcheck/check_answers.h"
#include "qvcheck/media_checker.h"
#include "qvcheck/media_files.h"
#include "setup/core/answer_file.h"
#include "setup/core/app_collection.h"
#include "setup/core/inf_parser.h"
#include "setup/core/run_end.h"
#include "setup/core/run_order.h"

namespace {

// What the plan follows through a run: the keys of the last drive checks,
// per kind (a command with the same key runs without a check, as in
// qvsetup), the answers of an unattended run (null: a person's run) and
// the folders that the commands so far made.
struct PlanState {
    std::string cdrom;
    std::string fd;
    std::string cdromProbe;
    std::string fdProbe;
    const Answers* answers;
    const CheckOptions* options;
    const Judged* judged;
    std::vector<std::string> made;
};

// Ticks of the copy dialog's timer on each platform family, and the time
// beyond which the ticks alone make a tree copy worth FASTCOPY.
constexpr double Windows9xTickSeconds = 0.055;
constexpr double NtTickSeconds = 0.010;
constexpr double SlowCopySeconds = 30;

// The entries a copy's walk of `folder` meets, one a tick: every name its
// listings answer ("." and ".." among them), and with `tree` those of its
// subfolders, as XCOPYA enters them (not those whose name starts with ".").
size_t CountWalkEntries(const std::string& folder, bool tree)
{
    size_t entries = 0;
    WIN32_FIND_DATAA found;
    const FindHandle search(FindFirstFileA((folder + "\\*.*").c_str(), &found));
    if (!search.valid())
        return 0;
    do {
        ++entries;
        if (tree && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
            entries += CountWalkEntries(folder + "\\" + found.cFileName, true);
    } while (FindNextFileA(search.get(), &found));
    return entries;
}

std::string Seconds(double seconds)
{
    char text[32];
    snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

// For an XCOPY or XCOPYA whose source is on one of the discs (the disc that
// the last drive check of the CD-ROM drive found): the entries its walk
// meets and what the ticks alone take on each platform family.
std::string TreeCopyNote(const CommandRecord& cmd, const PlanState& state)
{
    const uint32_t code = cmd.flags & CommandCodeMask;
    const std::string source = cmd.param1;
    if (!CommandHas(code, TraitCopiesTree) || !cmd.checkEntry || !(cmd.flags & CheckCdromFlag) ||
        !IsOnCdrom(source, state.judged->machine) || state.cdromProbe.size() <= DiscProbe::DriveLength)
        return std::string();
    const std::string disc =
        DiscHolding(state.cdromProbe.substr(DiscProbe::DriveLength), state.options->folders);
    if (disc.empty())
        return std::string();
    const size_t entries = CountWalkEntries(disc + source.substr(2), CommandHas(code, TraitCopiesSubfolders));
    if (entries == 0)
        return "    (the source is not on that disc: the copy copies nothing)\n";
    const double slowest = static_cast<double>(entries) * Windows9xTickSeconds;
    std::string note = "    (the copy walks " + std::to_string(entries) + " entries, one a tick: " +
                       Seconds(slowest) + " on Windows 9x, " +
                       Seconds(static_cast<double>(entries) * NtTickSeconds) + " on the NT family";
    if (slowest > SlowCopySeconds && !state.judged->media.config.fastCopy)
        note += "; FASTCOPY=YES in [QvSetupConfig] copies it at the speed of the disc";
    return note + ")\n";
}

// The drive check before a command, as a note; empty when it has none. A
// command whose key was the last one checked runs without a check, even
// where its own probe file is another.
std::string DriveCheckNote(const CommandRecord& cmd, PlanState& checked)
{
    if (!cmd.checkEntry)
        return std::string();
    const bool cdrom = (cmd.flags & CheckCdromFlag) != 0;
    std::string& last = cdrom ? checked.cdrom : checked.fd;
    std::string& lastProbe = cdrom ? checked.cdromProbe : checked.fdProbe;
    DiscProbe probe;
    const Machine& machine = checked.judged->machine;
    SplitCheckValue(cmd.checkEntry->value, cdrom ? machine.cdromLetter : machine.fdLetter,
                    MacroValuesOf(machine), &probe);
    if (last == cmd.checkKey) {
        const std::string lastDisc = DiscHolding(lastProbe.substr(DiscProbe::DriveLength), checked.options->folders);
        const std::string disc = DiscHolding(probe.path + DiscProbe::DriveLength, checked.options->folders);
        if (lastDisc.empty() || disc.empty() || DiscAnswers(lastDisc, disc, probe.path))
            return std::string();
        return "    (no drive check: key " + last + " was checked for " + lastProbe + ", so the disc of " +
               probe.path + " is never asked for)\n";
    }
    last = cmd.checkKey;
    lastProbe = probe.path;
    std::string note = std::string("    (first checks ") + (cdrom ? "the CD-ROM" : "the FD") +
                       " drive for " + probe.path + ", key " + cmd.checkKey + ")\n";
    if (checked.answers)
        note += "    (unattended: waits up to " + std::to_string(checked.answers->discWaitSeconds) +
                " s for that disc, then the run ends with exit code " + std::to_string(EndNoDisc) + ")\n";
    return note;
}

// The limit an unattended run puts on a wait: ProgTimeout, ExistTimeout.
std::string WaitLimitNote(const char* key, uint32_t seconds, const char* waitsFor)
{
    if (seconds == 0)
        return std::string("    (unattended: ") + key + "=0, no limit: the run waits as long as " +
               waitsFor + ")\n";
    return std::string("    (unattended: the run ends with exit code ") + std::to_string(EndWaitTimedOut) +
           " if it still waits after " + std::to_string(seconds) + " s, " + key + ")\n";
}

// How an unattended run meets a command that waits for a person or ends
// the run; false when the run ends at it. Empty note for the others.
bool UnattendedNote(const CommandRecord& cmd, const Answers& answers, std::string& plan)
{
    const CommandFacts* facts = FactsOf(cmd.flags);
    if (!facts)
        return true;
    if (facts->traits & TraitWaitsForPerson) {
        plan += "    (unattended: not shown; logged and answered OK)\n";
        return true;
    }
    if (facts->waitLimit.key) {
        const WaitLimit& limit = facts->waitLimit;
        plan += WaitLimitNote(limit.key, answers.*(limit.seconds), limit.waitsFor);
        return true;
    }
    if (facts->traits & TraitRestartsWindows) {
        if (answers.restart) {
            plan += "    unattended, Restart=YES: Windows restarts, and the run ends here with exit code " +
                    std::to_string(EndDone) + "\n";
            return false;
        }
        plan += "    unattended, Restart=NO: Windows is not restarted; the run ends here with exit code " +
                std::to_string(EndRestartNeeded) + "\n";
        return false;
    }
    if ((facts->traits & TraitEndsRunWhenDone) && cmd.param2[0] == '\0') {
        plan += "    unattended: the notice without a time is logged and taken as closed; the run ends here\n";
        return false;
    }
    return true;
}

// A DELETE or DELALL under a folder that the target machine may lack.
std::string FolderNote(const CommandRecord& cmd, PlanState& state)
{
    const std::string lacking = FolderThatMayLack(cmd, state.judged->machine, state.made);
    NoteFoldersMadeBy(cmd, &state.made);
    if (lacking.empty())
        return std::string();
    return "    (where " + lacking + " is missing, the run ends here without a message)\n";
}

// With RESUME=YES: a command that does its work twice when a power cut
// makes it run again, and SHUTDOWN, after which the run goes on.
std::string ResumeNote(const CommandRecord& cmd, const SetupConfig& config)
{
    if (!config.resume)
        return std::string();
    if (CommandHas(cmd.flags, TraitNotRepeatable))
        return "    (RESUME=YES: not safe to repeat: a power cut while it runs makes it run again)\n";
    if (CommandHas(cmd.flags, TraitRestartsWindows))
        return "    (RESUME=YES: the run stops here and goes on with the next command after the restart)\n";
    return std::string();
}

// The commands of one application; false when the run ends within it.
bool PlanApplication(AppRecord* app, PlanState& checked, std::string& plan)
{
    const bool pseudo = app->listIndex == -1;
    plan += pseudo ? std::string("  commands of the master INF ") + InfFileName(app->infPath) + "\n"
                   : "  " + std::string(app->title) + " (" + InfFileName(app->infPath) + ")\n";
    CommandRecord* cmd = First(app->commands);
    if (!cmd) {
        plan += "    no command: the run ends here\n";
        return false;
    }
    for (; cmd; cmd = Next(app->commands)) {
        plan += DriveCheckNote(*cmd, checked);
        char command[CommandTextCapacity];
        DescribeCommand(cmd->flags, cmd->param1, cmd->param2, command, sizeof command);
        plan += "    " + std::string(command) + "\n";
        plan += TreeCopyNote(*cmd, checked);
        plan += FolderNote(*cmd, checked);
        plan += ResumeNote(*cmd, checked.judged->media.config);
        if (checked.answers && !UnattendedNote(*cmd, *checked.answers, plan))
            return false;
        if (CommandHas(cmd->flags, TraitEndsRunWhenDone)) {
            plan += cmd->param2[0] != '\0'
                        ? "    the notice closes after its time and the run ends\n"
                        : "    the notice has no time: it never closes, and nothing after it runs\n";
            return false;
        }
    }
    return true;
}

// The INF file names that a Select (an answer file's or /select's) chooses.
std::vector<std::string> ChosenNames(const Media& media, SelectAnswer select, const char* list)
{
    std::vector<std::string> names;
    if (select == SelectAnswer::All) {
        for (const AppRecord* app = media.apps.head; app; app = app->next)
            names.push_back(InfFileName(app->infPath));
    }
    char name[PathCapacity];
    const char* cursor = select == SelectAnswer::Names ? list : "";
    while (NextSelectName(&cursor, name, sizeof name))
        names.push_back(name);
    return names;
}

// Whether an application of `apps` is that INF file.
bool HoldsInf(const NodeList<AppRecord>& apps, const std::string& name)
{
    for (const AppRecord* app = apps.head; app; app = app->next) {
        if (SameName(name, InfFileName(app->infPath)))
            return true;
    }
    return false;
}

// Marks the applications chosen: those that Select names (the answers',
// or else /select's), or the dialog's preselection (MULTI: Default=YES;
// the other styles: the first item). Select=ALL, and an unattended
// DEFAULT, leave out an application whose model could not be read.
std::string ChooseApplications(const CheckOptions& options, const Answers* answers, Media& media)
{
    std::string notes;
    const SelectAnswer select = answers ? answers->select : options.select;
    const std::vector<std::string> names =
        ChosenNames(media, select, answers ? answers->selectNames : options.selectNames.c_str());
    if (select != SelectAnswer::Default) {
        for (AppRecord* app = media.apps.head; app; app = app->next)
            app->selected =
                NamesHold(names, InfFileName(app->infPath)) && !(select == SelectAnswer::All && app->modelUnread);
        for (const std::string& name : names) {
            if (HoldsInf(media.notOffered, name))
                notes += "  (" + name + " is not offered on this model: it does not run, Status=not offered)\n";
            else if (!HoldsInf(media.apps, name))
                notes += "  (no application INF " + name + " is offered)\n";
        }
    } else if (media.config.listStyle != StyleMulti && media.apps.head) {
        // A person sees the first item marked; an unattended run takes it
        // only when its model could be read.
        media.apps.head->selected = answers && media.apps.head->modelUnread ? 0 : 1;
    }
    return notes;
}

// Which applications the model is offered, by their MODEL: with /smbios,
// each condition with what typescan reads there and the applications it
// leaves out; without, the applications that only some models are offered.
std::string ModelOffer(const Judged& judged)
{
    std::string lines;
    const Media& media = judged.media;
    if (!judged.models) {
        for (const AppRecord* app = media.apps.head; app; app = app->next) {
            if (app->model[0] != '\0')
                lines += "  " + std::string(InfFileName(app->infPath)) +
                         " is offered only on the models that its MODEL \"" +
                         app->model + "\" matches (/smbios=DUMP plans one model)\n";
        }
        return lines.empty() ? lines : "offered by model:\n" + lines;
    }
    bool anyModel = media.notOffered.head != nullptr;
    for (const AppRecord* app = media.apps.head; app; app = app->next)
        anyModel = anyModel || app->model[0] != '\0';
    if (!anyModel)
        return lines;
    lines = "on the model of " + judged.modelName + ":\n";
    for (const DumpModelJudge::Reading& reading : judged.models->readings())
        lines += "  MODEL \"" + reading.condition + "\": " + reading.read + "\n";
    std::string offered, unread, other;
    for (const AppRecord* app = media.apps.head; app; app = app->next)
        (app->modelUnread ? unread : offered) += std::string(" ") + InfFileName(app->infPath);
    for (const AppRecord* app = media.notOffered.head; app; app = app->next)
        other += std::string(" ") + InfFileName(app->infPath);
    lines += "  offered:" + (offered.empty() ? std::string(" none") : offered) + "\n";
    if (!unread.empty())
        lines += "  offered unchecked, the model could not be read:" + unread + "\n";
    lines += "  not offered:" + (other.empty() ? std::string(" none") : other) + "\n";
    return lines;
}

std::string SystemLine(const DescribedSystem& system)
{
    return "on " + system.name + ": %WINDIR% " + system.windowsDir + ", %WINSYSDIR% " +
           system.systemDir + ", %PROGRAMFILES% " + system.programFilesDir + ", %CDROM% " +
           system.cdromLetter + ", %FD% " + system.fdLetter + ", %BOOTDISK% " + system.bootLetter +
           (system.isAdmin ? "" : ", the user no administrator") + "\n";
}

} // namespace

std::string PlanRefusedAnswers(const CheckOptions& options)
{
    return "plan of an unattended run with the answers of " + options.answersFile +
           ": qvsetup refuses them and ends at once with exit code " + std::to_string(EndBadAnswers) +
           " (" + RunEndMeaning(EndBadAnswers) + "); nothing runs\n";
}

std::string PlanRun(const CheckOptions& options, const MediaView& view, Judged& judged,
                    const Answers* answers)
{
    Media& media = judged.media;
    std::string plan = "plan of the run of " + DiscPath(view, media.masterInfPath) + "\n" +
                       SystemLine(options.system);
    AppRecord defaultInstall = {}, cancelInstall = {};
    LoadError error = {};
    if (!LoadJudgedOffer(judged, defaultInstall, cancelInstall, &error)) {
        snprintf(error.path, sizeof error.path, "%s", DiscPath(view, error.path).c_str());
        char text[LoadDetailCapacity];
        FormatLoadMessage(error, text, sizeof text);
        FreeAppList(media);
        FreeAppRecordLists(&defaultInstall);
        FreeAppRecordLists(&cancelInstall);
        plan += "qvsetup stops while loading: " + std::string(text) + "\n";
        if (answers)
            plan += "an unattended run ends there with exit code " + std::to_string(EndLoadFailed) +
                    ", and nothing runs\n";
        return plan;
    }
    if (answers)
        plan += "an unattended run with the answers of " + options.answersFile + "\n";
    plan += ModelOffer(judged);
    plan += ChooseApplications(options, answers, media);
    if (!media.apps.head)
        plan += "no application is offered: the dialog does not show, Install is pressed at once\n";
    if (defaultInstall.selected)
        PushPseudoApp(media, defaultInstall);
    plan += "on Install:\n";
    PlanState installChecks = {"", "", "", "", answers, &options, &judged, {}};
    AppRecord* app = FirstSelectedApp(media);
    if (!app)
        plan += "  nothing runs\n";
    for (bool goesOn = true; app && goesOn; app = NextSelectedApp(app))
        goesOn = PlanApplication(app, installChecks, plan);
    FreeAppList(media);
    plan += answers ? "on Cancel (never, in an unattended run):\n" : "on Cancel:\n";
    PlanState cancelChecks = {"", "", "", "", answers, &options, &judged, {}};
    if (cancelInstall.selected)
        PlanApplication(&cancelInstall, cancelChecks, plan);
    else
        plan += "  nothing runs\n";
    FreeAppRecordLists(&defaultInstall);
    FreeAppRecordLists(&cancelInstall);
    return plan;
}
