#pragma once

#include <string>

class HostedParameters;

// One --set NAME=VALUE from the command line. NAME is a parameter's name (any case, spaces and
// punctuation ignored) or its index; VALUE is a normalized value from 0 to 1 or one of the
// texts the plug-in displays for the parameter, such as "On".
struct ParameterSetting {
    std::string name;
    std::string value;
};

// Splits NAME=VALUE; false with a message when either side is missing.
bool ParseParameterSetting(const std::string& text, ParameterSetting* setting, std::string* error);

// The index of the parameter NAME means, or -1.
int FindParameterIndex(HostedParameters& plugin, const std::string& name);

// Sets the parameter on the plug-in. On failure leaves it as it was and says why: an unknown
// name lists the valid ones, a value out of range gives the range.
bool ApplyParameterSetting(HostedParameters& plugin, const ParameterSetting& setting,
                           std::string* error);
