// envprep's pure rules: the /silent switch, the maker's USB device ids, and
// drive letters of paths.
#pragma once

#include <cstdint>
#include <string>

// True when a "/silent" (case-sensitive) followed by a blank or the end of
// the line stands in the command line.
bool HasSilentSwitch(const char* commandLine);

// True when the device instance path holds one of the fragments of the
// maker's keyboard (interface 0) or mouse (interface 1), case-sensitively.
bool IsMakerKeyboard(const char* instancePath);
bool IsMakerMouse(const char* instancePath);

// The drive of a path ("C:"), or empty when its second byte is no colon.
std::string DriveOf(const char* path);

// The index that the value name `name` stands for when the enumeration's
// values are named 0, 1, ... in decimal ("%lu"): true, with *index, for a
// canonical decimal below `count`.
bool ValueNameIndex(const char* name, uint32_t count, uint32_t* index);
