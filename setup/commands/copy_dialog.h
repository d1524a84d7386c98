// XCOPY and XCOPYA: copying a folder (and with XCOPYA its whole tree) under
// the copy progress dialog, one directory entry per tick.
#pragma once

#include <windows.h>

#include "setup/engine/node_list.h"
#include "setup/engine/records.h"

// One folder of the walk.
struct CopyWalkNode {
    CopyWalkNode* next;
    HANDLE findHandle;                    // search over this folder, while listed
    NodeList<CopyWalkNode> subfolders;    // found here and not yet visited
    CopyWalkNode* parent;                 // null for the root
    char* sourceFolder;
    char* destFolder;
    WIN32_FIND_DATAA findData;            // the entry the search returned last
};

constexpr UINT_PTR CopyTimer = 40003;

// The handler of both commands: 1 lets the run go on, 0 ends it.
int XcopyCommand(CommandRecord* cmd);

// Handles the entry in node->findData; 0 after a failure, shown and with
// the dialog ended.
int ProcessCopyEntry(CopyWalkNode* node);
