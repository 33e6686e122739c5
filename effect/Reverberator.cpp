#include "effect/Reverberator.h"

#include "effect/AllpassStage.h"
#include "effect/CombStage.h"
#include "effect/FourWide.h"

#include <algorithm>

const int Reverberator::kCombLengths[kCombPairs] = {1116, 1188, 1277, 1356, 1422,
                                                    1491, 1557, 1617, 1685, 1748};
const int Reverberator::kAllpassLengths[kStages] = {556, 441, 341, 225, 180, 153};

namespace {

// The rate the base lengths are given for.
constexpr double kBaseRate = 44100;
constexpr double kAllpassFeedback = 0.5;
// A comb's damping is the reverberator's damping scaled by this.
constexpr double kCombDampingScale = 0.4;
int ScaledLength(int base, double ratio) {
    const int length = int(base * ratio);
    return length < 1 ? 1 : length;
}

void Resize(std::vector<double>& line, int& position, int length) {
    if (int(line.size()) != length) {
        line.assign(size_t(length), 0.0);
        position = 0;
    }
}

} // namespace

Reverberator::Reverberator() {
    ConfigureReverberator(false);
}

const AllpassFilter& Reverberator::Allpass(int index) const {
    TakeStateFromStages();
    return allpasses_[index];
}

const CombFilter& Reverberator::Comb(int index) const {
    TakeStateFromStages();
    return combs_[index];
}

void Reverberator::TakeStateFromStages() const {
    combStage_.StoreTo(combs_);
    allpassStage_.StoreTo(allpasses_);
}

void Reverberator::EmptyLines() {
    for (AllpassFilter& allpass : allpasses_) {
        std::fill(allpass.line.begin(), allpass.line.end(), 0.0);
    }
    for (CombFilter& comb : combs_) {
        std::fill(comb.line.begin(), comb.line.end(), 0.0);
    }
}

void Reverberator::Silence() {
    TakeStateFromStages();
    EmptyLines();
    for (CombFilter& comb : combs_) {
        comb.store = 0.0;
    }
    combStage_ = CombStage(combs_);
}

void Reverberator::ConfigureReverberator(bool clear) {
    TakeStateFromStages();
    const double ratio = rate / kBaseRate;
    for (int k = 0; k < kStages; ++k) {
        AllpassFilter& left = allpasses_[2 * k];
        AllpassFilter& right = allpasses_[2 * k + 1];
        Resize(left.line, left.position, ScaledLength(kAllpassLengths[k], ratio));
        Resize(right.line, right.position, ScaledLength(kAllpassLengths[k] + kRightSpread, ratio));
        left.feedback = kAllpassFeedback;
        right.feedback = kAllpassFeedback;
    }
    for (int k = 0; k < kCombPairs; ++k) {
        CombFilter& left = combs_[2 * k];
        CombFilter& right = combs_[2 * k + 1];
        Resize(left.line, left.position, ScaledLength(kCombLengths[k], ratio));
        Resize(right.line, right.position, ScaledLength(kCombLengths[k] + kRightSpread, ratio));
        for (CombFilter* comb : {&left, &right}) {
            comb->feedback = roomSize;
            comb->damping = damping * kCombDampingScale;
        }
    }
    if (clear) {
        EmptyLines();
    }
    combStage_ = CombStage(combs_);
    allpassStage_ = AllpassStage(allpasses_);
}

void Reverberator::ProcessReverberator(double& left, double& right) {
    ProcessReverberatorBlock(&left, &right, &left, &right, 1);
}

namespace {

// The spans of a block through both stages and the stereo width: each output takes its own
// channel x width and the other channel x (1 - width).
KVX_VECTORISED_IN_CALLER void RunSpans(CombStage& combStage, AllpassStage& allpassStage,
                                       double width, const double* inLeft, const double* inRight,
                                       double* outLeft, double* outRight, int frames) {
    const double direct = width;
    const double crossed = 1 - width;
    double left[CombStage::kSpanLimit];
    double right[CombStage::kSpanLimit];
    for (int done = 0; done < frames;) {
        const int span = std::min({frames - done, int(CombStage::kSpanLimit),
                                   combStage.LongestSpan(), allpassStage.LongestSpan()});
        combStage.Run(inLeft + done, inRight + done, left, right, span);
        allpassStage.Run(left, right, span);
        double* __restrict toLeft = outLeft + done;
        double* __restrict toRight = outRight + done;
        for (int f = 0; f < span; ++f) {
            toLeft[f] = left[f] * direct + right[f] * crossed;
            toRight[f] = right[f] * direct + left[f] * crossed;
        }
        done += span;
    }
}

} // namespace

void Reverberator::ProcessReverberatorBlock(const double* inLeft, const double* inRight,
                                            double* outLeft, double* outRight, int frames) {
    if (HasFourWide32()) {
        ProcessFourWide32(inLeft, inRight, outLeft, outRight, frames);
    } else if (HasFourWide()) {
        ProcessFourWide(inLeft, inRight, outLeft, outRight, frames);
    } else {
        ProcessTwoWide(inLeft, inRight, outLeft, outRight, frames);
    }
}

void Reverberator::ProcessTwoWide(const double* inLeft, const double* inRight, double* outLeft,
                                  double* outRight, int frames) {
    RunSpans(combStage_, allpassStage_, width, inLeft, inRight, outLeft, outRight, frames);
}

KVX_FOUR_WIDE void Reverberator::ProcessFourWide(const double* inLeft, const double* inRight,
                                                 double* outLeft, double* outRight, int frames) {
    RunSpans(combStage_, allpassStage_, width, inLeft, inRight, outLeft, outRight, frames);
}

KVX_FOUR_WIDE_32 void Reverberator::ProcessFourWide32(const double* inLeft, const double* inRight,
                                                      double* outLeft, double* outRight,
                                                      int frames) {
    RunSpans(combStage_, allpassStage_, width, inLeft, inRight, outLeft, outRight, frames);
}
