// The plan of a run.
#include "qvcheck/plan.h"

#include <windows.h>

#include <vector>

#include "qvcheck/profile_lines.h"
#include "setup/core/app_collection.h"
#include "setup/core/dbcs.h"
#include "setup/core/inf_parser.h"
#include "setup/core/run_order.h"
#include "setup/core/setup_state.h"

namespace {


std::string FileName(const char* path)
{
    const char* slash = FindLastBackslash(path);
    return slash ? slash + 1 : path;
}

// The keys of the last drive checks, per kind: a command with the same key
// runs without a check, as in qvsetup.
struct CheckedKeys {
    std::string cdrom;
    std::string fd;
};

// The drive check before a command, as a note; empty when it has none.
std::string DriveCheckNote(const CommandRecord& cmd, CheckedKeys& checked)
{
    if (!cmd.checkEntry)
        return std::string();
    const bool cdrom = (cmd.flags & CheckCdromFlag) != 0;
    std::string& last = cdrom ? checked.cdrom : checked.fd;
    if (last == cmd.checkKey)
        return std::string();
    last = cmd.checkKey;
    DiscProbe probe;
    SplitCheckValue(cmd.checkEntry->value, cdrom ? g_setup.cdromLetter : g_setup.fdLetter,
                    MacroValuesOf(g_setup), &probe);
    return std::string("    (first checks ") + (cdrom ? "the CD-ROM" : "the FD") + " drive for " +
           probe.path + ", key " + cmd.checkKey + ")\n";
}

// The commands of one application; false when the run ends within it.
bool PlanApplication(AppRecord* app, CheckedKeys& checked, std::string& plan)
{
    const bool pseudo = app->listIndex == -1;
    plan += pseudo ? "  commands of the master INF " + FileName(app->infPath) + "\n"
                   : "  " + std::string(app->title) + " (" + FileName(app->infPath) + ")\n";
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
        if ((cmd->flags & CommandCodeMask) == CmdAttention) {
            plan += cmd->param2[0] != '\0'
                        ? "    the notice closes after its time and the run ends\n"
                        : "    the notice has no time: it never closes, and nothing after it runs\n";
            return false;
        }
    }
    return true;
}

// Marks the applications chosen: those named, or the dialog's preselection
// (MULTI: Default=YES; the other styles: the first item).
std::string ChooseApplications(const CheckOptions& options)
{
    std::string notes;
    if (options.selectGiven) {
        for (AppRecord* app = g_setup.appList.head; app; app = app->next) {
            app->selected = 0;
            for (const std::string& name : options.selected)
                app->selected = app->selected || SameName(name, FileName(app->infPath));
        }
        for (const std::string& name : options.selected) {
            bool found = false;
            for (AppRecord* app = g_setup.appList.head; app; app = app->next)
                found = found || SameName(name, FileName(app->infPath));
            if (!found)
                notes += "  (no application INF " + name + " is offered)\n";
        }
    } else if (g_setup.config.listStyle != StyleMulti && g_setup.appList.head) {
        g_setup.appList.head->selected = 1;
    }
    return notes;
}

std::string SystemLine(const DescribedSystem& system)
{
    return "on " + system.name + ": %WINDIR% " + system.windowsDir + ", %WINSYSDIR% " +
           system.systemDir + ", %PROGRAMFILES% " + system.programFilesDir + ", %CDROM% " +
           system.cdromLetter + ", %FD% " + system.fdLetter + ", %BOOTDISK% " + system.bootLetter +
           (system.isAdmin ? "" : ", the user no administrator") + "\n";
}

} // namespace

std::string PlanRun(const CheckOptions& options, const MediaView& view)
{
    std::string plan = "plan of the run of " + DiscPath(view, g_setup.masterInfPath) + "\n" +
                       SystemLine(options.system);
    FreeAppList();
    AppRecord defaultInstall = {}, cancelInstall = {};
    std::vector<char> patterns(MasterSectionCapacity);
    ReadMasterSection("Priority", patterns.data(), DefaultPattern);
    LoadError error = {};
    if (!LoadPseudoApp(defaultInstall, "DefaultInstall", &error) ||
        !LoadPseudoApp(cancelInstall, "CancelInstall", &error) ||
        !CollectApplications(patterns.data(), &error)) {
        snprintf(error.path, sizeof error.path, "%s", DiscPath(view, error.path).c_str());
        char text[LoadDetailCapacity];
        FormatLoadMessage(error, text, sizeof text);
        FreeAppList();
        FreeAppRecordLists(&defaultInstall);
        FreeAppRecordLists(&cancelInstall);
        return plan + "qvsetup stops while loading: " + text + "\n";
    }
    plan += ChooseApplications(options);
    if (!g_setup.appList.head)
        plan += "no application is offered: the dialog does not show, Install is pressed at once\n";
    if (defaultInstall.selected)
        PushPseudoApp(defaultInstall);
    plan += "on Install:\n";
    CheckedKeys installChecks;
    AppRecord* app = FirstSelectedApp();
    if (!app)
        plan += "  nothing runs\n";
    for (bool goesOn = true; app && goesOn; app = NextSelectedApp())
        goesOn = PlanApplication(app, installChecks, plan);
    FreeAppList();
    plan += "on Cancel:\n";
    CheckedKeys cancelChecks;
    if (cancelInstall.selected)
        PlanApplication(&cancelInstall, cancelChecks, plan);
    else
        plan += "  nothing runs\n";
    FreeAppRecordLists(&defaultInstall);
    FreeAppRecordLists(&cancelInstall);
    return plan;
}
