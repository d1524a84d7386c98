// The interpreter's place in the run.
#include "setup/core/run_order.h"

#include "setup/core/setup_state.h"

namespace {

// `app`, or the first selected application after it.
AppRecord* SelectedFrom(AppRecord* app)
{
    while (app && !app->selected)
        app = Next(g_setup.appList);
    return app;
}

} // namespace

AppRecord* FirstSelectedApp()
{
    return SelectedFrom(First(g_setup.appList));
}

AppRecord* NextSelectedApp()
{
    return SelectedFrom(Next(g_setup.appList));
}

CommandRecord* CurrentCommand()
{
    AppRecord* app = Current(g_setup.appList);
    return app ? Current(app->commands) : nullptr;
}

const CommandRecord* FollowingCommand(const AppRecord* app, const CommandRecord* cmd)
{
    if (cmd->next)
        return cmd->next;
    for (const AppRecord* later = app->next; later; later = later->next) {
        if (later->selected)
            return later->commands.head;
    }
    return nullptr;
}

CommandRecord* CommandAt(AppRecord* app, int32_t index)
{
    CommandRecord* cmd = First(app->commands);
    for (int32_t i = 0; cmd && i < index; ++i)
        cmd = Next(app->commands);
    return cmd;
}
