// The painted background of the real qvsetup.exe, read back pixel by pixel
// from the screen: the teal surface, BACKGROUND_MSG and the BITMAP picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "common/byte_order.h"
#include "tests/kit/bench.h"
#include "tests/kit/qvcheck_run.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

const COLORREF Teal = RGB(0, 128, 128);
const COLORREF Red = RGB(255, 0, 0);

class Background : public testing::Test {
protected:
    // Starts the program with these settings and waits until its background
    // has been painted; `arguments` names the media folder, and `folder`
    // is the one it starts in (default: the test's).
    void Start(const std::string& config, const std::string& arguments = std::string(),
               const std::string& folder = std::string())
    {
        media_.Write("QVSETUP.INF", {"[QvSetupConfig]", config});
        media_.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,1"}, {}, ""});
        run_.reset(new SetupRun(arguments.empty() ? media_.folder() : arguments, std::string(), folder));
        dialog_ = run_->WaitForSelectionDialog();
        ASSERT_NE(dialog_, nullptr);
        background_ = run_->BackgroundWindow();
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(background_) != FALSE; }, 5000));
        ASSERT_TRUE(WaitUntil([&] { return Pixel(600, 700) == Teal; }, 5000));
        Sleep(200);
    }

    void TearDown() override
    {
        if (dialog_)
            PressButton(dialog_, IDCANCEL);
        DWORD exitCode = 0;
        if (run_)
            run_->WaitForExit(10000, &exitCode);
    }

    // The screen's colour at a client point of the background window.
    COLORREF Pixel(int x, int y) const
    {
        POINT point = {x, y};
        ClientToScreen(background_, &point);
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, point.x, point.y);
        ReleaseDC(nullptr, screen);
        return colour;
    }

    // How many pixels of a client rectangle have the window colour (white).
    int LightPixels(int left, int top, int right, int bottom) const
    {
        POINT origin = {0, 0};
        ClientToScreen(background_, &origin);
        HDC screen = GetDC(nullptr);
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; x += 2)
                count += GetPixel(screen, origin.x + x, origin.y + y) == GetSysColor(COLOR_WINDOW);
        ReleaseDC(nullptr, screen);
        return count;
    }

    MediaFolder media_;
    std::unique_ptr<SetupRun> run_;
    HWND dialog_ = nullptr;
    HWND background_ = nullptr;
};

TEST_F(Background, PictureSitsInTheTopRightCorner)
{
    for (const int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        WriteBytes(media_.Path("LOGO.BMP"), SolidBmp(bits, 100, 50));
        Start("BITMAP=" + media_.Path("LOGO.BMP"));
        RECT client;
        GetClientRect(background_, &client);
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        const int left = screenWidth - 100;
        const int right = client.right - 1; // columns beyond the client are not seen
        EXPECT_EQ(Pixel(left, 0), Red);
        EXPECT_EQ(Pixel(right, 0), Red);
        EXPECT_EQ(Pixel(left, 49), Red);
        EXPECT_EQ(Pixel(right, 49), Red);
        EXPECT_EQ(Pixel(left - 1, 10), Teal);
        EXPECT_EQ(Pixel(left + 10, 50), Teal);
        TearDown();
    }
}

TEST_F(Background, UnusablePicturesShowNone)
{
    WriteBytes(media_.Path("DEEP.BMP"), SolidBmp(24, 100, 50));
    std::string shortFile = SolidBmp(8, 100, 50);
    shortFile.resize(shortFile.size() - 1);
    WriteBytes(media_.Path("SHORT.BMP"), shortFile);
    std::string negative = SolidBmp(8, 10, 10);
    SetUi32(reinterpret_cast<uint8_t*>(&negative[22]), static_cast<uint32_t>(-10));
    WriteBytes(media_.Path("NEG.BMP"), negative);
    for (const char* name : {"DEEP.BMP", "SHORT.BMP", "NEG.BMP", "MISSING.BMP"}) {
        SCOPED_TRACE(name);
        Start(std::string("BITMAP=") + media_.Path(name));
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        EXPECT_EQ(Pixel(screenWidth - 50, 5), Teal);
        EXPECT_EQ(run_->WaitForMessageBox(100), nullptr);
        TearDown();
    }
}

// BITMAP as a disc's autorun meets it: qvsetup starts in the disc's root,
// where a name without a drive is found, and so is a full path on the
// CD-ROM drive; qvcheck, told the drive, agrees. With the media a folder
// below the disc's root, the same name finds nothing, and qvcheck says so.
TEST_F(Background, PictureNamesAreReadAsFromTheDisc)
{
    WriteBytes(media_.Path("LOGO.BMP"), SolidBmp(8, 100, 50));
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const std::string folder = media_.folder();
    const std::string parent = folder.substr(0, folder.rfind('\\'));
    const std::string below = "R:" + folder.substr(parent.size()), root = "R:\\";
    struct Case {
        std::string bitmap;
        std::string root;   // the folder in CD-ROM drive R
        std::string media;  // where the media stand on it
    };
    for (const Case& c : {Case{"LOGO.BMP", folder, root}, Case{"R:\\LOGO.BMP", folder, root},
                          Case{"LOGO.BMP", parent, below}}) {
        SCOPED_TRACE(c.bitmap + " on " + c.media);
        ASSERT_TRUE(MapDrive('R', c.root, DRIVE_CDROM));
        const bool shown = c.media == root;
        Start("BITMAP=" + c.bitmap, c.media, root);
        // (On the root, the disc is where qvcheck places the media by default.)
        const std::string disc = shown ? "" : " \"/disc=" + c.media + "\"";
        const CheckRun check = RunQvcheck(BenchSystem() + " /cdrom=R" + disc + " \"" + folder + "\"");
        EXPECT_EQ(Pixel(screenWidth - 50, 5), shown ? Red : Teal);
        TearDown();
        UnmapDrive('R');
        EXPECT_EQ(check.exitCode, shown ? 0u : 1u);
        if (!shown) {
            ASSERT_EQ(check.lines.size(), 2u);
            EXPECT_NE(check.lines[0].find("QVSETUP.INF:2:8: warning: the picture \"LOGO.BMP\" can't be read"),
                      std::string::npos)
                << check.lines[0];
        }
    }
}

TEST_F(Background, MessageTakesOneLinePerLineFeed)
{
    Start("BACKGROUND_MSG=ｻﾝﾌﾟﾙ表示");
    const int fontHeight = 29; // 22 points at 96 pixels per inch
    EXPECT_GT(LightPixels(0, 0, 300, fontHeight), 50);
    EXPECT_EQ(LightPixels(0, fontHeight + 2, 300, 2 * fontHeight), 0);
    EXPECT_EQ(Pixel(0, 0), Teal);
    TearDown();

    Start("BACKGROUND_MSG=ｻﾝﾌﾟﾙ\\n表示");
    EXPECT_GT(LightPixels(0, 0, 300, fontHeight), 50);
    EXPECT_GT(LightPixels(0, fontHeight + 2, 300, 2 * fontHeight), 20);
}

} // namespace
