#pragma once

#include <string>

// What kvx-host's commands read and set of a hosted plug-in's parameters, whatever its format:
// values normalized to 0..1 and the texts the plug-in displays for them.
class HostedParameters {
public:
    virtual int NumParams() = 0;
    virtual std::string ParamName(int index) = 0;
    virtual std::string ParamLabel(int index) = 0;
    virtual std::string ParamDisplay(int index) = 0;
    virtual float GetParameter(int index) = 0;
    virtual void SetParameter(int index, float value) = 0;

protected:
    ~HostedParameters() = default;
};
