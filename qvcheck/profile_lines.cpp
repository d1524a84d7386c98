// Where the lines of an INF file stand, read as the profile reader reads them.
#include "qvcheck/profile_lines.h"

#include "setup/core/dbcs.h"
#include "setup/core/inf_line.h"

namespace {

constexpr char EndOfFileMark = 0x1A;

bool IsProfileSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == EndOfFileMark;
}

std::string Trim(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsProfileSpace(text[begin]))
        ++begin;
    while (end > begin && IsProfileSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// The position of the last "]" that is a character of its own, or npos.
size_t LastClosingBracket(const std::string& line)
{
    size_t found = std::string::npos;
    for (size_t i = 0; i < line.size(); ++i) {
        if (IsLeadByte932(static_cast<unsigned char>(line[i])) && i + 1 < line.size())
            ++i;
        else if (line[i] == ']')
            found = i;
    }
    return found;
}

std::string Folded(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded)
        c = FoldAscii(c);
    return folded;
}

bool HasByteOrderMark(const std::string& bytes)
{
    return bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 || bytes.compare(0, 2, "\xFF\xFE") == 0 ||
           bytes.compare(0, 2, "\xFE\xFF") == 0;
}

} // namespace

ProfileFile::ProfileFile(const std::string& bytes) : byteOrderMark_(HasByteOrderMark(bytes))
{
    sections_.push_back(ProfileSection{0, std::string(), {}, {}, {}});
    // A line ends at a line feed; a file without any ends its lines at
    // carriage returns.
    const char end = bytes.find('\n') != std::string::npos ? '\n' : '\r';
    int number = 0;
    for (size_t start = 0; start < bytes.size();) {
        size_t stop = bytes.find(end, start);
        if (stop == std::string::npos)
            stop = bytes.size();
        const std::string line = Trim(bytes.substr(start, stop - start));
        start = stop + 1;
        ++number;
        if (line.empty())
            continue;
        const size_t closing = line[0] == '[' ? LastClosingBracket(line) : std::string::npos;
        if (closing != std::string::npos) {
            sections_.push_back(ProfileSection{number, Trim(line.substr(1, closing - 1)), {}, {}, {}});
            continue;
        }
        ProfileLine entry{number, line, line, std::string(), false};
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            entry.name = Trim(line.substr(0, equals));
            entry.value = Trim(line.substr(equals + 1));
            entry.text = entry.name + "=" + entry.value;
        }
        entry.isComment = !entry.name.empty() && entry.name[0] == ';';
        // The reader keeps a line without a name only after a named one.
        std::vector<ProfileLine>& lines = sections_.back().lines;
        if (!entry.name.empty() || lines.empty() || !lines.back().name.empty())
            lines.push_back(entry);
    }
    Index();
}

void ProfileFile::Index()
{
    for (size_t s = 0; s < sections_.size(); ++s) {
        ProfileSection& section = sections_[s];
        if (section.number != 0)
            firstOfSection_.emplace(Folded(section.name), s);
        for (size_t i = 0; i < section.lines.size(); ++i) {
            section.firstOfKey.emplace(Folded(section.lines[i].name), i);
            if (!section.lines[i].isComment)
                section.answered.push_back(i);
        }
    }
}

const ProfileSection* ProfileFile::Find(const std::string& name) const
{
    const auto found = firstOfSection_.find(Folded(name));
    return found == firstOfSection_.end() ? nullptr : &sections_[found->second];
}

std::vector<const ProfileSection*> ProfileFile::FindAll(const std::string& name) const
{
    std::vector<const ProfileSection*> found;
    for (const ProfileSection& section : sections_) {
        if (section.number != 0 && SameName(section.name, name))
            found.push_back(&section);
    }
    return found;
}

const ProfileLine* ProfileFile::FindKey(const std::string& section, const std::string& key) const
{
    const ProfileSection* found = Find(section);
    if (!found)
        return nullptr;
    const auto line = found->firstOfKey.find(Folded(key));
    return line == found->firstOfKey.end() ? nullptr : &found->lines[line->second];
}

const ProfileLine* ProfileFile::SectionLine(const std::string& section, size_t index) const
{
    const ProfileSection* found = Find(section);
    if (!found || index >= found->answered.size())
        return nullptr;
    return &found->lines[found->answered[index]];
}
