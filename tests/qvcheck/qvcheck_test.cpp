// qvcheck.exe on a corpus of media with their mistakes planted at known
// lines, and against the real qvsetup.exe: where qvcheck finds an error,
// qvsetup shows the box that qvcheck quoted first.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/kit/bench.h"
#include "tests/kit/qvcheck_run.h"
#include "tests/kit/run_follower.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/smbios_data.h"
#include "tests/kit/ui.h"

namespace {

// One finding, expected or reported: the file (its path below the media
// folder), the line (0: the whole file) and whether it is an error.
struct Mark {
    std::string file;
    int line;
    bool error;
    std::string text;   // expected: a part of the message (CP932)
    bool operator<(const Mark& other) const
    {
        return std::tie(file, line, error) < std::tie(other.file, other.line, other.error);
    }
    bool operator==(const Mark& other) const { return !(*this < other) && !(other < *this); }
};

struct CorpusFile {
    std::string name;
    std::string bytes;
    bool written = true;
    bool utf8 = false;   // saved as an editor on Linux saves it: UTF-8, LF line ends
};

struct CorpusCase {
    std::string name;
    std::string options;
    std::vector<CorpusFile> files;
    std::vector<Mark> marks;
    bool hasSecondDisc = false;
};

std::string Cp932(const std::string& utf8)
{
    const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], wide);
    const int narrow = WideCharToMultiByte(932, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(narrow), '\0');
    WideCharToMultiByte(932, 0, text.data(), wide, &bytes[0], narrow, nullptr, nullptr);
    return bytes;
}

// "{X*N}" written N times.
std::string Expand(const std::string& line)
{
    std::string out;
    for (size_t i = 0; i < line.size();) {
        const size_t star = line.find('*', i);
        const size_t close = line.find('}', i);
        if (line[i] == '{' && star != std::string::npos && close != std::string::npos && star < close) {
            const std::string unit = line.substr(i + 1, star - i - 1);
            for (int n = std::stoi(line.substr(star + 1, close - star - 1)); n > 0; --n)
                out += unit;
            i = close + 1;
        } else {
            out += line[i++];
        }
    }
    return out;
}

std::string HexBytes(const std::string& line)
{
    std::string bytes;
    std::istringstream hex(line);
    std::string pair;
    while (hex >> pair)
        bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
    return bytes;
}

// A marker "<<error TEXT" or "<<warning TEXT" at `at` of the line.
Mark ReadMark(const std::string& file, int line, const std::string& marker)
{
    const bool error = marker.compare(2, 5, "error") == 0;
    const size_t textStart = marker.find(' ');
    return Mark{file, line, error,
                textStart == std::string::npos ? std::string() : Cp932(marker.substr(textStart + 1))};
}

// Adds one line of a file block to the current file and its marks.
void AddLine(CorpusCase& current, bool hex, const std::string& raw)
{
    CorpusFile& file = current.files.back();
    if (raw.compare(0, 2, "<<") == 0) {
        current.marks.push_back(ReadMark(file.name, 0, raw));
        return;
    }
    if (hex) {
        file.bytes += HexBytes(raw);
        return;
    }
    std::string line = raw;
    const size_t marker = line.find("  <<");
    int number = 1;
    for (char c : file.bytes)
        number += c == '\n';
    if (marker != std::string::npos) {
        current.marks.push_back(ReadMark(file.name, number, line.substr(marker + 2)));
        line.erase(marker);
    }
    file.bytes += file.utf8 ? Expand(line) + "\n" : Cp932(Expand(line)) + "\r\n";
}

std::vector<CorpusCase> ReadCorpus(const std::string& path)
{
    std::vector<CorpusCase> cases;
    bool inFile = false, hex = false;
    for (const std::string& line : TextLines(ReadBytes(path))) {
        if (line.compare(0, 4, "=== ") == 0) {
            const size_t bar = line.find(" | ");
            cases.push_back(CorpusCase{line.substr(4, bar == std::string::npos ? bar : bar - 4),
                                       bar == std::string::npos ? "" : line.substr(bar + 3), {}, {}});
            inFile = false;
        } else if (line.compare(0, 4, "--- ") == 0) {
            std::istringstream words(line.substr(4));
            CorpusFile file;
            std::string kind;
            words >> file.name >> kind;
            hex = kind == "hex";
            file.written = kind != "missing";
            file.utf8 = kind == "utf8";
            std::string rest;
            std::getline(words >> std::ws, rest);
            if (kind == "app" || kind == "command")
                file.bytes = Cp932("[Version]\r\nsignature=$QVSETUP$\r\n[Strings]\r\nTITLE=" +
                                   (kind == "app" ? rest : "A") + "\r\n[Install]\r\n" +
                                   (kind == "app" ? "SLEEP,1\r\n" : ""));
            cases.back().hasSecondDisc |= file.name.compare(0, 6, "DISC2\\") == 0;
            cases.back().files.push_back(file);
            inFile = true;
            if (kind == "command")
                AddLine(cases.back(), false, rest);
        } else if (inFile) {
            AddLine(cases.back(), hex, line);
        }
    }
    return cases;
}

// The media of a case, written below a temporary folder; an empty master
// INF unless the case has one (or marks it missing).
class CaseMedia {
public:
    explicit CaseMedia(const CorpusCase& c) : root_(MakeTempFolder("corpus"))
    {
        CreateDirectoryA(Folder().c_str(), nullptr);
        CreateDirectoryA(Disc2().c_str(), nullptr);
        EXPECT_TRUE(WriteBytes(Folder() + "\\QVSETUP.INF", ""));
        for (const CorpusFile& file : c.files) {
            if (file.name == "QVSETUP.INF" && !file.written)
                DeleteFileA((Folder() + "\\QVSETUP.INF").c_str());
        }
        for (const CorpusFile& file : c.files) {
            if (!file.written)
                continue;
            const std::string path = root_ + "\\" + (file.name.compare(0, 6, "DISC2\\") == 0 ? "" : "MEDIA\\") +
                                     file.name;
            MakeParentFolders(path, root_.size());
            EXPECT_TRUE(WriteBytes(path, file.bytes)) << path;
        }
    }
    ~CaseMedia() { RemoveTree(root_); }
    std::string Folder() const { return root_ + "\\MEDIA"; }
    std::string Disc2() const { return root_ + "\\DISC2"; }

private:
    std::string root_;
};

// The findings of qvcheck's lines about files below `folder` (or `disc2`).
std::vector<Mark> Findings(const std::vector<std::string>& lines, const std::string& folder)
{
    std::vector<Mark> marks;
    for (const std::string& line : lines) {
        if (line.compare(0, folder.size() + 1, folder + "\\") != 0)
            continue;
        const size_t kind = line.find(": error: ") != std::string::npos ? line.find(": error: ")
                                                                        : line.find(": warning: ");
        if (kind == std::string::npos)
            continue;
        // FILE:LINE:COLUMN, or FILE alone for the whole file.
        std::string place = line.substr(folder.size() + 1, kind - folder.size() - 1);
        int number = 0;
        const size_t columnColon = place.rfind(':');
        if (columnColon != std::string::npos) {
            place.erase(columnColon);
            const size_t colon = place.rfind(':');
            number = std::stoi(place.substr(colon + 1));
            place.erase(colon);
        }
        marks.push_back(Mark{place, number, line.compare(kind, 9, ": error: ") == 0, line});
    }
    return marks;
}

std::string Describe(const std::set<Mark>& marks)
{
    std::string text;
    for (const Mark& m : marks)
        text += "  " + m.file + ":" + std::to_string(m.line) + (m.error ? " error\n" : " warning\n");
    return text;
}

// Success when the reported findings stand exactly where the case marks
// them, each holding its expected text.
testing::AssertionResult FindingsMatch(const CorpusCase& c, const std::vector<Mark>& reported,
                                       const std::vector<std::string>& lines)
{
    const std::set<Mark> expected(c.marks.begin(), c.marks.end());
    const std::set<Mark> found(reported.begin(), reported.end());
    if (expected != found || reported.size() != c.marks.size()) {
        std::string all;
        for (const std::string& line : lines)
            all += "  " + line + "\n";
        return testing::AssertionFailure() << "expected:\n" << Describe(expected) << "reported:\n" << all;
    }
    for (const Mark& mark : c.marks) {
        const Mark& seen = *found.find(mark);
        if (seen.text.find(mark.text) == std::string::npos)
            return testing::AssertionFailure() << "the finding " << seen.text << " does not hold "
                                               << mark.text;
    }
    return testing::AssertionSuccess();
}

const std::vector<CorpusCase>& Corpus()
{
    static const std::vector<CorpusCase> corpus = ReadCorpus(QV_QVCHECK_CORPUS);
    return corpus;
}

// The runtime message that a line quotes, with \n turned back into line feeds.
std::string QuotedMessage(const std::string& line)
{
    const std::string opening = " (qvsetup: \"";
    const size_t start = line.find(opening);
    if (start == std::string::npos)
        return std::string();
    std::string quoted = line.substr(start + opening.size());
    quoted.erase(quoted.size() - 2);   // the closing quote and parenthesis
    std::string message;
    for (size_t i = 0; i < quoted.size(); ++i) {
        if (quoted.compare(i, 2, "\\n") == 0) {
            message += '\n';
            ++i;
        } else {
            message += quoted[i];
        }
    }
    return message;
}

// The text report and the SARIF log of one run, kept beside the test
// program for the check of the log against its schema (sarif_check).
void KeepForSarifCheck(const CheckRun& text, const CheckRun& sarif, int number)
{
    const std::string folder = ProgramFolder() + "\\sarif";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string lines;
    for (const std::string& line : text.lines)
        lines += line + "\n";
    std::string log;
    for (const std::string& line : sarif.lines)
        log += line + "\n";
    WriteBytes(folder + "\\" + std::to_string(number) + ".txt", lines);
    WriteBytes(folder + "\\" + std::to_string(number) + ".sarif", log);
    EXPECT_EQ(sarif.exitCode, text.exitCode);
}

TEST(Qvcheck, CorpusFindingsStandAtTheirLines)
{
    ASSERT_GE(Corpus().size(), 30u);
    int kept = 0;
    for (const CorpusCase& c : Corpus()) {
        SCOPED_TRACE(c.name);
        const CaseMedia media(c);
        const std::string disc2 = c.hasSecondDisc ? " \"" + media.Disc2() + "\"" : "";
        const std::string arguments = BenchSystem() + " " + c.options + " \"" + media.Folder() + "\"" + disc2;
        const CheckRun run = RunQvcheck(arguments);
        EXPECT_TRUE(FindingsMatch(c, Findings(run.lines, media.Folder()), run.lines));
        KeepForSarifCheck(run, RunQvcheck("/format=sarif " + arguments), ++kept);
        bool errors = false;
        for (const Mark& mark : c.marks)
            errors = errors || mark.error;
        EXPECT_EQ(run.exitCode, errors ? 2u : c.marks.empty() ? 0u : 1u);
    }
    // The sample media, both discs, are clean.
    const std::string discs = ProgramFolder() + "\\discs\\";
    const CheckRun sample = RunQvcheck(BenchSystem() + " \"" + discs + "disc1\" \"" + discs + "disc2\"");
    EXPECT_EQ(sample.exitCode, 0u);
    EXPECT_EQ(sample.lines, std::vector<std::string>{"0 error(s), 0 warning(s)"});
    EXPECT_EQ(RunQvcheck("/nonsense").exitCode, 3u);
}

// Where qvcheck finds an error, qvsetup shows a box while loading, whose
// text is the message qvcheck quoted first; where it finds none, qvsetup
// reaches its selection dialog. (Media for another system or with a second
// disc are checked with options qvsetup does not have.) qvsetup runs from
// the media folder itself, so qvcheck is told that the media stand there.
TEST(Qvcheck, FirstQuotedErrorIsTheBoxQvsetupShows)
{
    for (const CorpusCase& c : Corpus()) {
        if (!c.options.empty() || c.hasSecondDisc)
            continue;
        SCOPED_TRACE(c.name);
        const CaseMedia media(c);
        const CheckRun check = RunQvcheck(BenchSystem() + " \"/disc=" + media.Folder() + "\" \"" +
                                          media.Folder() + "\"");
        std::string quoted;
        for (const std::string& line : check.lines) {
            if (quoted.empty() && RunTimeExitCode(line) < 0)
                quoted = QuotedMessage(line);
        }
        SetupRun run(media.Folder());
        HWND box = nullptr, dialog = nullptr;
        WaitUntil([&] { return (box = run.WaitForMessageBox(0)) || (dialog = run.WaitForSelectionDialog(0)); },
                  20000);
        if (quoted.empty()) {
            EXPECT_NE(dialog, nullptr) << "no selection dialog";
        } else {
            ASSERT_NE(box, nullptr) << "no error box for " << quoted;
            EXPECT_EQ(ReadMessageBox(box).text, quoted);
            PressButton(box, IDOK);
            EXPECT_TRUE(RunExits(run));
        }
    }
}

// Media that fail at a command's turn, from their text alone: qvcheck says
// where, and with which exit code an unattended run ends there; qvsetup,
// run unattended from the disc, ends with that code. Media that qvcheck
// foresees no such failure in run to their end. The medium is the disc in
// CD-ROM drive R, as it stands when it is burnt.
TEST(Qvcheck, RunTimeFailuresEndTheRunAsQvcheckSays)
{
    constexpr char Drive = 'R';
    constexpr DWORD RunBoundMs = 60000;
    int tried = 0, clean = 0;
    for (const CorpusCase& c : Corpus()) {
        const bool fails = c.name.compare(0, 12, "at its turn:") == 0;
        if (!fails && c.name.compare(0, 16, "runs to the end:") != 0)
            continue;
        SCOPED_TRACE(c.name);
        const CaseMedia media(c);
        ASSERT_TRUE(MapDrive(Drive, media.Folder(), DRIVE_CDROM));
        const CheckRun check = RunQvcheck(BenchSystem() + " /cdrom=R \"" + media.Folder() + "\"");
        int said = -1;
        for (const std::string& line : check.lines) {
            if (said < 0)
                said = RunTimeExitCode(line);
        }
        if (fails)
            EXPECT_GE(said, 0) << "qvcheck finds no failure at a command's turn";
        else
            EXPECT_EQ(said, -1) << "qvcheck foresees a failure of a run that ends well";
        said = std::max(said, 0);
        clean += fails ? 0 : 1;
        AnswerFile answers({"Select=ALL", "DiscWait=1", "ExistTimeout=1", "ProgTimeout=10"});
        const UnattendedEnd end = RunUnattended("R:\\", answers.File(), RunBoundMs);
        UnmapDrive(Drive);
        EXPECT_TRUE(end.ended);
        EXPECT_EQ(static_cast<int>(end.exitCode), said) << answers.Result("Result", "Message");
        ++tried;
    }
    EXPECT_GE(tried - clean, 15);
    EXPECT_GE(clean, 2);
}

// A temporary folder, removed with its contents.
class TempFolder {
public:
    TempFolder() : folder_(MakeTempFolder("media")) {}
    ~TempFolder() { RemoveTree(folder_); }
    const std::string& get() const { return folder_; }

private:
    std::string folder_;
};

// A file of `size` bytes that holds nothing: the file system keeps it
// sparse, so that a test can have a file of a gigabyte.
bool MakeSparseFile(const std::string& path, DWORD size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool sized = SetFilePointer(file, static_cast<LONG>(size), nullptr, FILE_BEGIN) !=
                           INVALID_SET_FILE_POINTER &&
                       SetEndOfFile(file);
    CloseHandle(file);
    return sized;
}

// Path limits are judged where the media stand when qvsetup runs (by
// default the root of the CD-ROM drive), not on the folder qvcheck reads;
// what qvcheck opens is a plain file, and only as much of it as it needs.
TEST(Qvcheck, JudgesTheMediaAsTheyStandOnTheDisc)
{
    const std::string app = "[Version]\r\nsignature=$QVSETUP$\r\n[Strings]\r\nTITLE=A\r\n[Install]\r\n";
    // A media folder of 249 bytes, whose master INF's path passes 259 bytes
    // here (the folder is made short, then moved deep): on the disc's root
    // every path is short, and the medium is clean.
    const TempFolder root;
    const std::string made = root.get() + "\\M";
    const std::string deep = root.get() + "\\" + std::string(249 - root.get().size() - 1, 'D');
    ASSERT_TRUE(CreateDirectoryA(made.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(made + "\\QVSETUP.INF", ""));
    ASSERT_TRUE(WriteBytes(made + "\\QVA.INF", app + "SLEEP,1\r\n"));
    ASSERT_TRUE(MoveFileA(made.c_str(), deep.c_str()));
    const CheckRun onRoot = RunQvcheck(BenchSystem() + " \"" + deep + "\"");
    EXPECT_TRUE(MoveFileA(deep.c_str(), made.c_str()));
    EXPECT_EQ(onRoot.exitCode, 0u);
    EXPECT_EQ(onRoot.lines, std::vector<std::string>{"0 error(s), 0 warning(s)"});

    // In a deep folder of the disc, a long name passes 259 bytes: qvsetup
    // passes over that file, and qvcheck says so at the file.
    const TempFolder media;
    const std::string longName = "QV" + std::string(20, 'N') + ".INF";
    ASSERT_TRUE(WriteBytes(media.get() + "\\QVSETUP.INF", ""));
    ASSERT_TRUE(WriteBytes(media.get() + "\\QVA.INF", app + "SLEEP,1\r\n"));
    ASSERT_TRUE(WriteBytes(media.get() + "\\" + longName, app + "SLEEP,1\r\n"));
    const std::string onDisc = "D:\\" + std::string(240, 'S');
    const CheckRun sub = RunQvcheck(BenchSystem() + " /disc=" + onDisc + " \"" + media.get() + "\"");
    EXPECT_EQ(sub.exitCode, 1u);
    ASSERT_EQ(sub.lines.size(), 2u);
    EXPECT_EQ(sub.lines[0].find(media.get() + "\\" + longName + ": warning: not offered: on the disc"), 0u)
        << sub.lines[0];

    // An EXPAND source of a gigabyte: its header is read, not the whole
    // file, which a 32-bit checker could not hold.
    const TempFolder big;
    ASSERT_TRUE(WriteBytes(big.get() + "\\QVSETUP.INF", ""));
    ASSERT_TRUE(WriteBytes(big.get() + "\\QVA.INF", app + "EXPAND,%CDROM%:\\BIG.TX_,C:\\BIG.TXT,DISC1\r\n"
                                                      "[CheckCdrom]\r\nDISC1=\\BIG.TX_\r\n"));
    ASSERT_TRUE(MakeSparseFile(big.get() + "\\BIG.TX_", 1u << 30));
    const CheckRun expand = RunQvcheck(BenchSystem() + " \"" + big.get() + "\"");
    EXPECT_EQ(expand.exitCode, 1u);
    ASSERT_EQ(expand.lines.size(), 2u);
    EXPECT_NE(expand.lines[0].find("is not a compressed (SZDD) file"), std::string::npos) << expand.lines[0];
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// One drive-check key for two discs: qvcheck calls it an error, and the
// run indeed never asks for disc 2, copies nothing from it and ends with
// 0; with a key of its own, disc 2 is asked for, put in and copied, and
// qvcheck finds nothing. One key for two probe files of one disc is fine.
TEST(Qvcheck, OneKeyForTwoDiscsLeavesTheSecondUnasked)
{
    const TempFolder root;
    const std::string disc1 = root.get() + "\\DISC1", disc2 = root.get() + "\\DISC2";
    const std::string out = root.get() + "\\OUT";
    for (const std::string& folder : {disc1, disc1 + "\\DATA1", disc2, disc2 + "\\DATA2"})
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const auto app = [&](const std::string& title, const std::string& key, const std::string& number) {
        return "[Version]\r\nsignature=$QVSETUP$\r\n[Strings]\r\nTITLE=" + title + "\r\n[CheckCdrom]\r\n" + key +
               "=\\HOSHI" + number + ".ID\r\n[Install]\r\nXCOPYA,%CDROM%:\\DATA" + number + "," + out +
               "\\DATA" + number + "," + key + "\r\n";
    };
    WriteBytes(disc1 + "\\QVSETUP.INF", "");
    WriteBytes(disc1 + "\\QVA.INF", app("A", "CD", "1"));
    WriteBytes(disc1 + "\\HOSHI1.ID", "1");
    WriteBytes(disc1 + "\\DATA1\\A.TXT", "a");
    WriteBytes(disc2 + "\\HOSHI2.ID", "2");
    WriteBytes(disc2 + "\\DATA2\\B.TXT", "b");
    for (const bool mended : {false, true}) {
        SCOPED_TRACE(mended ? "a key for each disc" : "one key for both");
        WriteBytes(disc1 + "\\QVB.INF", app("B", mended ? "CD2" : "CD", "2"));
        const CheckRun check = RunQvcheck("/plan /select=ALL " + BenchSystem() + " /cdrom=R \"" + disc1 + "\" \"" + disc2 + "\"");
        EXPECT_EQ(check.exitCode, mended ? 0u : 2u);
        bool unasked = false;
        for (const std::string& line : check.lines)
            unasked = unasked || line.find("is never asked for") != std::string::npos;
        EXPECT_EQ(unasked, !mended);
        ASSERT_TRUE(MapDrive('R', disc1, DRIVE_CDROM));
        AnswerFile answers({"Select=ALL", "DiscWait=30"});
        bool swapped = false;
        // Disc 2 goes in when the run asks for it, as a person would.
        const UnattendedEnd end = RunUnattended("R:\\", answers.File(), 60000, [&] {
            if (!swapped && answers.Logged("looking for R:\\HOSHI2.ID"))
                swapped = MapDrive('R', disc2, DRIVE_CDROM);
        });
        UnmapDrive('R');
        EXPECT_TRUE(end.ended && end.exitCode == 0) << end.exitCode;
        EXPECT_TRUE(Exists(out + "\\DATA1\\A.TXT"));
        EXPECT_EQ(Exists(out + "\\DATA2\\B.TXT"), mended);
        EXPECT_EQ(swapped, mended);
        RemoveTree(out);
    }
    WriteBytes(disc1 + "\\QVB.INF", "[Version]\r\nsignature=$QVSETUP$\r\n[Strings]\r\nTITLE=B\r\n[CheckCdrom]\r\n"
                                      "CD=\\DATA1\\A.TXT\r\n[Install]\r\nSLEEP,1\r\nXCOPYA,%CDROM%:\\DATA1," +
                                          out + "\\B,CD\r\n");
    const CheckRun oneDisc = RunQvcheck("/plan /select=ALL " + BenchSystem() + " /cdrom=R \"" + disc1 + "\" \"" + disc2 + "\"");
    EXPECT_EQ(oneDisc.exitCode, 0u);
    for (const std::string& line : oneDisc.lines)
        EXPECT_EQ(line.find("is never asked for"), std::string::npos) << line;
}

// An application INF saved in UTF-8: qvcheck calls it an error at its first
// Japanese line, and the selection dialog indeed shows another title than
// the author wrote; saved in CP932, it is clean and shows that title.
TEST(Qvcheck, Utf8InfIsAnErrorAsTheDialogShows)
{
    const std::string title = "\xE8\xA1\xA8\xE7\xA4\xBA\xE3\x83\x84\xE3\x83\xBC\xE3\x83\xAB";   // 表示ツール
    for (const bool utf8 : {true, false}) {
        SCOPED_TRACE(utf8 ? "UTF-8" : "CP932");
        const TempFolder media;
        const std::string end = utf8 ? "\n" : "\r\n";
        WriteBytes(media.get() + "\\QVSETUP.INF", "");
        WriteBytes(media.get() + "\\QVA.INF", "[Version]" + end + "signature=$QVSETUP$" + end + "[Strings]" + end +
                                                  "TITLE=" + (utf8 ? title : Cp932(title)) + end + "[Install]" +
                                                  end + "SLEEP,1" + end);
        const CheckRun check = RunQvcheck(BenchSystem() + " \"" + media.get() + "\"");
        EXPECT_EQ(check.exitCode, utf8 ? 2u : 0u);
        if (utf8) {
            ASSERT_EQ(check.lines.size(), 2u);
            EXPECT_NE(check.lines[0].find("QVA.INF:4:1: error: the file looks like UTF-8"), std::string::npos)
                << check.lines[0];
        }
        SetupRun run(media.get());
        const HWND dialog = run.WaitForSelectionDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(run.TitleOf(ItemRecordOf(SelectorOf(dialog), 0)) == Cp932(title), !utf8);
        PressButton(dialog, IDCANCEL);
        DWORD exitCode = 0;
        EXPECT_TRUE(run.WaitForExit(10000, &exitCode));
    }
}

// The commands a plan runs on Install: its lines that name a command,
// without the indent.
std::vector<std::string> PlannedCommands(const std::vector<std::string>& plan)
{
    const std::string indent = "    ";
    std::vector<std::string> commands;
    for (const std::string& line : plan) {
        if (line.rfind("on Cancel", 0) == 0)
            break;
        if (line.compare(0, indent.size(), indent) == 0 && line.size() > indent.size() &&
            line[indent.size()] >= 'A' && line[indent.size()] <= 'Z')
            commands.push_back(line.substr(indent.size()));
    }
    return commands;
}

// The commands a setup log records, without their drive checks.
std::vector<std::string> LoggedCommands(const std::string& path)
{
    const std::string marker = "command ";
    const std::string check = ", drive check ";
    std::vector<std::string> commands;
    for (const std::string& line : SetupLogLines(path)) {
        if (line.compare(0, marker.size(), marker) != 0)
            continue;
        std::string command = line.substr(marker.size());
        const size_t checked = command.rfind(check);
        if (checked != std::string::npos)
            command.erase(checked);
        commands.push_back(command);
    }
    return commands;
}

// The plan of the sample media names the very commands, fields and order
// that qvsetup then runs and logs.
TEST(Qvcheck, PlanIsTheRunQvsetupMakes)
{
    const std::string log = ProgramFolder() + "\\plan-run.log";
    DeleteFileA(log.c_str());
    SampleMedia sample("LOG=" + log);
    const CheckRun plan = RunQvcheck("/plan " + BenchSystem() + " /cdrom=R \"/smbios=" + sample.folder() +
                                     "\\Biospeek.dat\" \"" + sample.folder() + "\" \"" + sample.Disc2() + "\"");
    EXPECT_EQ(plan.exitCode, 0u);
    DWORD exitCode = 1;
    ASSERT_TRUE(sample.Run(&exitCode));
    const std::vector<std::string> planned = PlannedCommands(plan.lines);
    EXPECT_GE(planned.size(), 5u);
    EXPECT_EQ(planned, LoggedCommands(log));
    DeleteFileA(log.c_str());
    // The tree copies from disc 2 with the entries their walks meet: DATA's
    // 12 files with "." and "..", TOOLS' whole tree.
    std::vector<std::string> walks;
    for (const std::string& line : plan.lines) {
        if (line.find("(the copy walks ") != std::string::npos)
            walks.push_back(line.substr(0, line.find(" entries")));
    }
    EXPECT_EQ(walks, (std::vector<std::string>{"    (the copy walks 14", "    (the copy walks 88"}));
    // With RESUME=YES every command that a power cut would run twice is
    // marked, and no other.
    SampleMedia resumable("RESUME=YES");
    const CheckRun resumePlan = RunQvcheck("/plan " + BenchSystem() + " /cdrom=R \"" + resumable.folder() +
                                           "\" \"" + resumable.Disc2() + "\"");
    int marked = 0, unsafe = 0;
    for (size_t i = 0; i + 1 < resumePlan.lines.size(); ++i) {
        const std::string& line = resumePlan.lines[i];
        const bool repeats = line.rfind("    PROG ", 0) == 0 || line.rfind("    EPROG ", 0) == 0 ||
                             line.rfind("    SHELLDDE ", 0) == 0;
        unsafe += repeats ? 1 : 0;
        if (resumePlan.lines[i + 1].find("(RESUME=YES: not safe to repeat") != std::string::npos) {
            ++marked;
            EXPECT_TRUE(repeats) << line;
        }
    }
    EXPECT_GE(unsafe, 2);
    EXPECT_EQ(marked, unsafe);
}

// An answer file of unattended runs: each refused key and each name the
// media do not offer at its line; its plan is the run that qvsetup then
// makes unattended.
TEST(Qvcheck, AnswerFilesAreJudgedAndPlanned)
{
    TempFolder folder;
    const std::string wrong = folder.get() + "\\WRONG.INI", all = folder.get() + "\\ALL.INI";
    const std::string log = folder.get() + "\\RUN.LOG";
    WriteBytes(wrong, "[Unattended]\r\nSelect=QVTOOLS.INF,QVNOPE.INF\r\nDiscWait=20\r\nRestart=maybe\r\n");
    WriteBytes(all, "[Unattended]\r\nSelect=ALL\r\nLog=" + log + "\r\n");
    SampleMedia sample;
    const std::string media = " \"/smbios=" + sample.folder() + "\\Biospeek.dat\" \"" + sample.folder() + "\" \"" +
                              sample.Disc2() + "\"";
    const CheckRun judged = RunQvcheck("/answers \"" + wrong + "\"" + media);
    EXPECT_EQ(judged.exitCode, 2u);
    std::vector<std::string> findings;
    for (const std::string& line : judged.lines) {
        if (line.rfind(wrong, 0) == 0)
            findings.push_back(line.substr(wrong.size()));
    }
    const std::string nothingRuns = ": an unattended run ends at once with exit code 6, and nothing runs";
    EXPECT_EQ(findings,
              (std::vector<std::string>{":2:8: error: Select names QVNOPE.INF, which the media do not offer" +
                                            nothingRuns,
                                        ":4:9: error: Restart=maybe: value outside the key's set" + nothingRuns}));

    const auto planSays = [](const CheckRun& run, const std::string& text) {
        for (const std::string& line : run.lines) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    };
    // A plan of answers qvsetup refuses, or of media it can't load, stops
    // with the code such a run ends with; a media's failure to load is no
    // reason to call Select's names not offered.
    const CheckRun refused = RunQvcheck("/plan /answers \"" + wrong + "\"" + media);
    EXPECT_TRUE(planSays(refused, "qvsetup refuses them and ends at once with exit code 6"));
    EXPECT_FALSE(planSays(refused, "on Install:"));
    TempFolder broken;
    WriteBytes(broken.get() + "\\QVSETUP.INF", "[DefaultInstall]\r\nBOGUS,1\r\n");
    const std::string named = folder.get() + "\\NAMED.INI";
    WriteBytes(named, "[Unattended]\r\nSelect=QVA.INF\r\n");
    const CheckRun unloaded = RunQvcheck("/plan /answers \"" + named + "\" \"" + broken.get() + "\"");
    EXPECT_TRUE(planSays(unloaded, "an unattended run ends there with exit code 2"));
    EXPECT_FALSE(planSays(unloaded, "which the media do not offer"));

    // /select takes what Select takes: ALL plans every application offered;
    // a name the media do not offer is an error.
    const CheckRun everything = RunQvcheck("/plan /select=all " + BenchSystem() + media);
    EXPECT_EQ(everything.exitCode, 0u);
    int offered = 0;
    for (const std::string& line : everything.lines)
        offered += line.rfind("  ", 0) == 0 && line[2] != ' ' && line.find(".INF)") != std::string::npos ? 1 : 0;
    EXPECT_EQ(offered, 5);
    const CheckRun typo = RunQvcheck("/plan /select=QVMANUL.INF " + BenchSystem() + media);
    EXPECT_EQ(typo.exitCode, 2u);
    EXPECT_TRUE(planSays(typo, ": error: /select names QVMANUL.INF, which the media do not offer"));

    const CheckRun plan = RunQvcheck("/plan " + BenchSystem() + " /cdrom=R /answers=\"" + all + "\"" + media);
    EXPECT_EQ(plan.exitCode, 0u);
    EXPECT_TRUE(planSays(plan, "(unattended: the run ends with exit code 5 if it still waits after 3600 s, "
                               "ProgTimeout)"));
    ASSERT_TRUE(MapDrive('R', sample.Disc2(), DRIVE_CDROM));
    const UnattendedEnd end = RunUnattended(sample.folder(), all, 60000, {}, sample.folder() + "\\QVSETUP.EXE");
    UnmapDrive('R');
    EXPECT_TRUE(end.ended && end.exitCode == 0) << end.exitCode;
    const std::vector<std::string> planned = PlannedCommands(plan.lines);
    EXPECT_GE(planned.size(), 6u);
    EXPECT_EQ(planned, LoggedCommands(log));
    RemoveTree("C:\\Program Files\\QVSAMPLE");
}

// MODEL in the plan and the answers: /smbios names the model; the plan
// says what it is offered and runs it as qvsetup then does there (no model
// read where the media can't run typescan); a Select that names an
// application another model's is a warning; a file that holds no table is
// wrong usage.
TEST(Qvcheck, PlansAndAnswersByModel)
{
    TempFolder folder;
    const std::string server = folder.get() + "\\SERVER.DAT", named = folder.get() + "\\NAMED.INI";
    const std::string log = folder.get() + "\\RUN.LOG";
    WriteBytes(server, TableNaming("PowerEdge R630"));
    WriteBytes(named, "[Unattended]\r\nSelect=QVSERVER.INF,QVTOOLS.INF\r\n");
    SampleMedia sample("LOG=" + log);
    const std::string media = " \"" + sample.folder() + "\" \"" + sample.Disc2() + "\"";
    const std::string onVirtual = " \"/smbios=" + sample.folder() + "\\Biospeek.dat\"";
    const auto says = [](const CheckRun& run, const std::string& text) {
        return std::any_of(run.lines.begin(), run.lines.end(),
                           [&text](const std::string& line) { return line.find(text) != std::string::npos; });
    };

    // A table on the media is the one every PC's driver reads first: it is
    // judged, not the dump.
    const CheckRun mediaTable = RunQvcheck("/plan \"/smbios=" + server + "\"" + media);
    EXPECT_TRUE(says(mediaTable, ": another model (Type1=Virtual Machine) (from the media's Biospeek.dat"));
    EXPECT_TRUE(says(mediaTable, "on the model of the media's Biospeek.dat:"));

    // The model that matches: the tool is offered, and the plan is the run.
    ASSERT_TRUE(CopyFileA(server.c_str(), (sample.folder() + "\\Biospeek.dat").c_str(), FALSE));
    const CheckRun plan = RunQvcheck("/plan " + BenchSystem() + " /cdrom=R \"/smbios=" + server + "\"" + media);
    EXPECT_EQ(plan.exitCode, 0u);
    EXPECT_TRUE(says(plan, "  MODEL \"/mode=0 /N=Po,SY,H8\": this model matches (Type1=PowerEdge R630)"));
    EXPECT_TRUE(says(plan, "  not offered: none"));
    DWORD exitCode = 1;
    ASSERT_TRUE(sample.Run(&exitCode));
    const std::vector<std::string> planned = PlannedCommands(plan.lines);
    EXPECT_TRUE(std::any_of(planned.begin(), planned.end(),
                            [](const std::string& c) { return c.find("server tools installed") != std::string::npos; }));
    EXPECT_EQ(planned, LoggedCommands(log));
    RemoveTree("C:\\Program Files\\QVSAMPLE");

    // Another model: not offered; an answer file that names it is warned.
    WriteBytes(sample.folder() + "\\Biospeek.dat", TableNaming("Virtual Machine"));
    const CheckRun other = RunQvcheck("/plan /answers \"" + named + "\"" + onVirtual + media);
    EXPECT_EQ(other.exitCode, 1u);
    EXPECT_TRUE(says(other, named + ":2:8: warning: Select names QVSERVER.INF, which its MODEL does not offer on "
                                    "the model of the media's Biospeek.dat: it is not run there (Status=not offered)"));
    EXPECT_TRUE(says(other, "  not offered: QVSERVER.INF"));
    EXPECT_FALSE(says(other, "server tools installed"));
    EXPECT_EQ(RunQvcheck("/answers \"" + named + "\"" + media).exitCode, 0u) << "no model: no warning";

    // A model whose string can't be read: offered unchecked, left out of ALL.
    const std::string inf = sample.folder() + "\\QVSERVER.INF";
    std::string text = ReadBytes(inf);
    text.replace(text.find("/mode=0 /N=Po,SY,H8"), 19, "/mode=1,0 /INC=Dell");
    WriteBytes(inf, text);
    const CheckRun unread = RunQvcheck("/plan /select=ALL" + onVirtual + media);
    EXPECT_TRUE(says(unread, "  offered unchecked, the model could not be read: QVSERVER.INF"));
    EXPECT_FALSE(says(unread, "server tools installed"));

    // Where typescan can't run, no model is read, a server's neither: on
    // Windows 98 (no device of that family on the media), for a user who
    // can't load the driver, or without typescan; the check says so even
    // without a model, and the plan is the run.
    text.replace(text.find("/mode=1,0 /INC=Dell"), 19, "/mode=0 /N=Po,SY,H8");
    WriteBytes(inf, text);
    const CheckRun on98 = RunQvcheck("/plan /os=98 \"/smbios=" + server + "\"" + media);
    EXPECT_TRUE(says(on98, "the model could not be read: the media folder has no vzorvdmid.vxd for typescan"));
    const CheckRun user = RunQvcheck("/plan /user \"/smbios=" + server + "\"" + media);
    EXPECT_TRUE(says(user, "the model could not be read: the user is no administrator"));
    DeleteFileA((sample.folder() + "\\TYPESCAN.EXE").c_str());
    const CheckRun unreadable = RunQvcheck(BenchSystem() + media);
    EXPECT_EQ(unreadable.exitCode, 1u);
    EXPECT_TRUE(says(unreadable, "QVSERVER.INF:4:7: warning: no model can be read on this system, the media folder "
                                 "has no TYPESCAN.EXE for typescan"));
    const CheckRun noTypescan = RunQvcheck("/plan " + BenchSystem() + " /cdrom=R /smbios \"" + server + "\"" + media);
    EXPECT_TRUE(says(noTypescan, "the model could not be read: the media folder has no TYPESCAN.EXE for typescan"));
    EXPECT_TRUE(says(noTypescan, "  offered unchecked, the model could not be read: QVSERVER.INF"));
    DeleteFileA(log.c_str());
    ASSERT_TRUE(sample.Run(&exitCode));
    EXPECT_EQ(PlannedCommands(noTypescan.lines), LoggedCommands(log));
    RemoveTree("C:\\Program Files\\QVSAMPLE");

    const CheckRun noTable = RunQvcheck("/plan \"/smbios=" + named + "\"" + media);
    EXPECT_EQ(noTable.exitCode, 3u);
    EXPECT_TRUE(says(noTable, "holds no SMBIOS table that names a machine"));
}

} // namespace
