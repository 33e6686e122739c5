// The MIDI map's text: the default map, and the mistakes a guitarist's own map may hold.

#include "standalone/MidiMap.h"

#include <gtest/gtest.h>

namespace {

const std::vector<MidiMap::Parameter> kParameters = {
    {"Level", false}, {"Drive", false}, {"Low", false},      {"Mid", false},
    {"High", false},  {"Effect", true}, {"Vortalizer", true}};

MidiMap ParseOrFail(const std::string& text) {
    MidiMap map;
    std::string error;
    EXPECT_TRUE(MidiMap::Parse(text, kParameters, &map, &error)) << error;
    return map;
}

int Bound(const MidiMap& map) {
    int count = 0;
    for (int c = 0; c < MidiMap::kControllers; ++c) {
        count += map.For(c).response != MidiMap::Response::kNone;
    }
    return count;
}

} // namespace

TEST(MidiMap, TheDefaultMapPutsBothFootswitchesAndAllFiveKnobsOnControllers) {
    const MidiMap map = ParseOrFail(MidiMap::DefaultText());
    EXPECT_EQ(Bound(map), 7);
    const struct {
        int controller;
        int parameter;
        MidiMap::Response response;
    } expected[] = {{80, 5, MidiMap::Response::kSwitch}, {81, 6, MidiMap::Response::kSwitch},
                    {7, 0, MidiMap::Response::kKnob},    {20, 1, MidiMap::Response::kKnob},
                    {21, 2, MidiMap::Response::kKnob},   {22, 3, MidiMap::Response::kKnob},
                    {23, 4, MidiMap::Response::kKnob}};
    for (const auto& e : expected) {
        EXPECT_EQ(map.For(e.controller).parameter, e.parameter) << e.controller;
        EXPECT_EQ(map.For(e.controller).response, e.response) << e.controller;
        EXPECT_EQ(map.For(e.controller).channel, -1) << e.controller;
    }
}

TEST(MidiMap, NamesInAnyCaseIndicesTogglesChannelsAndComments) {
    const MidiMap map = ParseOrFail("  # a pedal board\n"
                                    "\n"
                                    "64 effect Toggle   # the sustain pedal switches\n"
                                    "11 1 channel 16\n"
                                    "0 VORTALIZER channel 2 toggle\n");
    EXPECT_EQ(Bound(map), 3);
    EXPECT_EQ(map.For(64).parameter, 5);
    EXPECT_EQ(map.For(64).response, MidiMap::Response::kToggle);
    EXPECT_EQ(map.For(11).parameter, 1);
    EXPECT_EQ(map.For(11).response, MidiMap::Response::kKnob);
    EXPECT_EQ(map.For(11).channel, 15);
    EXPECT_EQ(map.For(0).parameter, 6);
    EXPECT_EQ(map.For(0).response, MidiMap::Response::kToggle);
    EXPECT_EQ(map.For(0).channel, 1);
    EXPECT_EQ(map.For(80).response, MidiMap::Response::kNone);
    EXPECT_EQ(Bound(ParseOrFail("")), 0);
}

TEST(MidiMap, MistakesAreReportedWithTheirLineAndLeaveTheMapAsItWas) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"128 Level", "1: '128' is not a controller number from 0 to 127"},
        {"-1 Level", "1: '-1' is not a controller number from 0 to 127"},
        {"seven Level", "1: 'seven' is not a controller number from 0 to 127"},
        {"7", "1: controller 7 needs a parameter (Level, Drive, Low, Mid, High, Effect, "
              "Vortalizer)"},
        {"7 Level\n\n7 Drive", "3: controller 7 is already mapped on line 1"},
        {"7 Volume", "1: no parameter is called 'Volume' (Level, Drive"},
        {"7 7", "1: no parameter is called '7'"},
        {"7 Level toggle", "1: 'toggle' is for footswitches, and Level is a knob"},
        {"80 Effect channel 17", "1: 'channel' takes a MIDI channel from 1 to 16"},
        {"80 Effect channel 0", "1: 'channel' takes a MIDI channel from 1 to 16"},
        {"80 Effect channel", "1: 'channel' takes a MIDI channel from 1 to 16"},
        {"80 Effect latch", "1: 'latch' is neither 'toggle' nor 'channel N'"},
    };
    for (const auto& bad : cases) {
        MidiMap map = ParseOrFail("80 Effect");
        std::string error;
        EXPECT_FALSE(MidiMap::Parse(bad.text, kParameters, &map, &error)) << bad.text;
        EXPECT_EQ(error.rfind(bad.error, 0), 0u) << bad.text << " gave: " << error;
        EXPECT_EQ(map.For(80).parameter, 5) << bad.text;
        EXPECT_EQ(Bound(map), 1) << bad.text;
    }
}
