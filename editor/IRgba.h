#pragma once

// A colour as the editor hands it around; each channel 0..255.
struct IRgba {
    int alpha = 255;
    int red = 0;
    int green = 0;
    int blue = 0;

    IRgba() = default;
    IRgba(int a, int r, int g, int b) : alpha(a), red(r), green(g), blue(b) {}

    bool operator==(const IRgba& o) const {
        return alpha == o.alpha && red == o.red && green == o.green && blue == o.blue;
    }
    bool operator!=(const IRgba& o) const { return !(*this == o); }
};
