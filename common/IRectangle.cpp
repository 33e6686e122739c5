#include "common/IRectangle.h"

#include <algorithm>

bool IRectangle::Contains(int x, int y) const {
    return !Empty() && x >= left && x < right && y >= top && y < bottom;
}

// Touching edges count as overlap on the right and bottom sides, so a rectangle that ends
// exactly where another starts is still redrawn with it.
bool IRectangle::Overlaps(const IRectangle& o) const {
    return !Empty() && !o.Empty() && right >= o.left && left < o.right && bottom >= o.top &&
           top < o.bottom;
}

IRectangle IRectangle::Union(const IRectangle& o) const {
    if (Empty()) {
        return o;
    }
    if (o.Empty()) {
        return *this;
    }
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
}

IRectangle IRectangle::Intersection(const IRectangle& o) const {
    if (!Overlaps(o)) {
        return {};
    }
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
}
