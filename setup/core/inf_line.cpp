// Byte-level routines of the INF command-line format.
#include "setup/core/inf_line.h"

#include <initializer_list>

namespace {

// The folder macros first, then the drive letters.
const Macro Macros[] = {
    {"WINDIR", MacroWinDir, &MacroValues::windowsDir, nullptr},
    {"WINSYSDIR", MacroWinSysDir, &MacroValues::systemDir, nullptr},
    {"PROGRAMFILES", MacroProgramFiles, &MacroValues::programFilesDir, nullptr},
    {"CDROM", MacroCdrom, nullptr, &MacroValues::cdromLetter},
    {"WINDISK", MacroWinDisk, nullptr, &MacroValues::windowsLetter},
    {"BOOTDISK", MacroBootDisk, nullptr, &MacroValues::bootLetter},
    {"FD", MacroFd, nullptr, &MacroValues::fdLetter},
};

// The state of one TokenizeLine call: the field being written and the open
// macro name. Every append checks the field's bound.
class LineSplitter {
public:
    // `wholeText`: blanks and commas are ordinary bytes, so the text stays
    // one field with its blanks.
    LineSplitter(char* const fields[], const size_t capacities[], int maxFields,
                 const MacroValues& macros, bool wholeText)
        : fields_(fields), capacities_(capacities), maxFields_(maxFields), macros_(macros),
          wholeText_(wholeText)
    {
    }

    bool Split(const char* line, uint32_t* macroUse, TokenizeStop* stop);

private:
    bool Append(char c);
    bool AppendText(const char* text);
    bool EndField();
    bool CloseMacro();
    bool AppendExpansion(const char* name);
    bool AddToMacroName(char c);

    char* const* fields_;
    const size_t* capacities_;
    int maxFields_;
    const MacroValues& macros_;
    bool wholeText_;
    int field_ = 0;
    size_t pos_ = 0;
    bool quoting_ = false;
    bool macroOpen_ = false;
    char name_[MaxMacroName + 1] = {};
    size_t nameLength_ = 0;
    uint32_t macroUse_ = 0;
    LineFault fault_ = LineFault::None;
};

bool LineSplitter::Append(char c)
{
    if (pos_ + 1 >= capacities_[field_]) {
        fault_ = LineFault::FieldTooLong;
        return false;
    }
    fields_[field_][pos_++] = c;
    return true;
}

bool LineSplitter::AppendText(const char* text)
{
    for (; *text; ++text) {
        if (!Append(*text))
            return false;
    }
    return true;
}

bool LineSplitter::EndField()
{
    fields_[field_][pos_] = '\0';
    ++field_;
    pos_ = 0;
    if (field_ < maxFields_)
        return true;
    fault_ = LineFault::TooManyFields;
    return false;
}

bool LineSplitter::AddToMacroName(char c)
{
    if (nameLength_ >= MaxMacroName) {
        fault_ = LineFault::MacroNameTooLong;
        return false;
    }
    name_[nameLength_++] = c;
    name_[nameLength_] = '\0';
    return true;
}

// Closes the open macro: appends its expansion, or the name itself when it
// is not a macro of the table.
bool LineSplitter::CloseMacro()
{
    macroOpen_ = false;
    const bool ok = AppendExpansion(name_);
    nameLength_ = 0;
    name_[0] = '\0';
    return ok;
}

bool LineSplitter::AppendExpansion(const char* name)
{
    for (const Macro& m : Macros) {
        if (EqualsIgnoreCase(name, m.name)) {
            macroUse_ |= m.bit;
            return m.folder ? AppendText(macros_.*m.folder) : Append(macros_.*m.letter);
        }
    }
    return AppendText(name);
}

bool LineSplitter::Split(const char* line, uint32_t* macroUse, TokenizeStop* stop)
{
    for (size_t i = 0; line[i] != '\0'; ++i) {
        const char c = line[i];
        bool ok = true;
        // Byte by byte, as the format has always been read: a backslash that
        // is the second byte of a double-byte character ("表" is 95 5C) also
        // escapes a following quote. Authors are warned of it by qvcheck.
        if (c == ',' && !quoting_ && !wholeText_) {
            ok = EndField();
        } else if (c == '\\' && line[i + 1] == '"') {
            ok = Append('"');
            ++i;
        } else if (c == '"') {
            quoting_ = !quoting_;
        } else if (c == '%') {
            if (i != 0 && line[i + 1] == '%') {
                ok = Append('%');
                ++i;
            } else if (!macroOpen_) {
                macroOpen_ = true;
            } else {
                ok = CloseMacro();
            }
        } else if (macroOpen_) {
            ok = AddToMacroName(c);
        } else if (c == ' ' && !quoting_ && !wholeText_) {
            // Blanks outside quotes are dropped wherever they stand.
        } else {
            ok = Append(c);
        }
        if (!ok) {
            if (stop)
                *stop = TokenizeStop{fault_, field_, quoting_};
            return false;
        }
    }
    fields_[field_][pos_] = '\0';
    *macroUse = macroUse_;
    if (stop)
        stop->quoteOpen = quoting_;
    return true;
}

// TokenizeLine, or with `wholeText` ExpandWholeText: the checks of the
// arguments, then the split.
bool SplitLine(char* const fields[], const size_t capacities[], int maxFields, uint32_t* macroUse,
               const char* line, const MacroValues& macros, TokenizeStop* stop, bool wholeText)
{
    *macroUse = 0;
    if (stop)
        *stop = TokenizeStop{LineFault::None, 0, false};
    LineFault refused = maxFields <= 0 ? LineFault::TooManyFields : LineFault::None;
    for (int k = 0; k < maxFields; ++k) {
        // A field needs room for its terminating NUL at least.
        if (capacities[k] == 0)
            refused = LineFault::FieldTooLong;
    }
    if (refused != LineFault::None) {
        if (stop)
            stop->fault = refused;
        return false;
    }
    LineSplitter splitter(fields, capacities, maxFields, macros, wholeText);
    return splitter.Split(line, macroUse, stop);
}

} // namespace

bool TokenizeLine(char* const fields[], const size_t capacities[], int maxFields,
                 uint32_t* macroUse, const char* line, const MacroValues& macros,
                 TokenizeStop* stop)
{
    return SplitLine(fields, capacities, maxFields, macroUse, line, macros, stop, false);
}

bool ExpandWholeText(const char* text, char* expanded, size_t capacity, const MacroValues& macros,
                     TokenizeStop* stop)
{
    char* const fields[] = {expanded};
    const size_t capacities[] = {capacity};
    uint32_t macroUse = 0;
    return SplitLine(fields, capacities, 1, &macroUse, text, macros, stop, true);
}

bool SplitCheckValue(const char* value, char letter, const MacroValues& macros, DiscProbe* probe,
                     TokenizeStop* stop)
{
    *probe = DiscProbe{};
    probe->path[0] = letter;
    probe->path[1] = ':';
    char* const fields[] = {probe->path + DiscProbe::DriveLength, probe->prompt, probe->buttonSet};
    const size_t capacities[] = {DiscProbe::ProbeCapacity, DiscProbe::PromptTextCapacity,
                                 DiscProbe::ButtonSetCapacity};
    uint32_t macroUse = 0;
    return TokenizeLine(fields, capacities, DiscProbe::FieldCount, &macroUse, value, macros, stop);
}

const char* LineFaultText(LineFault fault)
{
    switch (fault) {
    case LineFault::FieldTooLong:
        return "a field is too long";
    case LineFault::TooManyFields:
        return "more than four fields";
    case LineFault::MacroNameTooLong:
        return "a macro name runs on";
    case LineFault::UnknownKeyword:
        return "unknown command";
    case LineFault::NoCheckKey:
        return "%CDROM% or %FD% without a drive-check key";
    case LineFault::NoCheckValue:
        return "no [CheckCdrom] value under its drive-check key";
    case LineFault::OutOfMemory:
        return "no memory";
    case LineFault::None:
        break;
    }
    return "valid";
}

void UnescapeText(char* text)
{
    // The result is never longer than the text, so it is written in place.
    // Byte by byte, as the format has always been read: the second byte of
    // a double-byte character may pair with the byte after it (qvcheck
    // warns of it).
    char* out = text;
    for (const char* in = text; *in; ++in) {
        if (in[0] == '\\' && in[1] == 'n') {
            *out++ = '\n';
            ++in;
        } else if (in[0] == '\\' && in[1] == 't') {
            *out++ = '\t';
            ++in;
        } else if (in[0] == '\\' && in[1] == '\\') {
            *out++ = '\\';
            ++in;
        } else {
            *out++ = *in;
        }
    }
    *out = '\0';
}

void ReplaceChar(char* text, char from, char to)
{
    for (; *text; ++text) {
        if (*text == from)
            *text = to;
    }
}

uint32_t LookupKeyword(const char* keyword)
{
    for (const CommandFacts& command : Commands) {
        if (EqualsIgnoreCase(keyword, command.name))
            return command.code;
    }
    return 0;
}

const Macro* MacroTable(size_t* count)
{
    *count = sizeof Macros / sizeof Macros[0];
    return Macros;
}

void DescribeCommand(uint32_t flags, const char* param1, const char* param2, char* text,
                     size_t capacity)
{
    if (capacity == 0)
        return;
    const char* keyword = KeywordName(flags);
    size_t length = 0;
    auto put = [&](char c) {
        if (length + 1 < capacity)
            text[length++] = c;
    };
    for (const char* p = keyword ? keyword : "?"; *p; ++p)
        put(*p);
    for (const char* field : {param1, param2}) {
        put(' ');
        put('"');
        for (const char* p = field; *p; ++p) {
            if (*p == '"')
                put('\\');
            put(*p);
        }
        put('"');
    }
    text[length] = '\0';
}
