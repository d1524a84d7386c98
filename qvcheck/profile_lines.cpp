// Where the lines of an INF file stand, read as the profile reader reads them.
#include "qvcheck/profile_lines.h"

#include <algorithm>

#include "setup/core/dbcs.h"
#include "setup/core/inf_line.h"
#include "setup/core/profile_text.h"

namespace {

std::string Text(const ByteSpan& span)
{
    return std::string(span.begin, span.length);
}

std::string Folded(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded)
        c = FoldAscii(c);
    return folded;
}

} // namespace

ProfileFile::ProfileFile(const std::string& bytes)
    : byteOrderMark_(HasByteOrderMark(bytes.data(), bytes.size())), foreignText_(FindForeignText(bytes))
{
    sections_.push_back(ProfileSection{0, std::string(), {}, {}, {}});
    ProfileTextReader reader(bytes.data(), bytes.size());
    ProfileTextLine line;
    while (reader.Next(&line)) {
        indents_.resize(static_cast<size_t>(line.number) + 1, -1);
        indents_[static_cast<size_t>(line.number)] = static_cast<int>(line.indent);
        if (line.isSection) {
            sections_.push_back(ProfileSection{line.number, Text(line.name), {}, {}, {}});
            continue;
        }
        const std::string text = line.hasEquals ? Text(line.name) + "=" + Text(line.value)
                                                : Text(line.text);
        sections_.back().lines.push_back(
            ProfileLine{line.number, text, Text(line.name), Text(line.value), line.isComment});
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

int ProfileFile::ColumnOf(int number, const std::string& text, size_t at) const
{
    if (number <= 0 || static_cast<size_t>(number) >= indents_.size() || indents_[number] < 0)
        return 0;
    const unsigned before = CharacterCount(text.data(), static_cast<unsigned>(std::min(at, text.size())));
    return indents_[number] + static_cast<int>(before) + 1;
}

const ProfileLine* ProfileFile::SectionLine(const std::string& section, size_t index) const
{
    const ProfileSection* found = Find(section);
    if (!found || index >= found->answered.size())
        return nullptr;
    return &found->lines[found->answered[index]];
}
