#include "host/PluginProbe.h"

#include "host/AudioSink.h"
#include "host/AudioSource.h"
#include "host/HostedPlugin.h"
#include "host/PresetExchange.h"
#include "host/Renderer.h"

namespace {

constexpr int kBlock = 512;

} // namespace

std::unique_ptr<HostedPlugin> PluginProbe::Instance(std::string* error) {
    std::unique_ptr<HostedPlugin> plugin = HostedPlugin::Create(module_, error);
    if (!plugin) {
        return nullptr;
    }
    const AEffect* effect = plugin->Effect();
    if (effect->numInputs < 1 || effect->numOutputs < 1) {
        *error = module_.Path() + " has no audio input or output to measure";
        return nullptr;
    }
    if (!(effect->flags & effFlagsCanReplacing) || !effect->processReplacing) {
        *error = module_.Path() + " does not offer processReplacing, which kvx-host needs";
        return nullptr;
    }
    plugin->Setup(rate_, kBlock);
    plugin->SetSpeakerArrangement(1, 1);
    if (!preset_.empty()) {
        PresetFile preset;
        if (!ReadPresetFile(preset_, &preset, error)) {
            return nullptr;
        }
        if (!ApplyPreset(*plugin, preset, error)) {
            *error = "cannot load " + preset_ + ": " + *error;
            return nullptr;
        }
    }
    for (const ParameterSetting& setting : settings_) {
        if (!ApplyParameterSetting(*plugin, setting, error)) {
            return nullptr;
        }
    }
    return plugin;
}

bool PluginProbe::Play(const std::vector<double>& input, std::vector<double>* output,
                       std::string* error) {
    std::unique_ptr<HostedPlugin> plugin = Instance(error);
    if (!plugin) {
        return false;
    }
    MemorySource source({input}, int(rate_));
    MemorySink sink(1);
    RenderSettings settings;
    settings.blockSize = kBlock;
    RenderResult result;
    if (!Render(*plugin, source, sink, settings, nullptr, &result, error)) {
        return false;
    }
    *output = sink.Samples();
    return true;
}

bool PluginProbe::Describe(std::string* effectName, std::vector<std::string>* shown,
                           std::string* error) {
    std::unique_ptr<HostedPlugin> plugin = Instance(error);
    if (!plugin) {
        return false;
    }
    *effectName = plugin->EffectName();
    shown->clear();
    for (const ParameterSetting& setting : settings_) {
        const int index = FindParameterIndex(*plugin, setting.name);
        const std::string label = plugin->ParamLabel(index);
        shown->push_back(plugin->ParamName(index) + " " + plugin->ParamDisplay(index) +
                         (label.empty() ? "" : " " + label));
    }
    return true;
}
