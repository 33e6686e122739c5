#pragma once

#include "plugin/IEditor.h"
#include "plugin/IPlugVST.h"

#include <mutex>
#include <string>
#include <vector>

// Records what the plug-in core asks of an editor.
class RecordingEditor : public IEditor {
public:
    struct Update {
        int paramIdx;
        double value;
        bool normalized;
    };

    RecordingEditor(int width, int height, bool* destroyed = nullptr)
        : width_(width), height_(height), destroyed_(destroyed) {}
    ~RecordingEditor() override {
        if (destroyed_) {
            *destroyed_ = true;
        }
    }

    void PrepareSurface() override { ++surfacesPrepared; }
    void UpdateParamControls(int paramIdx, double value, bool normalized) override {
        updates.push_back({paramIdx, value, normalized});
    }
    void SetControlValue(int controlIndex, double value) override {
        controlValues.push_back({controlIndex, value, true});
    }
    void* OpenEditorWindow(void* parent) override {
        openedWith = parent;
        return parent ? this : nullptr;
    }
    void CloseEditorWindow() override { ++closes; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }

    std::vector<Update> updates;
    std::vector<Update> controlValues;
    int surfacesPrepared = 0;
    int closes = 0;
    void* openedWith = nullptr;

private:
    int width_;
    int height_;
    bool* destroyed_;
};

// The host side of a test: records every call a plug-in makes back.
struct HostCallLog {
    struct Call {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        float opt;
    };
    static VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);
    static HostCallLog& Instance();
    void Clear();
    std::vector<Call> With(VstInt32 opcode);

    std::mutex mutex;
    std::vector<Call> calls;
    std::vector<VstMidiEvent> events;
    std::string product;
    VstIntPtr vendorVersion = 0;
    VstTimeInfo* time = nullptr;
    VstIntPtr processEventsAnswer = 1;
};

// A plug-in built straight on the binding, with the hooks recorded.
class TestPlug : public IPlugVST {
public:
    struct Options {
        int numParams = 3;
        const char* channelConfigs = "1-1 2-2";
        int numPrograms = 4;
        bool doesMidi = false;
        bool doesStateChunks = false;
        bool isInstrument = false;
        // Leave the parameters undefined for the test to define.
        bool defineParams = true;
    };

    explicit TestPlug(const Options& options);
    TestPlug() : TestPlug(Options()) {}

    void OnReset() override;
    void OnParameterChange(int paramIdx) override;
    void OnActivation(bool active) override;
    void OnMidiMessage(const MidiMessage& message) override;
    void ProcessBlock(double** inputs, double** outputs, int frames) override;

    // Calls a dispatcher opcode through the published record, as a host does.
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return Effect()->dispatcher(Effect(), opcode, index, value, ptr, opt);
    }

    std::vector<int> parameterChanges;
    std::vector<int> processedFrames;
    std::vector<double*> lastInputs;
    std::vector<double*> lastOutputs;
    std::vector<MidiMessage> midiIn;
    int resets = 0;
    std::vector<bool> activations;
    // Added to every sample by ProcessBlock, so tests can tell processing from copying.
    double gain = 1.0;
    bool echoMidi = true;
};
