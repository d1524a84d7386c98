// The background window's picture and its painting.
#include "setup/ui/background_picture.h"

#include "common/owners.h"
#include "setup/core/bmp_header.h"
#include "setup/core/inf_parser.h"
#include "setup/core/memory.h"
#include "setup/ui/drawing.h"

namespace {

const COLORREF SurfaceColour = RGB(0, 128, 128);
constexpr int MessagePoints = 22;
constexpr int PointsPerInch = 72;
constexpr WORD PaletteVersion = 0x300;


HPALETTE CreatePicturePalette(const RGBQUAD* table, uint32_t colours)
{
    auto* logical = static_cast<LOGPALETTE*>(
        AllocZeroed(sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY)));
    if (!logical)
        return nullptr;
    logical->palVersion = PaletteVersion;
    logical->palNumEntries = static_cast<WORD>(colours);
    for (uint32_t i = 0; i < colours; ++i)
        logical->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    HPALETTE palette = CreatePalette(logical);
    FreeZeroed(logical);
    return palette;
}

// The BACKGROUND_MSG font: bold italic, 22 points, Shift-JIS.
HFONT CreateMessageFont(HDC dc)
{
    const int height = GetDeviceCaps(dc, LOGPIXELSY) * MessagePoints / PointsPerInch;
    return CreateFontA(height, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, SHIFTJIS_CHARSET, 0, 0, 0,
                       FF_MODERN | DEFAULT_PITCH, nullptr);
}

void DrawMessage(HWND window, HDC dc, const char* message)
{
    const GdiObject font(CreateMessageFont(dc));
    const SelectedObject fontIn(dc, font.get());
    SetTextColor(dc, GetSysColor(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    RECT client;
    GetClientRect(window, &client);
    DrawTextA(dc, message, -1, &client, 0);
}

void DrawPicture(HDC composition, HDC pictureDc, int screenWidth, const BackgroundPicture& picture)
{
    HGDIOBJ oldBitmap = SelectObject(pictureDc, picture.bitmap);
    HPALETTE oldPalette = SelectPalette(pictureDc, picture.palette, TRUE);
    RealizePalette(pictureDc);
    BitBlt(composition, screenWidth - picture.width, 0, picture.width, picture.height, pictureDc, 0,
           0, SRCCOPY);
    SelectPalette(pictureDc, oldPalette, TRUE);
    SelectObject(pictureDc, oldBitmap);
}

} // namespace

bool LoadBackgroundPicture(HWND window, const char* path, BackgroundPicture* picture)
{
    *picture = BackgroundPicture{};
    FileBytes file = {};
    LoadProblem problem = LoadProblem::None;
    if (!ReadFileBytes(path, &file, &problem))
        return false;
    const auto* data = reinterpret_cast<const uint8_t*>(file.bytes);
    BmpLayout layout;
    if (CheckBmp(data, file.size, &layout)) {
        const auto* info = reinterpret_cast<const BITMAPINFO*>(data + BmpInfoOffset);
        const WindowDc dc(window);
        picture->bitmap = CreateDIBitmap(dc.get(), &info->bmiHeader, CBM_INIT,
                                         data + layout.pixelOffset, info, DIB_RGB_COLORS);
        picture->width = layout.width;
        picture->height = layout.height;
        picture->palette = CreatePicturePalette(
            reinterpret_cast<const RGBQUAD*>(data + BmpColourTableOffset), layout.colours);
    }
    FreeFileBytes(&file);
    if (picture->bitmap && picture->palette)
        return true;
    // Half a picture is no picture: nothing is kept that no one would delete.
    DeleteBackgroundPicture(picture);
    return false;
}

void DeleteBackgroundPicture(BackgroundPicture* picture)
{
    if (picture->bitmap)
        DeleteObject(picture->bitmap);
    if (picture->palette)
        DeleteObject(picture->palette);
    *picture = BackgroundPicture{};
}

void PaintBackground(HWND window, HDC dc, const char* message, const BackgroundPicture* picture)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const MemoryDc composition(CreateCompatibleDC(dc));
    const MemoryDc pictureDc(CreateCompatibleDC(dc));
    const GdiObject surface(CreateCompatibleBitmap(dc, width, height));
    const SelectedObject surfaceIn(composition.get(), surface.get());

    DrawFilledRectangle(composition.get(), RECT{0, 0, width, height}, SurfaceColour, SurfaceColour);
    DrawMessage(window, composition.get(), message);
    if (picture)
        DrawPicture(composition.get(), pictureDc.get(), width, *picture);
    BitBlt(dc, 0, 0, width, height, composition.get(), 0, 0, SRCCOPY);
}
