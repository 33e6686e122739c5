#pragma once

class RasterBitmap;

// An image as the editor passes it around. The bitmap belongs to the image cache; frames are
// stacked vertically, each width x (height / frames) pixels.
struct IBitmapRef {
    RasterBitmap* bitmap = nullptr;
    int width = 0;
    int height = 0;
    int frames = 1;

    int FrameHeight() const { return frames > 0 ? height / frames : height; }
};
