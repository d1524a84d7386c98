// The sample media from their disc images, as a maker ships them: disc 1
// in a CD-ROM drive, qvsetup started from it, disc 2 asked for and put in
// the same drive, and what was installed checked on disk. The images come
// mounted from tests/discs/disc_test.sh (QV_DISC1, QV_DISC2); with QV_SHOTS
// the windows of the run are saved as screenshots.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/run_follower.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

constexpr char Drive = 'R';
constexpr DWORD PaintMs = 500;      // a new window has painted itself by then
constexpr DWORD CopyPaintMs = 150;  // the copy goes on meanwhile
const std::string Installed = "C:\\Program Files\\QVSAMPLE";

std::string Environment(const char* name)
{
    const char* value = getenv(name);
    return value ? value : "";
}

TEST(Discs, SecondDiscIsAskedForAndCopiedFrom)
{
    const std::string disc1 = Environment("QV_DISC1"), disc2 = Environment("QV_DISC2");
    ASSERT_FALSE(disc1.empty() || disc2.empty()) << "run through tests/discs/disc_test.sh";
    RemoveTree(Installed);
    ASSERT_TRUE(MapDrive(Drive, disc1, DRIVE_CDROM));
    const std::string root = std::string(1, Drive) + ":\\";
    // On the disc every file is read-only, as Windows sees a CD.
    EXPECT_TRUE(GetFileAttributesA((root + "QVSETUP.INF").c_str()) & FILE_ATTRIBUTE_READONLY);

    WindowPictures shots(Environment("QV_SHOTS"));
    SetupRun run("", root + "QVSETUP.EXE", root);
    ASSERT_NE(run.StartInstall(60000), nullptr);

    int prompts = 0;
    RunHooks hooks;
    hooks.onBox = [&](HWND box, const MessageBoxText& text) {
        if (text.caption != "QVSETUP") {
            shots.Take("message-over-background", nullptr, PaintMs);
            return IDOK;
        }
        EXPECT_EQ(text.text, "ｻﾝﾌﾟﾙ ﾃﾞｨｽｸ 2 を入れて [再試行] を押してください.");
        shots.Take("disc-prompt", box, PaintMs);
        // Retry with disc 1 still in: the prompt comes back. Then disc 2
        // goes into the same drive.
        if (++prompts == 2) {
            EXPECT_TRUE(MapDrive(Drive, disc2, DRIVE_CDROM));
        }
        return IDRETRY;
    };
    hooks.onCopy = [&](HWND copy) { shots.Take("copy-progress", copy, CopyPaintMs); };
    hooks.onNotice = [&](HWND notice) { shots.Take("notice", notice, PaintMs); };
    DWORD exitCode = 1;
    EXPECT_TRUE(FollowRun(run, hooks, 120000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(prompts, 2);
    UnmapDrive(Drive);

    // COPY, XCOPY and XCOPYA from the disc: the copies keep the read-only
    // attribute their sources have on it.
    EXPECT_EQ(ReadBytes(Installed + "\\DATA\\DATA07.TXT"), "sample data 07\r\n");
    EXPECT_EQ(ReadBytes(Installed + "\\TOOLS\\DOC\\PAGE40.TXT"), "sample page 40\r\n");
    const std::vector<std::string> attributes = FileTree(Installed);
    EXPECT_EQ(attributes.size(), 1u + 12u + 80u);
    for (const std::string& line : attributes)
        EXPECT_EQ(line.substr(line.size() - 3), ": R") << line;
    RemoveTree(Installed);
}

} // namespace
