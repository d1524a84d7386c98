// Where the lines of an INF file stand: the file's bytes read as the
// platform's profile reader reads them, so that each key and each line of a
// section, as the profile functions answer them, can be given its line
// number. No platform calls.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "qvcheck/text_encoding.h"

// One line that the profile reader keeps as a key: `name=value`, or a line
// without "=" (then its name is the whole line and its value empty).
struct ProfileLine {
    int number;             // line number in the file, from 1
    std::string text;       // the line as the section functions answer it: name=value
    std::string name;       // blanks around it removed
    std::string value;
    bool isComment;         // the name begins with ";": the section functions skip it
};

struct ProfileSection {
    int number;             // line number of its header; 0 for the lines before any header
    std::string name;       // blanks around it removed
    std::vector<ProfileLine> lines;
    // Looked up in constant time, so that a file of any size is read in
    // linear time: each key's first line (by its name in upper case), and
    // the lines that the section functions answer (comments left out).
    std::unordered_map<std::string, size_t> firstOfKey;
    std::vector<size_t> answered;
};

class ProfileFile {
public:
    // Reads the file's bytes (CP932, CR LF or LF line ends).
    explicit ProfileFile(const std::string& bytes);

    // The section that the profile functions read for `name` (the first of
    // that name, any case), or null.
    const ProfileSection* Find(const std::string& name) const;

    // Every section of `name`, in file order: the first counts, later ones
    // are ignored by the profile functions.
    std::vector<const ProfileSection*> FindAll(const std::string& name) const;

    // The line of `key` (any case) that the profile functions read: the first
    // of that name in the first section of `section`; null when there is none.
    const ProfileLine* FindKey(const std::string& section, const std::string& key) const;

    // The line that GetPrivateProfileSectionA answers as its `index`-th line
    // (from 0; comments are not among them), or null.
    const ProfileLine* SectionLine(const std::string& section, size_t index) const;

    const std::vector<ProfileSection>& sections() const { return sections_; }

    // The column (in characters, from 1) of byte `at` of `text`, the trimmed
    // text of line `number`; the line's first character without a text.
    // 0 for line 0 (the whole file) or a line that holds nothing.
    int ColumnOf(int number, const std::string& text = std::string(), size_t at = 0) const;

    // True when the file begins with a UTF-8 or UTF-16 byte order mark.
    bool hasByteOrderMark() const { return byteOrderMark_; }

    // The first line whose text is not CP932, such as UTF-8.
    const TextEncodingFinding& foreignText() const { return foreignText_; }

private:
    void Index();

    std::vector<ProfileSection> sections_;
    std::unordered_map<std::string, size_t> firstOfSection_;   // by the name in upper case
    std::vector<int> indents_;      // by line number: blanks before its text; -1 for an empty line
    bool byteOrderMark_ = false;
    TextEncodingFinding foreignText_;
};

