#include "TestPlug.h"

#include <cstring>

HostCallLog& HostCallLog::Instance() {
    static HostCallLog log;
    return log;
}

void HostCallLog::Clear() {
    std::lock_guard<std::mutex> hold(mutex);
    calls.clear();
    events.clear();
    product.clear();
    vendorVersion = 0;
    time = nullptr;
    processEventsAnswer = 1;
}

std::vector<HostCallLog::Call> HostCallLog::With(VstInt32 opcode) {
    std::lock_guard<std::mutex> hold(mutex);
    std::vector<Call> matching;
    for (const Call& call : calls) {
        if (call.opcode == opcode) {
            matching.push_back(call);
        }
    }
    return matching;
}

VstIntPtr HostCallLog::Callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt) {
    HostCallLog& log = Instance();
    std::lock_guard<std::mutex> hold(log.mutex);
    log.calls.push_back({opcode, index, value, opt});
    switch (opcode) {
    case audioMasterGetProductString:
        std::strcpy(static_cast<char*>(ptr), log.product.c_str());
        return 1;
    case audioMasterGetVendorVersion:
        return log.vendorVersion;
    case audioMasterGetTime:
        return reinterpret_cast<VstIntPtr>(log.time);
    case audioMasterProcessEvents: {
        const VstEvents* events = static_cast<const VstEvents*>(ptr);
        for (int i = 0; i < events->numEvents; ++i) {
            VstMidiEvent copy;
            std::memcpy(&copy, events->events[i], sizeof copy);
            log.events.push_back(copy);
        }
        return log.processEventsAnswer;
    }
    default:
        return 0;
    }
}

TestPlug::TestPlug(const Options& o)
    : IPlugVST(HostCallLog::Callback, o.numParams, o.channelConfigs, o.numPrograms, "TestPlug",
               "TestProduct", "TestVendor", 0x10203, 0x54737431, 0x54737432, 0, o.doesMidi,
               o.doesStateChunks, o.isInstrument) {
    for (int i = 0; o.defineParams && i < o.numParams; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "P%d", i);
        GetParam(i)->DefineContinuous(name, 0.25, 0.0, 1.0, 0.01, "dB");
    }
}

void TestPlug::OnReset() {
    ++resets;
    IPlugVST::OnReset();
}

void TestPlug::OnParameterChange(int paramIdx) {
    parameterChanges.push_back(paramIdx);
    IPlugVST::OnParameterChange(paramIdx);
}

void TestPlug::OnActivation(bool active) {
    activations.push_back(active);
}

void TestPlug::OnMidiMessage(const MidiMessage& message) {
    midiIn.push_back(message);
    if (echoMidi) {
        IPlugVST::OnMidiMessage(message);
    }
}

void TestPlug::ProcessBlock(double** inputs, double** outputs, int frames) {
    processedFrames.push_back(frames);
    lastInputs.assign(inputs, inputs + NumInputChannels());
    lastOutputs.assign(outputs, outputs + NumOutputChannels());
    IPlugVST::ProcessBlock(inputs, outputs, frames);
    for (int c = 0; c < NumOutputChannels(); ++c) {
        for (int s = 0; s < frames; ++s) {
            outputs[c][s] *= gain;
        }
    }
}
