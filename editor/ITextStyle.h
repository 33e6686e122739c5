#pragma once

#include "editor/IRgba.h"

// How DrawTextInRect sets a text.
struct ITextStyle {
    enum Style : int { Normal = 0, Bold = 1, Italic = 2 };
    enum Align : int { Left = 0, Centre = 1, Right = 2 };

    char font[32] = "Arial";
    int size = 14; // pixels
    IRgba colour;
    int style = Normal;
    int align = Left;
    int orientation = 0; // degrees
};
