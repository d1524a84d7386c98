// Where the run stands, and how it moves on.
#include "setup/core/run_order.h"

namespace {

// `app`, or the first selected application after it.
AppRecord* SelectedFrom(AppRecord* app)
{
    while (app && !app->selected)
        app = app->next;
    return app;
}

} // namespace

AppRecord* FirstSelectedApp(const Media& media)
{
    return SelectedFrom(media.apps.head);
}

AppRecord* NextSelectedApp(const AppRecord* app)
{
    return SelectedFrom(app->next);
}

CommandRecord* CommandOf(const AppRecord* app, int32_t index)
{
    CommandRecord* cmd = app->commands.head;
    for (int32_t i = 0; cmd && i < index; ++i)
        cmd = cmd->next;
    return cmd;
}

CommandRecord* MoveTo(RunPosition& at, AppRecord* app, int32_t index)
{
    at.app = app;
    at.command = CommandOf(app, index);
    return at.command;
}

CommandRecord* MoveToNextCommand(RunPosition& at)
{
    if (!at.command || !at.command->next)
        return nullptr;
    at.command = at.command->next;
    return at.command;
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
