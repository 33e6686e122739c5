#pragma once

#include <algorithm>

// The delay lines of one reverberator stage, one per element, each read and written at its own
// position. All positions move on together, a span of frames at a time. A span is never longer
// than the shortest line, so no element reads within a span a cell it wrote there; each line
// wraps at most once within it.
template <int kLines> class DelayLines {
public:
    // The cells one element works on in a span: the first count frames from first, the rest
    // from the line's beginning.
    struct SpanCells {
        double* first;
        int count;
        double* rest;
    };

    // Element is a CombFilter or an AllpassFilter.
    template <class Element> explicit DelayLines(Element (&elements)[kLines]) {
        shortest_ = int(elements[0].line.size());
        for (int e = 0; e < kLines; ++e) {
            line_[e] = elements[e].line.data();
            position_[e] = elements[e].position;
            length_[e] = int(elements[e].line.size());
            shortest_ = std::min(shortest_, length_[e]);
        }
    }

    int LongestSpan() const { return shortest_; }

    SpanCells Cells(int e, int frames) const {
        return {line_[e] + position_[e], std::min(frames, length_[e] - position_[e]), line_[e]};
    }

    void Advance(int frames) {
        for (int e = 0; e < kLines; ++e) {
            position_[e] += frames;
            if (position_[e] >= length_[e]) {
                position_[e] -= length_[e];
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
    int shortest_;
};
