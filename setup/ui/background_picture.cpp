// The background window's picture and its painting.
#include "setup/ui/background_picture.h"

#include "setup/core/memory.h"
#include "setup/core/setup_state.h"
#include "setup/core/bmp_header.h"
#include "setup/ui/drawing.h"

namespace {

const COLORREF SurfaceColour = RGB(0, 128, 128);
constexpr int MessagePoints = 22;
constexpr int PointsPerInch = 72;
constexpr WORD PaletteVersion = 0x300;

// The whole file in a zero-filled block that the caller frees; null when it
// can't be opened (exclusively, existing only) or read.
uint8_t* ReadWholeFile(const char* path, DWORD* size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    DWORD high = 0;
    *size = GetFileSize(file, &high);
    uint8_t* data = nullptr;
    if (*size != INVALID_FILE_SIZE && high == 0 && *size > 0)
        data = static_cast<uint8_t*>(AllocZeroed(*size));
    DWORD read = 0;
    if (data && (!ReadFile(file, data, *size, &read, nullptr) || read != *size)) {
        FreeZeroed(data);
        data = nullptr;
    }
    CloseHandle(file);
    return data;
}

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

void DrawMessage(HWND window, HDC dc)
{
    HFONT font = CreateMessageFont(dc);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, GetSysColor(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    RECT client;
    GetClientRect(window, &client);
    DrawTextA(dc, g_setup.config.backgroundMsg, -1, &client, 0);
    SelectObject(dc, oldFont);
    DeleteObject(font);
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
    DWORD size = 0;
    uint8_t* data = ReadWholeFile(path, &size);
    if (!data)
        return false;
    BmpLayout layout;
    if (CheckBmp(data, size, &layout)) {
        const auto* info = reinterpret_cast<const BITMAPINFO*>(data + BmpInfoOffset);
        HDC dc = GetDC(window);
        picture->bitmap = CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, data + layout.pixelOffset,
                                         info, DIB_RGB_COLORS);
        picture->width = layout.width;
        picture->height = layout.height;
        picture->palette = CreatePicturePalette(
            reinterpret_cast<const RGBQUAD*>(data + BmpColourTableOffset), layout.colours);
        ReleaseDC(window, dc);
    }
    FreeZeroed(data);
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

void PaintBackground(HWND window, HDC dc, const BackgroundPicture* picture)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC composition = CreateCompatibleDC(dc);
    HDC pictureDc = CreateCompatibleDC(dc);
    HBITMAP surface = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ oldSurface = SelectObject(composition, surface);

    DrawFilledRectangle(composition, RECT{0, 0, width, height}, SurfaceColour, SurfaceColour);
    DrawMessage(window, composition);
    if (picture)
        DrawPicture(composition, pictureDc, width, *picture);
    BitBlt(dc, 0, 0, width, height, composition, 0, 0, SRCCOPY);

    SelectObject(composition, oldSurface);
    DeleteObject(surface);
    DeleteDC(pictureDc);
    DeleteDC(composition);
}
