#include "TestPlug.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace {

struct FloatBuffers {
    FloatBuffers(int channels, int frames, float start)
        : data(size_t(channels), std::vector<float>(size_t(frames))) {
        for (int c = 0; c < channels; ++c) {
            for (int s = 0; s < frames; ++s) {
                data[size_t(c)][size_t(s)] = start + float(c * 1000 + s);
            }
            pointers.push_back(data[size_t(c)].data());
        }
    }
    std::vector<std::vector<float>> data;
    std::vector<float*> pointers;
};

void Connect(TestPlug& plug, int inputs, int outputs) {
    VstSpeakerArrangement in{};
    VstSpeakerArrangement out{};
    in.numChannels = inputs;
    out.numChannels = outputs;
    EXPECT_EQ(plug.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out),
              1);
}

} // namespace

TEST(ChannelModel, ConfigurationsGiveTheChannelCountsAndLegalIO) {
    TestPlug plug;
    EXPECT_EQ(plug.NumInputChannels(), 2);
    EXPECT_EQ(plug.NumOutputChannels(), 2);
    EXPECT_TRUE(plug.LegalIO(1, -1));
    EXPECT_TRUE(plug.LegalIO(2, 2));
    EXPECT_TRUE(plug.LegalIO(-1, -1));
    EXPECT_FALSE(plug.LegalIO(2, 1));
    EXPECT_FALSE(plug.LegalIO(3, -1));

    TestPlug::Options single;
    single.channelConfigs = "2-2";
    TestPlug one(single);
    EXPECT_TRUE(one.LegalIO(2, 2));
    EXPECT_FALSE(one.LegalIO(1, 1));
    EXPECT_EQ(one.Effect()->flags & effFlagsCanMono, 0);

    TestPlug::Options wide;
    wide.channelConfigs = "1-2 4-1 0-6";
    TestPlug many(wide);
    EXPECT_EQ(many.NumInputChannels(), 4);
    EXPECT_EQ(many.NumOutputChannels(), 6);
    EXPECT_EQ(many.Effect()->numInputs, 4);
    EXPECT_EQ(many.Effect()->numOutputs, 6);
}

TEST(ChannelModel, FloatPathConvertsInAndOutAndDoublePathUsesHostBuffers) {
    TestPlug plug;
    plug.gain = 2.0;
    FloatBuffers in(2, 64, 0.5f);
    FloatBuffers out(2, 64, -9.0f);
    plug.Effect()->processReplacing(plug.Effect(), in.pointers.data(), out.pointers.data(), 64);
    for (int c = 0; c < 2; ++c) {
        for (int s = 0; s < 64; ++s) {
            ASSERT_EQ(out.data[size_t(c)][size_t(s)], 2.0f * in.data[size_t(c)][size_t(s)]);
        }
        EXPECT_NE(plug.lastInputs[size_t(c)], nullptr);
    }

    std::vector<double> inL(64, 0.25), inR(64, -0.5), outL(64), outR(64);
    double* ins[] = {inL.data(), inR.data()};
    double* outs[] = {outL.data(), outR.data()};
    plug.Effect()->processDoubleReplacing(plug.Effect(), ins, outs, 64);
    EXPECT_EQ(plug.lastInputs[0], inL.data()) << "the double path copies nothing";
    EXPECT_EQ(plug.lastOutputs[1], outR.data());
    EXPECT_EQ(outL[10], 0.5);
    EXPECT_EQ(outR[63], -1.0);
}

TEST(ChannelModel, AccumulatingAddsAndReplacingOverwrites) {
    TestPlug plug;
    FloatBuffers in(2, 32, 1.0f);
    FloatBuffers out(2, 32, 100.0f);
    plug.Effect()->process(plug.Effect(), in.pointers.data(), out.pointers.data(), 32);
    EXPECT_EQ(out.data[0][5], 100.0f + 5 + 1.0f + 5);
    plug.Effect()->processReplacing(plug.Effect(), in.pointers.data(), out.pointers.data(), 32);
    EXPECT_EQ(out.data[0][5], 6.0f);
}

TEST(ChannelModel, OneConnectedInputConsumesOneHostBufferAndTheOtherReadsScratch) {
    TestPlug plug;
    Connect(plug, 1, 1);
    EXPECT_TRUE(plug.IsInputConnected(0));
    EXPECT_FALSE(plug.IsInputConnected(1));
    EXPECT_FALSE(plug.IsOutputConnected(1));

    FloatBuffers in(1, 16, 3.0f);
    FloatBuffers out(2, 16, 7.0f);
    plug.Effect()->processReplacing(plug.Effect(), in.pointers.data(), out.pointers.data(), 16);
    EXPECT_EQ(out.data[0][2], 5.0f);
    EXPECT_EQ(out.data[1][2], 7.0f + 1000 + 2)
        << "an unconnected output's host buffer is untouched";
    ASSERT_EQ(plug.lastInputs.size(), 2u);
    EXPECT_EQ(plug.lastInputs[1][0], 0.0) << "an unconnected input presents its zeroed scratch";

    // Negative and oversized counts are cut, never overrun.
    Connect(plug, 99, -3);
    EXPECT_TRUE(plug.IsInputConnected(1));
    EXPECT_FALSE(plug.IsOutputConnected(0));
}

TEST(ChannelModel, BlockSizeChangeZeroesScratchAndSameSizeKeepsIt) {
    TestPlug plug;
    Connect(plug, 1, 2);
    FloatBuffers in(1, 8, 1.0f);
    FloatBuffers out(2, 8, 0.0f);
    plug.Effect()->processReplacing(plug.Effect(), in.pointers.data(), out.pointers.data(), 8);
    Connect(plug, 2, 2);
    FloatBuffers two(2, 8, 5.0f);
    plug.Effect()->processReplacing(plug.Effect(), two.pointers.data(), out.pointers.data(), 8);
    EXPECT_EQ(out.data[1][3], 5.0f + 1000 + 3);
    plug.ChangeBlockSize(plug.BlockSize());
    plug.Effect()->processReplacing(plug.Effect(), two.pointers.data(), out.pointers.data(), 8);
    EXPECT_EQ(out.data[1][3], 5.0f + 1000 + 3) << "the same size keeps the buffers";

    Connect(plug, 1, 2);
    plug.Dispatch(effSetBlockSize, 0, 4096);
    EXPECT_EQ(plug.BlockSize(), 4096);
    plug.Effect()->processReplacing(plug.Effect(), in.pointers.data(), out.pointers.data(), 8);
    EXPECT_EQ(out.data[1][3], 0.0f);
}

TEST(ChannelModel, NonsenseBlockSizesKeepThePreviousOne) {
    TestPlug plug;
    plug.Dispatch(effSetBlockSize, 0, 0);
    plug.Dispatch(effSetBlockSize, 0, -5);
    plug.Dispatch(effSetBlockSize, 0, VstIntPtr(INTPTR_MAX));
    plug.Dispatch(effSetBlockSize, 0, IPlugBase::kMaxBlockSize + 1);
    EXPECT_EQ(plug.BlockSize(), 1024);
    EXPECT_EQ(plug.resets, 4) << "each request still ends with a reset";
    plug.Dispatch(effSetBlockSize, 0, IPlugBase::kMaxBlockSize);
    EXPECT_EQ(plug.BlockSize(), IPlugBase::kMaxBlockSize);
}

TEST(ChannelModel, CallsLongerThanTheBlockSizeAreProcessedInSlices) {
    for (int path = 0; path < 3; ++path) {
        TestPlug sliced;
        TestPlug whole;
        sliced.Dispatch(effSetBlockSize, 0, 100);
        whole.Dispatch(effSetBlockSize, 0, 1000);
        FloatBuffers in(2, 1000, 0.0f);
        FloatBuffers outSliced(2, 1000, 1.0f);
        FloatBuffers outWhole(2, 1000, 1.0f);
        std::vector<double> dIn(1000), dOutSliced(1000), dOutWhole(1000);
        for (int s = 0; s < 1000; ++s) {
            dIn[size_t(s)] = std::sin(s * 0.01);
        }
        double* dIns[] = {dIn.data(), dIn.data()};
        double* dSliced[] = {dOutSliced.data(), dOutSliced.data()};
        double* dWhole[] = {dOutWhole.data(), dOutWhole.data()};
        for (TestPlug* plug : {&sliced, &whole}) {
            FloatBuffers& out = plug == &sliced ? outSliced : outWhole;
            if (path == 0) {
                plug->Effect()->process(plug->Effect(), in.pointers.data(), out.pointers.data(),
                                        1000);
            } else if (path == 1) {
                plug->Effect()->processReplacing(plug->Effect(), in.pointers.data(),
                                                 out.pointers.data(), 1000);
            } else {
                plug->Effect()->processDoubleReplacing(plug->Effect(), dIns,
                                                       plug == &sliced ? dSliced : dWhole, 1000);
            }
        }
        EXPECT_EQ(sliced.processedFrames, std::vector<int>(10, 100)) << "path " << path;
        EXPECT_EQ(outSliced.data, outWhole.data) << "path " << path;
        EXPECT_EQ(dOutSliced, dOutWhole) << "path " << path;
    }
}

TEST(ChannelModel, HostilePointersAndCountsAreIgnored) {
    TestPlug plug;
    float sample = 0.0f;
    float* one[] = {&sample, &sample};
    plug.Effect()->processReplacing(plug.Effect(), nullptr, one, 1);
    plug.Effect()->processReplacing(plug.Effect(), one, nullptr, 1);
    plug.Effect()->processReplacing(plug.Effect(), one, one, -7);
    plug.Effect()->processReplacing(plug.Effect(), one, one, 0);
    EXPECT_TRUE(plug.processedFrames.empty());

    AEffect orphan = *plug.Effect();
    orphan.object = nullptr;
    EXPECT_EQ(orphan.dispatcher(&orphan, effGetVstVersion, 0, 0, nullptr, 0), 0);
    orphan.processReplacing(&orphan, one, one, 1);
    EXPECT_EQ(orphan.getParameter(&orphan, 0), 0.0f);
    orphan.setParameter(&orphan, 0, 1.0f);
}

TEST(ChannelModel, DefaultProcessingCopiesAndSilencesExtraOutputs) {
    TestPlug::Options options;
    options.channelConfigs = "1-3";
    TestPlug plug(options);
    FloatBuffers in(1, 4, 2.0f);
    FloatBuffers out(3, 4, 9.0f);
    plug.Effect()->processReplacing(plug.Effect(), in.pointers.data(), out.pointers.data(), 4);
    EXPECT_EQ(out.data[0], in.data[0]);
    EXPECT_EQ(out.data[1], std::vector<float>(4, 0.0f));
    EXPECT_EQ(out.data[2], std::vector<float>(4, 0.0f));
}

TEST(ChannelModel, LimitToTwoChannelsUnconnectsExtraInputsAndConnectsExtraOutputs) {
    TestPlug::Options options;
    options.channelConfigs = "4-4";
    TestPlug plug(options);
    plug.ConnectOutputs(0, 4, false);
    plug.LimitToTwoChannels();
    EXPECT_TRUE(plug.IsInputConnected(1));
    EXPECT_FALSE(plug.IsInputConnected(2));
    EXPECT_FALSE(plug.IsInputConnected(3));
    EXPECT_FALSE(plug.IsOutputConnected(1));
    EXPECT_TRUE(plug.IsOutputConnected(2));
    EXPECT_TRUE(plug.IsOutputConnected(3));
}

TEST(ChannelModel, SampleRateMustBeAFinitePositiveNumber) {
    TestPlug plug;
    plug.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(plug.SampleRate(), 48000.0);
    for (float bad : {0.0f, -44100.0f, NAN, INFINITY, 2.0e6f}) {
        plug.Dispatch(effSetSampleRate, 0, 0, nullptr, bad);
        EXPECT_EQ(plug.SampleRate(), 48000.0) << bad;
    }
}

TEST(ChannelModel, MonoHostArraysHoldOneBufferEvenInSlicedCalls) {
    TestPlug plug;
    plug.Dispatch(effSetBlockSize, 0, 64);
    Connect(plug, 1, 1);
    // One-element arrays, as a host that set up one in and one out passes them.
    std::vector<float> in(200, 0.5f), out(200, 0.0f);
    float* ins[] = {in.data()};
    float* outs[] = {out.data()};
    plug.Effect()->processReplacing(plug.Effect(), ins, outs, 200);
    EXPECT_EQ(plug.processedFrames, (std::vector<int>{64, 64, 64, 8}));
    EXPECT_EQ(out, std::vector<float>(200, 0.5f));
}

TEST(ChannelModel, AbsurdSpeakerCountsAreCutToTheChannels) {
    TestPlug plug;
    Connect(plug, INT_MIN, INT_MIN);
    EXPECT_FALSE(plug.IsInputConnected(0));
    EXPECT_FALSE(plug.IsInputConnected(1));
    EXPECT_FALSE(plug.IsOutputConnected(0));
    Connect(plug, INT_MAX, INT_MAX);
    EXPECT_TRUE(plug.IsInputConnected(1));
    EXPECT_TRUE(plug.IsOutputConnected(1));
    plug.ConnectInputs(1, INT_MAX, false);
    EXPECT_TRUE(plug.IsInputConnected(0));
    EXPECT_FALSE(plug.IsInputConnected(1));
    plug.ConnectOutputs(INT_MIN, INT_MAX, false);
    EXPECT_TRUE(plug.IsOutputConnected(0)) << "the range ends before channel 0";
}

TEST(ChannelModel, NullChannelBuffersReadAsSilenceAndAreNotWritten) {
    TestPlug plug;
    plug.gain = 2.0;
    FloatBuffers out(2, 32, 5.0f);
    float* noInputs[] = {nullptr, nullptr};
    plug.Effect()->processReplacing(plug.Effect(), noInputs, out.pointers.data(), 32);
    EXPECT_EQ(out.data[0], std::vector<float>(32, 0.0f));
    EXPECT_EQ(out.data[1], std::vector<float>(32, 0.0f));

    FloatBuffers in(2, 32, 1.0f);
    float* oneOutput[] = {nullptr, out.pointers[1]};
    plug.Effect()->process(plug.Effect(), in.pointers.data(), oneOutput, 32);
    plug.Effect()->processReplacing(plug.Effect(), in.pointers.data(), oneOutput, 32);
    EXPECT_EQ(out.data[1][3], 2.0f * in.data[1][3]);

    std::vector<double> inL(16, 0.5), outR(16, 9.0);
    double* doubleIns[] = {inL.data(), nullptr};
    double* doubleOuts[] = {nullptr, outR.data()};
    plug.Effect()->processDoubleReplacing(plug.Effect(), doubleIns, doubleOuts, 16);
    EXPECT_EQ(outR, std::vector<double>(16, 0.0)) << "the right input is silence";
    EXPECT_EQ(plug.lastInputs[0], inL.data());
}

TEST(ChannelModel, ADisconnectedInputIsSilenceNotItsLastBlock) {
    TestPlug plug;
    FloatBuffers in(2, 16, 0.25f);
    FloatBuffers out(2, 16, 0.0f);
    plug.Effect()->processReplacing(plug.Effect(), in.pointers.data(), out.pointers.data(), 16);
    EXPECT_EQ(out.data[1][4], in.data[1][4]);

    Connect(plug, 1, 2);
    FloatBuffers mono(1, 16, 0.5f);
    plug.Effect()->processReplacing(plug.Effect(), mono.pointers.data(), out.pointers.data(), 16);
    EXPECT_EQ(out.data[0][4], mono.data[0][4]);
    EXPECT_EQ(out.data[1], std::vector<float>(16, 0.0f));
}
