#pragma once

#include "effect/FourWide.h"

#include <algorithm>

// The delay lines of one reverberator stage, one per element, each read and written at its own
// position. All positions move on together, a span of frames at a time. A span is never longer
// than the shortest line, so no element reads within a span a cell it wrote there; each line
// wraps at most once within it.
template <int kLines> class DelayLines {
public:
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

    // Cuts a span of frames where any of the kCount lines from first wraps, and calls
    // run(cells, from, count) for each piece: cells[k] is line first + k's cell at frame from, and
    // none of them wraps in the count frames from there. Most spans are a single piece.
    template <int kCount, class Run>
    KVX_VECTORISED_IN_CALLER void ForEachPiece(int first, int frames, const Run& run) const {
        int at[kCount];
        for (int k = 0; k < kCount; ++k) {
            at[k] = position_[first + k];
        }
        for (int from = 0;;) {
            int count = frames - from;
            double* cells[kCount];
            for (int k = 0; k < kCount; ++k) {
                count = std::min(count, length_[first + k] - at[k]);
                cells[k] = line_[first + k] + at[k];
            }
            run(cells, from, count);
            from += count;
            if (from == frames) {
                return;
            }
            for (int k = 0; k < kCount; ++k) {
                at[k] += count;
                if (at[k] == length_[first + k]) {
                    at[k] = 0;
                }
            }
        }
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
