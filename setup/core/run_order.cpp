// The interpreter's place in the run.
#include "setup/core/run_order.h"

namespace {

// `app`, or the first selected application after it.
AppRecord* SelectedFrom(NodeList<AppRecord>& apps, AppRecord* app)
{
    while (app && !app->selected)
        app = Next(apps);
    return app;
}

} // namespace

AppRecord* FirstSelectedApp(Media& media)
{
    return SelectedFrom(media.apps, First(media.apps));
}

AppRecord* NextSelectedApp(Media& media)
{
    return SelectedFrom(media.apps, Next(media.apps));
}

CommandRecord* CurrentCommand(const Media& media)
{
    AppRecord* app = Current(media.apps);
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
