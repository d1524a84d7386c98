// Where the check squares of the check list lie.
#include "setup/ui/check_list_geometry.h"

CheckBoxRect CheckBoxOfRow(int rowHeight, int index)
{
    const int offset = index * rowHeight;
    return CheckBoxRect{3, 3 + offset, rowHeight - 3, rowHeight - 3 + offset};
}

int CheckBoxItemAt(int rowHeight, int topIndex, int count, int x, int y, CheckBoxRect* box)
{
    if (rowHeight <= 0)
        return -1;
    for (int item = topIndex; item < count; ++item) {
        const CheckBoxRect r = CheckBoxOfRow(rowHeight, item - topIndex);
        if (r.top > y)
            break;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
            *box = r;
            return item;
        }
    }
    return -1;
}
