// The LV2 plug-ins sound as the VST module does, however the host sizes and places its buffers.

#include "Lv2Fixture.h"
#include "host/validate/AllocationCounter.h"

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

namespace {

using Lv2AudioTest = Lv2Fixture;

void ExpectSame(const Lv2Fixture::Stereo& lv2, const Lv2Fixture::Stereo& vst, const char* what) {
    ASSERT_EQ(lv2.left.size(), vst.left.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < lv2.left.size(); ++i) {
        differing += lv2.left[i] != vst.left[i];
        differing += lv2.right[i] != vst.right[i];
    }
    EXPECT_EQ(differing, 0u) << what;
}

} // namespace

TEST_F(Lv2AudioTest, BothPlugInsMatchTheVstModuleForEveryBlockSizeTheHostGives) {
    const Stereo in = Signal(6000);
    Controls settings = Defaults();
    settings[1] = 0.8f;  // Drive
    settings[2] = 0.25f; // Low
    settings[6] = 1.0f;  // Vortalizer
    struct Case {
        const char* what;
        HostOffer offer;
        int vstBlock; // the block size the LV2 binding is expected to use
        std::vector<int> runs;
        bool inPlace;
    };
    HostOffer maxOnly;
    maxOnly.maxBlockLength = 64;
    HostOffer nominalOnly;
    nominalOnly.nominalBlockLength = 256;
    HostOffer both;
    both.maxBlockLength = 512;
    both.nominalBlockLength = 128;
    HostOffer none;
    none.options = false;
    const Case cases[] = {
        {"max block 64, runs up to 500 sliced", maxOnly, 64, {500, 1, 0, 64, 17}, true},
        {"nominal block 256", nominalOnly, 256, {256, 1000, 3}, false},
        {"max wins over nominal", both, 512, {512, 700}, true},
        {"no options: the binding's own 1024", none, 1024, {4096, 1, 1024, 1025}, true},
        {"runs of one frame", maxOnly, 64, {1}, false},
    };
    for (bool mono : {false, true}) {
        for (const Case& c : cases) {
            auto lv2 = NewLv2(mono ? kMonoUri : kStereoUri, c.offer);
            auto vstPlugin = NewVst(c.vstBlock, settings);
            ASSERT_TRUE(lv2->Valid() && vstPlugin);
            const std::vector<int> runs = Runs(in.left.size(), c.runs);
            const Stereo fromLv2 = RenderLv2(*lv2, mono, settings, in, runs, c.inPlace);
            const Stereo fromVst = RenderVst(*vstPlugin, mono, in, runs);
            ExpectSame(fromLv2, fromVst, c.what);
        }
    }
}

TEST_F(Lv2AudioTest, ControlChangesBetweenRunsReachTheCoreAsSetParameterDoes) {
    const Stereo in = Signal(3000);
    auto lv2 = NewLv2(kStereoUri);
    auto vstPlugin = NewVst(1024, Defaults());
    Controls controls = Defaults();
    for (int i = 0; i < kControlPorts; ++i) {
        lv2->SetControl(i, controls[std::size_t(i)]);
    }
    Stereo lv2Out{std::vector<float>(in.left.size()), std::vector<float>(in.left.size())};
    Stereo vstOut = lv2Out;
    Stereo source = in;
    lv2->Activate();
    vstPlugin->Resume();
    const float drives[] = {0.1f, 0.9f, 0.33f};
    for (std::size_t block = 0; block < 3; ++block) {
        const std::size_t at = block * 1000;
        lv2->SetControl(1, drives[block]);
        lv2->SetControl(5, block == 1 ? 0.0f : 1.0f);
        vstPlugin->SetParameter(1, drives[block]);
        vstPlugin->SetParameter(5, block == 1 ? 0.0f : 1.0f);
        lv2->Connect(7, source.left.data() + at);
        lv2->Connect(8, source.right.data() + at);
        lv2->Connect(9, lv2Out.left.data() + at);
        lv2->Connect(10, lv2Out.right.data() + at);
        lv2->Run(1000);
        float* inputs[] = {source.left.data() + at, source.right.data() + at};
        float* outputs[] = {vstOut.left.data() + at, vstOut.right.data() + at};
        vstPlugin->ProcessFloat(inputs, outputs, 1000);
    }
    ExpectSame(lv2Out, vstOut, "drive and the Effect switch changed between runs");
}

TEST_F(Lv2AudioTest, MonoInputBypassedPassesAtUnityGainToBothOutputs) {
    const Stereo in = Signal(2000);
    auto lv2 = NewLv2(kMonoUri);
    Controls bypass = Defaults();
    bypass[5] = 0.0f;
    const Stereo out = RenderLv2(*lv2, true, bypass, in, Runs(2000, {300}), false);
    EXPECT_EQ(out.left, in.left);
    EXPECT_EQ(out.right, in.left);
}

TEST_F(Lv2AudioTest, RunOfNoFramesWritesNothing) {
    auto lv2 = NewLv2(kStereoUri);
    std::vector<float> buffers[4];
    for (int port = 0; port < 4; ++port) {
        buffers[port].assign(16, 7.0f);
        lv2->Connect(std::uint32_t(kControlPorts + port), buffers[port].data());
    }
    for (int i = 0; i < kControlPorts; ++i) {
        lv2->SetControl(i, Defaults()[std::size_t(i)]);
    }
    lv2->Activate();
    lv2->Run(0);
    EXPECT_EQ(buffers[2], std::vector<float>(16, 7.0f));
    EXPECT_EQ(buffers[3], std::vector<float>(16, 7.0f));
    lv2->Run(16);
    EXPECT_NE(buffers[2], std::vector<float>(16, 7.0f));
}

TEST_F(Lv2AudioTest, RunAllocatesNothingEvenWhenControlsChange) {
    if (!allocation_counter::Available()) {
        GTEST_SKIP() << "a sanitizer owns the allocator";
    }
    allocation_counter::Start();
    delete new volatile int(1);
    allocation_counter::Stop();
    ASSERT_EQ(allocation_counter::Allocations(), 2) << "the counter must see allocations";

    HostOffer offer;
    offer.maxBlockLength = 128;
    auto lv2 = NewLv2(kStereoUri, offer);
    std::vector<float> audio(4 * 1024, 0.1f);
    for (int port = 0; port < 4; ++port) {
        lv2->Connect(std::uint32_t(kControlPorts + port), audio.data() + port * 1024);
    }
    for (int i = 0; i < kControlPorts; ++i) {
        lv2->SetControl(i, Defaults()[std::size_t(i)]);
    }
    lv2->Activate();
    lv2->Run(128);
    long allocations = 0;
    for (int call = 0; call < 200; ++call) {
        lv2->SetControl(call % kControlPorts, float(call % 3) / 2.0f);
        allocation_counter::Start();
        lv2->Run(std::uint32_t((call * 37) % 1024));
        allocation_counter::Stop();
        allocations += allocation_counter::Allocations();
    }
    EXPECT_EQ(allocations, 0);
}

TEST_F(Lv2AudioTest, RunNeverWaitsForASaveInProgress) {
    auto lv2 = NewLv2(kStereoUri);
    std::vector<float> audio(4 * 256, 0.1f);
    for (int port = 0; port < 4; ++port) {
        lv2->Connect(std::uint32_t(kControlPorts + port), audio.data() + port * 256);
    }
    lv2->SetControl(1, 0.5f);
    lv2->Activate();

    // The host's store function holds the save open until the audio thread is done.
    struct Gate {
        std::mutex mutex;
        std::condition_variable changed;
        bool saving = false;
        bool released = false;
    } gate;
    const LV2_State_Store_Function store = [](LV2_State_Handle handle, std::uint32_t, const void*,
                                              std::size_t, std::uint32_t, std::uint32_t) {
        Gate* g = static_cast<Gate*>(handle);
        std::unique_lock<std::mutex> hold(g->mutex);
        g->saving = true;
        g->changed.notify_all();
        g->changed.wait(hold, [g] { return g->released; });
        return LV2_STATE_SUCCESS;
    };
    std::thread saver([&] { lv2->SaveWith(store, &gate); });
    {
        std::unique_lock<std::mutex> hold(gate.mutex);
        ASSERT_TRUE(gate.changed.wait_for(hold, std::chrono::seconds(10), [&] {
            return gate.saving;
        })) << "save never reached the host's store function";
    }
    // A control change makes run() publish a new state while the save reads the last one.
    lv2->SetControl(1, 0.9f);
    auto running = std::async(std::launch::async, [&] { lv2->Run(256); });
    const bool finished = running.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    {
        std::lock_guard<std::mutex> hold(gate.mutex);
        gate.released = true;
    }
    gate.changed.notify_all();
    saver.join();
    running.wait();
    EXPECT_TRUE(finished) << "run() waited for the save";
    EXPECT_EQ(ValuesInChunk(lv2->Save().bytes)[1], double(0.9f));
}
