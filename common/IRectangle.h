#pragma once

// A rectangle in editor pixels, origin top left; right and bottom are exclusive.
struct IRectangle {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    IRectangle() = default;
    IRectangle(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    bool Empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const;
    bool Overlaps(const IRectangle& other) const;
    IRectangle Union(const IRectangle& other) const;
    IRectangle Intersection(const IRectangle& other) const;

    bool operator==(const IRectangle& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const IRectangle& o) const { return !(*this == o); }
};
