// Controller messages reaching the real plug-in through its set-parameter call.

#include "standalone/ControllerInput.h"
#include "effect/PlugExample.h"
#include "standalone/EmbeddedPlugin.h"

#include <gtest/gtest.h>

namespace {

class ControllerInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        plugin = EmbeddedPlugin::Create(&error);
        ASSERT_TRUE(plugin) << error;
        plugin->Open(48000, 256);
        for (int i = 0; i < plugin->ParameterCount(); ++i) {
            parameters.push_back({plugin->ParameterName(i),
                                  i == PlugExample::kEffect || i == PlugExample::kVortalizer});
        }
    }
    ControllerInput Input(const std::string& mapText) {
        MidiMap map;
        std::string error;
        EXPECT_TRUE(MidiMap::Parse(mapText, parameters, &map, &error)) << error;
        return ControllerInput(map);
    }
    void Send(ControllerInput& input, std::initializer_list<unsigned char> bytes) {
        const std::vector<unsigned char> message(bytes);
        input.Handle(message.data(), message.size(), *plugin);
    }
    float Effect() { return plugin->Parameter(PlugExample::kEffect); }
    float Vortalizer() { return plugin->Parameter(PlugExample::kVortalizer); }

    std::unique_ptr<EmbeddedPlugin> plugin;
    std::vector<MidiMap::Parameter> parameters;
};

} // namespace

TEST_F(ControllerInputTest, KnobsFollowTheValueAndSwitchesTurnOnFromSixtyFour) {
    ControllerInput input = Input(MidiMap::DefaultText());
    for (int value : {0, 1, 64, 100, 127}) {
        Send(input, {0xB0, 20, (unsigned char)value});
        EXPECT_NEAR(plugin->Parameter(PlugExample::kDrive), value / 127.0, 1e-3) << value;
    }
    Send(input, {0xB5, 7, 0});
    EXPECT_EQ(plugin->Parameter(PlugExample::kLevel), 0.0f);
    ASSERT_EQ(Effect(), 1.0f);
    const struct {
        int value;
        float effect;
    } steps[] = {{63, 0.0f}, {64, 1.0f}, {0, 0.0f}, {127, 1.0f}, {127, 1.0f}};
    for (const auto& step : steps) {
        Send(input, {0xB0, 80, (unsigned char)step.value});
        EXPECT_EQ(Effect(), step.effect) << step.value;
    }
}

TEST_F(ControllerInputTest, AToggleFlipsOncePerPressOnItsChannelOnly) {
    ControllerInput input = Input("81 Vortalizer toggle channel 2");
    ASSERT_EQ(Vortalizer(), 0.0f);
    Send(input, {0xB1, 81, 127});
    EXPECT_EQ(Vortalizer(), 1.0f);
    Send(input, {0xB1, 81, 100});
    EXPECT_EQ(Vortalizer(), 1.0f) << "still held";
    Send(input, {0xB1, 81, 0});
    EXPECT_EQ(Vortalizer(), 1.0f) << "let go";
    Send(input, {0xB1, 81, 127});
    EXPECT_EQ(Vortalizer(), 0.0f);
    Send(input, {0xB1, 81, 0});
    Send(input, {0xB0, 81, 127});
    EXPECT_EQ(Vortalizer(), 0.0f) << "another channel";
}

TEST_F(ControllerInputTest, EverythingButMappedControllersIsIgnored) {
    ControllerInput input = Input(MidiMap::DefaultText());
    const std::vector<float> before = {plugin->Parameter(0), plugin->Parameter(1), Effect()};
    Send(input, {0xC0, 0});        // program change
    Send(input, {0xC0, 5});        // program change
    Send(input, {0x90, 80, 0});    // note on, key 80
    Send(input, {0xE0, 0, 0});     // pitch bend
    Send(input, {0xB0, 80});       // cut short
    Send(input, {0xB0, 200, 0});   // not a controller number
    Send(input, {0xB0, 80, 0x80}); // not a value
    Send(input, {0xB0, 1, 0});     // modulation wheel: not mapped
    Send(input, {0xF8});           // clock
    EXPECT_EQ(before, (std::vector<float>{plugin->Parameter(0), plugin->Parameter(1), Effect()}));
}
