#pragma once

#include <algorithm>

// The delay lines of one reverberator stage, one per element, each read and written at its own
// position. All positions move on together, a span of frames at a time; within a span no line
// wraps, so that element e works on cell start[e] + f in frame f of the span.
template <int kLines> class DelayLines {
public:
    // Element is a CombFilter or an AllpassFilter.
    template <class Element> explicit DelayLines(Element (&elements)[kLines]) {
        for (int e = 0; e < kLines; ++e) {
            line_[e] = elements[e].line.data();
            position_[e] = elements[e].position;
            length_[e] = int(elements[e].line.size());
        }
    }

    // How many frames can run before the first line wraps.
    int FramesBeforeWrap() const {
        int frames = length_[0] - position_[0];
        for (int e = 1; e < kLines; ++e) {
            frames = std::min(frames, length_[e] - position_[e]);
        }
        return frames;
    }

    // Each line's cell for the first frame of the span.
    void SpanStarts(double* (&start)[kLines]) const {
        for (int e = 0; e < kLines; ++e) {
            start[e] = line_[e] + position_[e];
        }
    }

    void Advance(int frames) {
        for (int e = 0; e < kLines; ++e) {
            position_[e] += frames;
            if (position_[e] == length_[e]) {
                position_[e] = 0;
            }
        }
    }

    template <class Element> void StorePositions(Element (&elements)[kLines]) const {
        for (int e = 0; e < kLines; ++e) {
            elements[e].position = position_[e];
        }
    }

private:
    double* line_[kLines];
    int position_[kLines];
    int length_[kLines];
};
