#pragma once

#include "host/ParameterSetting.h"

#include <memory>
#include <string>
#include <vector>

class HostedPlugin;
class PluginModule;

// Plays test signals through fresh instances of one module's plug-in, as a mono insert: the
// signal on the first input (the others silent), the first output kept. Each signal gets a new
// instance, opened at the rate, with the preset and the settings applied in that order.
class PluginProbe {
public:
    PluginProbe(const PluginModule& module, double rate) : module_(module), rate_(rate) {}

    double Rate() const { return rate_; }
    void SetPreset(const std::string& path) { preset_ = path; }
    void SetSettings(std::vector<ParameterSetting> settings) { settings_ = std::move(settings); }

    // The output for the input, as long as it; false with the reason.
    bool Play(const std::vector<double>& input, std::vector<double>* output, std::string* error);

    // The plug-in's name and, for each setting, the parameter's name, display and label as an
    // instance shows them with the preset and the settings applied ("Drive 0.800").
    bool Describe(std::string* effectName, std::vector<std::string>* shown, std::string* error);

private:
    std::unique_ptr<HostedPlugin> Instance(std::string* error);

    const PluginModule& module_;
    double rate_;
    std::string preset_;
    std::vector<ParameterSetting> settings_;
};
