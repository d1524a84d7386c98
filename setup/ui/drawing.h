// Small drawing helpers shared by the selector and the background.
#pragma once

#include <windows.h>

// A rectangle filled with one colour and outlined, 1 pixel, with another;
// the brush and pen are made and deleted here.
void DrawFilledRectangle(HDC dc, const RECT& r, COLORREF fill, COLORREF outline);
