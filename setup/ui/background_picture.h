// The background window's picture and its painting: a teal surface, the
// BACKGROUND_MSG text and the BITMAP picture in the top-right corner.
#pragma once

#include <windows.h>

#include <cstdint>

struct BackgroundPicture {
    HBITMAP bitmap;
    HPALETTE palette;
    int32_t width;
    int32_t height;
};

// Loads a BMP of at most 8 bits per pixel; true when `picture` ends with
// both a bitmap and a palette. Any file it can't use means no picture: the
// record is left all null.
bool LoadBackgroundPicture(HWND window, const char* path, BackgroundPicture* picture);

// Deletes the bitmap and palette of a loaded picture.
void DeleteBackgroundPicture(BackgroundPicture* picture);

// Composes the whole screen-size surface of `window` off screen (the
// `message` of BACKGROUND_MSG, and `picture` unless it is null) and copies
// it to `dc` in one transfer.
void PaintBackground(HWND window, HDC dc, const char* message, const BackgroundPicture* picture);
