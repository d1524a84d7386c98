// Media: what the installation media are once loaded: where the master INF
// is, its settings, the applications it offers with their commands, and the
// captions of [ExcludeForegroundWindow]. qvsetup loads the media of the
// disc it runs from; qvcheck loads the media it judges into one of its own.
#pragma once

#include "setup/core/records.h"
#include "setup/core/setup_config.h"

// One [ExcludeForegroundWindow] caption.
struct WindowTitleNode {
    WindowTitleNode* next;
    char* title;
};

struct Media {
    char sourceDir[PathCapacity];     // folder of the master INF
    char masterInfPath[PathCapacity]; // sourceDir\QVSETUP.INF
    SetupConfig config;               // the master INF's settings
    // The applications in the order the run takes them; the list's cursor is
    // the application the run stands at, each application's own the command.
    NodeList<AppRecord> apps;
    NodeList<AppRecord> notOffered;   // left out by their MODEL: for other models
    NodeList<WindowTitleNode> excluded;
};
