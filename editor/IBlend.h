#pragma once

// How a bitmap or a shape is combined with the surface. A missing blend (a null pointer where
// one is taken) means BlendNone at weight 1.0.
enum IBlendMode : int {
    BlendNone = 0,  // copy honouring the source's alpha
    BlendCopy = 1,  // plain copy
    BlendAdd = 2,   // additive, honouring alpha
    BlendDodge = 3, // colour dodge, honouring alpha
};

struct IBlend {
    int mode = BlendNone;
    float weight = 1.0f;

    IBlend() = default;
    IBlend(int m, float w) : mode(m), weight(w) {}
};
