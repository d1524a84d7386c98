// Where the check squares of the check list lie.
#pragma once

struct CheckBoxRect {
    int left;
    int top;
    int right;
    int bottom;
};

// The check square of the row `index` places below the top visible row:
// 3 pixels inside the row's top-left corner, rowHeight - 6 pixels wide.
CheckBoxRect CheckBoxOfRow(int rowHeight, int index);

// The item whose check square holds the point (left and top edges inside,
// right and bottom outside), or -1. Rows run from `topIndex` to count - 1.
int CheckBoxItemAt(int rowHeight, int topIndex, int count, int x, int y, CheckBoxRect* box);
