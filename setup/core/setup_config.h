// The master INF's settings: the keys of [QvSetupConfig] and the
// administrator demand of [Version], read in one place through one table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "setup/core/inf_line.h"
#include "setup/core/records.h"

enum ListStyle : int32_t {
    StyleMulti = 1,
    StyleSingle = 2,
    StyleSingleList = 3,
};

constexpr int PromptCapacity = 128;

struct SetupConfig {
    char setupName[TitleCapacity];      // SETUPNAME: window title, default box caption
    char backgroundMsg[PathCapacity];   // BACKGROUND_MSG, escapes rewritten
    bool showBackground;                // BACKGROUND is not "NO"
    ListStyle listStyle;                // STYLE
    uint32_t tickInterval;              // SIGNAL, milliseconds
    char bitmapPath[PathCapacity];      // BITMAP
    bool keepOnTop;                     // FOREGROUND is "YES"
    char dialogTitle[TitleCapacity];    // TITLE: caption of the selection dialog
    char dialogPrompt[PromptCapacity];  // DLGMSG: its prompt line, empty for the template's
    bool cancelAllowed;                 // CANCEL is not "NO"
    bool adminRequired;                 // [Version] admini is "YES"
    char logPath[PathCapacity];         // LOG: the setup log's file, macros not yet expanded
    bool fastCopy;                      // FASTCOPY is "YES": tree copies walk many entries a tick
    bool resume;                        // RESUME is "YES": a journal carries the run across restarts
};

// What a key's value means, for readers that judge a value.
enum class ConfigValueKind {
    Text,       // any text
    EscapedText,  // any text whose escapes (\n, \t, \\) are rewritten
    YesNo,      // "YES" or "NO"; any other value means what the key's default means
    Style,      // "MULTI", "SINGLE" or "SINGLELIST"
    Number,     // a decimal number of milliseconds
    Path,       // a path with the macros of command lines
};

struct ConfigKey {
    const char* name;
    const char* fallback;
    size_t capacity;            // bytes read, the NUL included; a longer value is cut
    ConfigValueKind kind;
};

constexpr char ConfigSection[] = "QvSetupConfig";

// The keys of [QvSetupConfig], in the order the reference lists them.
const ConfigKey* ConfigKeys(size_t* count);

// The key of [QvSetupConfig] named `name` (any case), or null.
const ConfigKey* FindConfigKey(const char* name);

// Why a LOG value gives no log.
enum class LogPathFault {
    None,               // the log is written to the expanded path
    Off,                // LOG is empty or missing: no log, as meant
    TooLongAsWritten,   // it fills its buffer, so the profile reader may have cut it
    MacroNameTooLong,   // a %name% runs past MaxMacroName
    TooLongExpanded,    // the expanded path passes 259 bytes
    NoPath,             // it expands to nothing, or to blanks only
};

// LOG's value as the log's path: its macros expanded into `path` (of
// `capacity` bytes) with its blanks and commas kept. A value that fills
// the setting's buffer may have been cut by the profile reader: a log in a
// file of a cut name is no log. qvsetup and qvcheck judge LOG alike by it.
LogPathFault ExpandLogPath(const char* value, const MacroValues& macros, char* path,
                           size_t capacity);

// Reads every setting of the master INF at `masterInfPath`; a missing file or
// key gives the defaults.
void ReadSetupConfig(const char* masterInfPath, SetupConfig* config);

// The style a STYLE value names (any case); false, with SINGLELIST, for a
// value that names none.
bool StyleOf(const char* value, ListStyle* style);

// The STYLE value that names `style`.
const char* StyleName(ListStyle style);

// True when [section] key of the INF at `path` is "YES" (any case); the
// default is "NO".
bool ProfileIsYes(const char* path, const char* section, const char* key);
