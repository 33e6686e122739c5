#pragma once

#include "editor/TextEntry.h"

class FontRenderer;
class RasterBitmap;

// Draws the text-entry popup as the view shows it into a bitmap of the popup's size: a white box
// with the text centred at its top (highlighted while all of it is selected, with a caret while
// focused), or for a list the current choice over the rows of items.
void DrawTextEntryPopup(const TextEntryView& view, RasterBitmap* into, FontRenderer* font);
