#include "host/ParameterSetting.h"
#include "host/HostedPlugin.h"

#include <gtest/gtest.h>

namespace {

struct Loaded {
    explicit Loaded(const std::string& path) {
        std::string error;
        module = PluginModule::Load(path, &error);
        plugin = module ? HostedPlugin::Create(*module, &error) : nullptr;
        if (!plugin) {
            throw std::runtime_error(error);
        }
        plugin->Setup(44100.0, 512);
    }
    // Applies NAME=VALUE; returns the error, empty on success.
    std::string Set(const std::string& text) {
        ParameterSetting setting;
        std::string error;
        if (ParseParameterSetting(text, &setting, &error)) {
            ApplyParameterSetting(*plugin, setting, &error);
        }
        return error;
    }
    std::unique_ptr<PluginModule> module;
    std::unique_ptr<HostedPlugin> plugin;
};

TEST(ParameterSetting, ParsesNameAndValueAroundTheFirstEqualsSign) {
    ParameterSetting setting;
    std::string error;
    ASSERT_TRUE(ParseParameterSetting(" Route = Mono sum ", &setting, &error));
    EXPECT_EQ(setting.name, "Route");
    EXPECT_EQ(setting.value, "Mono sum");
    for (const char* bad : {"Drive", "=0.5", "Drive=", "Drive= "}) {
        EXPECT_FALSE(ParseParameterSetting(bad, &setting, &error)) << bad;
        EXPECT_NE(error.find("NAME=VALUE"), std::string::npos);
    }
}

TEST(ParameterSetting, FindsParametersAndValuesTheWaysAUserWritesThem) {
    Loaded gain(KVX_GAIN_MODULE);
    HostedPlugin& plugin = *gain.plugin;
    EXPECT_EQ(gain.Set("gain=0.25"), "");
    EXPECT_EQ(plugin.GetParameter(0), 0.25f);
    EXPECT_EQ(gain.Set("2=1"), "");
    EXPECT_EQ(plugin.ParamDisplay(2), "Mono sum");
    // A number beyond 0..1 is taken as the displayed value when the plug-in shows it.
    EXPECT_EQ(gain.Set("GAIN=1.5"), "");
    EXPECT_EQ(plugin.ParamDisplay(0), "1.50");
    EXPECT_EQ(gain.Set("mute=ON"), "");
    EXPECT_EQ(plugin.ParamDisplay(1), "On");
    // A text shown over a middle range of values lands in the middle of it, away from the edges.
    EXPECT_EQ(gain.Set("Route=swap"), "");
    EXPECT_NEAR(plugin.GetParameter(2), 0.5f, 0.01f);
    EXPECT_EQ(plugin.ParamDisplay(2), "Swap");
}

TEST(ParameterSetting, FailuresLeaveTheParameterAsItWas) {
    Loaded gain(KVX_GAIN_MODULE);
    HostedPlugin& plugin = *gain.plugin;
    ASSERT_EQ(gain.Set("Route=Swap"), "");
    const float route = plugin.GetParameter(2);
    EXPECT_NE(gain.Set("Route=Sideways").find("(Straight, Swap, Mono sum)"), std::string::npos);
    EXPECT_NE(gain.Set("Route=-0.5").find("Route=-0.5 is out of range"), std::string::npos);
    EXPECT_EQ(plugin.GetParameter(2), route);
    EXPECT_NE(gain.Set("Routing=1").find("parameters are Gain, Mute, Route"), std::string::npos);
}

TEST(ParameterSetting, KelvorantumixSwitchesTakeOnAndOff) {
    Loaded kvx(DefaultModulePath());
    EXPECT_EQ(kvx.Set("Effect=Off"), "");
    EXPECT_EQ(kvx.plugin->ParamDisplay(5), "Off");
    EXPECT_EQ(kvx.plugin->GetParameter(5), 0.0f);
    EXPECT_EQ(kvx.Set("vortalizer=on"), "");
    EXPECT_EQ(kvx.plugin->GetParameter(6), 1.0f);
    EXPECT_NE(kvx.Set("Effect=Loud").find("(Off, On)"), std::string::npos);
}

} // namespace
