// Small drawing helpers shared by the selector and the background.
#include "setup/ui/drawing.h"

#include "common/owners.h"

void DrawFilledRectangle(HDC dc, const RECT& r, COLORREF fill, COLORREF outline)
{
    const GdiObject brush(CreateSolidBrush(fill));
    const GdiObject pen(CreatePen(PS_SOLID, 1, outline));
    const SelectedObject brushIn(dc, brush.get());
    const SelectedObject penIn(dc, pen.get());
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}
