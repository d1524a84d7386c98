// The resources of qvsetup.exe as built: the check-mark bitmap pixel by
// pixel, and the dialogs' texts in CP932.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/kit/setup_run.h"

namespace {

class Resources : public testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryExA(BuildProgram("qvsetup.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override { FreeLibrary(module_); }
    HMODULE module_ = nullptr;
};

TEST_F(Resources, CheckmarkHoldsExactlyTheMark)
{
    const std::set<std::pair<int, int>> black = {
        {3, 10}, {4, 9}, {4, 10}, {5, 8}, {5, 9}, {5, 10}, {6, 3}, {6, 7}, {6, 8}, {6, 9},
        {7, 3},  {7, 4}, {7, 6},  {7, 7}, {7, 8}, {8, 3},  {8, 4}, {8, 5}, {8, 6}, {8, 7},
        {9, 4},  {9, 5}, {9, 6},  {10, 5}};
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(103), MAKEINTRESOURCEA(2)); // RT_BITMAP
    ASSERT_NE(found, nullptr);
    const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module_, found)));
    ASSERT_EQ(info->biWidth, 14);
    ASSERT_EQ(info->biHeight, 14);
    ASSERT_EQ(info->biBitCount, 4);
    const auto* palette = reinterpret_cast<const RGBQUAD*>(info + 1);
    const auto* bits = reinterpret_cast<const BYTE*>(palette + 16);
    const int rowBytes = 8; // 14 pixels of 4 bits, padded to 32 bits
    for (int row = 0; row < 14; ++row) {
        for (int column = 0; column < 14; ++column) {
            const BYTE pair = bits[(13 - row) * rowBytes + column / 2];
            const RGBQUAD colour = palette[column % 2 ? pair & 0x0F : pair >> 4];
            const bool isBlack = colour.rgbRed == 0 && colour.rgbGreen == 0 && colour.rgbBlue == 0;
            const bool isWhite =
                colour.rgbRed == 255 && colour.rgbGreen == 255 && colour.rgbBlue == 255;
            const bool expectBlack = black.count({row, column}) != 0;
            EXPECT_EQ(isBlack, expectBlack) << row << "," << column;
            EXPECT_EQ(isWhite, !expectBlack) << row << "," << column;
        }
    }
    // The standard 16-colour palette: maroon, teal and silver in their places.
    EXPECT_EQ(palette[1].rgbRed, 128);
    EXPECT_EQ(palette[1].rgbBlue, 0);
    EXPECT_EQ(palette[6].rgbGreen, 128);
    EXPECT_EQ(palette[6].rgbBlue, 128);
    EXPECT_EQ(palette[7].rgbRed, 192);
}

INT_PTR CALLBACK CloseAtOnce(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG)
        PostMessageA(dialog, WM_APP, 0, 0);
    if (message == WM_APP) {
        char text[128];
        const struct {
            int id;
            const char* text;
        } controls[] = {{1002, "ｲﾝｽﾄｰﾙ(&I)"},
                        {2, "ｷｬﾝｾﾙ"},
                        {1008, "ｲﾝｽﾄｰﾙするｱﾌﾟﾘｹｰｼｮﾝを選択してください."},
                        {1001, "説明"},
                        {1000, ""}};
        GetWindowTextA(dialog, text, sizeof text);
        EXPECT_STREQ(text, "SETUP");
        for (const auto& control : controls) {
            GetDlgItemTextA(dialog, control.id, text, sizeof text);
            EXPECT_STREQ(text, control.text) << control.id;
        }
        EndDialog(dialog, 1);
    }
    return FALSE;
}

TEST_F(Resources, SelectionDialogTemplateTexts)
{
    EXPECT_EQ(DialogBoxParamA(module_, MAKEINTRESOURCEA(102), nullptr,
                              CloseAtOnce, 0),
              1);
    EXPECT_NE(FindResourceA(module_, MAKEINTRESOURCEA(108), MAKEINTRESOURCEA(5)), nullptr);
    EXPECT_NE(LoadIconA(module_, MAKEINTRESOURCEA(101)), nullptr);
}

} // namespace
