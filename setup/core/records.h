// The parsed form of INF scripts: one application, one command line, one
// cached drive-check value. Records are zero-filled at allocation.
#pragma once

#include <cstdint>

#include "setup/core/node_list.h"

constexpr int PathCapacity = 260;
constexpr int TitleCapacity = 64;
constexpr int DescriptionCapacity = 256;
constexpr int KeywordCapacity = 11;
constexpr int CheckKeyCapacity = 32;
constexpr int CheckValueCapacity = 528;
constexpr int CommandFields = 4;        // keyword, param1, param2, checkKey
constexpr int CommandTextCapacity = 2 * PathCapacity + 64;  // a command as DescribeCommand writes it

struct CheckCdromEntry {
    CheckCdromEntry* next;
    char key[CheckKeyCapacity];
    char value[CheckValueCapacity];
};

struct CommandRecord {
    CommandRecord* next;
    uint32_t flags;             // command code (low 16 bits) and drive-check flags
    int32_t busy;               // the command goes on after its handler returned
    uintptr_t handle;           // PROG: process handle; SLEEP: timer identifier
    char param1[PathCapacity];
    char param2[PathCapacity];
    char checkKey[CheckKeyCapacity];
    CheckCdromEntry* checkEntry;
    const char* infPath;        // the owning AppRecord's infPath
    const char* section;        // the section it stands in (a name that lives as long as the run)
    int32_t index;              // its place among its application's commands, from 0
    int32_t fileLine;           // its line number in the INF file, from 1; 0 when unknown
    char* lineText;             // the line as written in the file; owned by the record
    uint32_t startTick;         // when the command started, for the log
    uint32_t endTick;           // when it ended (a PROG: its program), 0 before: whose restart
                                // a session's end may be
};

struct AppRecord {
    AppRecord* next;
    int32_t listIndex;          // item index in the selector; -1 for pseudo-applications
    int32_t selected;
    char infPath[PathCapacity];
    char title[TitleCapacity];
    char description[DescriptionCapacity];
    char model[PathCapacity];   // [Version] MODEL: typescan's command line; empty: every model
    int32_t modelUnread;        // MODEL's answer: the machine's model could not be read
    NodeList<CommandRecord> commands;
    NodeList<CheckCdromEntry> cdChecks;
};
