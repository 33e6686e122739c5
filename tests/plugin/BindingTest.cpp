#include "TestPlug.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class Binding : public testing::Test {
protected:
    void SetUp() override { HostCallLog::Instance().Clear(); }
    HostCallLog& Host() { return HostCallLog::Instance(); }
};

VstIntPtr CanDo(TestPlug& plug, const char* text) {
    return plug.Dispatch(effCanDo, 0, 0, const_cast<char*>(text));
}

} // namespace

TEST_F(Binding, PublishedRecord) {
    TestPlug plug;
    const AEffect* e = plug.Effect();
    EXPECT_EQ(e->magic, 0x56737450);
    EXPECT_EQ(e->numParams, 3);
    EXPECT_EQ(e->numPrograms, 4);
    EXPECT_EQ(e->flags, 0x1018);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->object, &plug);
    EXPECT_EQ(e->version, 10203);
    EXPECT_EQ(plug.EffectVersion(false), 0x10203);
    EXPECT_EQ(e->uniqueID, 0x54737431);

    TestPlug::Options options;
    options.doesStateChunks = true;
    options.isInstrument = true;
    options.channelConfigs = "0-2";
    TestPlug synth(options);
    EXPECT_EQ(synth.Effect()->flags, 0x1130);
    EXPECT_EQ(synth.Effect()->numInputs, 0);

    plug.ChangeLatency(64);
    EXPECT_EQ(e->initialDelay, 64);
    EXPECT_EQ(plug.Latency(), 64);
}

TEST_F(Binding, FixedAnswers) {
    TestPlug plug;
    EXPECT_EQ(plug.Dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(plug.Dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(plug.Dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(plug.Dispatch(effCanBeAutomated, 99), 1);
    EXPECT_EQ(plug.Dispatch(effGetVendorVersion), 0) << "the version travels in the record only";
    for (VstInt32 unhandled : {9,  16, 17, 18, 20, 21, 27, 28, 30, 31, 32, 36,   40, 41,
                               43, 44, 46, 52, 54, 57, 59, 65, 67, 68, 70, 1000, -1}) {
        EXPECT_EQ(plug.Dispatch(unhandled, 1, 1, nullptr, 1.0f), 0) << unhandled;
    }
    EXPECT_EQ(plug.Dispatch(effEditIdle), 0);
    EXPECT_EQ(plug.Dispatch(effIdle), 0);
}

TEST_F(Binding, NamesAndParameterTexts) {
    TestPlug plug;
    char text[256];
    EXPECT_EQ(plug.Dispatch(effGetEffectName, 0, 0, text), 1);
    EXPECT_STREQ(text, "TestPlug");
    EXPECT_EQ(plug.Dispatch(effGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ(text, "TestVendor");
    EXPECT_EQ(plug.Dispatch(effGetProductString, 0, 0, text), 1);
    EXPECT_STREQ(text, "TestProduct");
    EXPECT_EQ(plug.Dispatch(effGetEffectName, 0, 0, nullptr), 0);

    plug.Dispatch(effGetParamName, 1, 0, text);
    EXPECT_STREQ(text, "P1");
    plug.Dispatch(effGetParamLabel, 1, 0, text);
    EXPECT_STREQ(text, "dB");
    plug.Dispatch(effGetParamDisplay, 1, 0, text);
    EXPECT_STREQ(text, "0.25");
    std::strcpy(text, "untouched");
    plug.Dispatch(effGetParamName, 3, 0, text);
    plug.Dispatch(effGetParamDisplay, -1, 0, text);
    EXPECT_STREQ(text, "untouched");
    plug.Dispatch(effGetParamName, 0, 0, nullptr);
}

TEST_F(Binding, VendorSpecificFormatsANormalizedValue) {
    TestPlug plug;
    char text[64] = "untouched";
    EXPECT_EQ(plug.Dispatch(effVendorSpecific, 7, 5, text, 0.5f), 0xBEEF);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(plug.Dispatch(effVendorSpecific, 7, 2, text, 0.5f), 0xBEEF);
    EXPECT_STREQ(text, "0.50");
    EXPECT_EQ(plug.Dispatch(effVendorSpecific, 7, 2, nullptr, 0.5f), 0);
    EXPECT_EQ(plug.Dispatch(effVendorSpecific, 6, 2, text, 0.5f), 0);
}

TEST_F(Binding, CanDoComparesWholeTexts) {
    TestPlug plug;
    EXPECT_EQ(CanDo(plug, "receiveVstTimeInfo"), 1);
    EXPECT_EQ(CanDo(plug, "receiveVstTimeInfoX"), 0);
    EXPECT_EQ(CanDo(plug, "receiveVstEvents"), 0);
    EXPECT_EQ(CanDo(plug, "hasCockosExtensions"), 0xBEEF0000);
    EXPECT_EQ(CanDo(plug, "hasCockosViewAsConfig"), 0xBEEF0000);
    EXPECT_EQ(CanDo(plug, "bypass"), 0);
    EXPECT_EQ(CanDo(plug, nullptr), 0);

    TestPlug::Options options;
    options.doesMidi = true;
    TestPlug midi(options);
    for (const char* text :
         {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"}) {
        EXPECT_EQ(CanDo(midi, text), 1) << text;
    }
}

TEST_F(Binding, PinProperties) {
    TestPlug plug;
    VstPinProperties pin{};
    EXPECT_EQ(plug.Dispatch(effGetInputProperties, 0, 0, &pin), 1);
    EXPECT_EQ(pin.flags, 3);
    EXPECT_STREQ(pin.label, "Input 1");
    EXPECT_EQ(plug.Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_EQ(pin.flags, 1);
    EXPECT_STREQ(pin.label, "Output 2");
    EXPECT_EQ(plug.Dispatch(effGetInputProperties, 2, 0, &pin), 0);
    EXPECT_EQ(plug.Dispatch(effGetInputProperties, -1, 0, &pin), 0);
    EXPECT_EQ(plug.Dispatch(effGetInputProperties, 0, 0, nullptr), 0);
}

TEST_F(Binding, SpeakerArrangementsAreReportedByAddress) {
    TestPlug plug;
    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    EXPECT_EQ(plug.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out),
              1);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(in->numChannels, 2);
    EXPECT_EQ(out->numChannels, 2);
    EXPECT_EQ(plug.Dispatch(effGetSpeakerArrangement, 0, 0, nullptr), 1);
    EXPECT_EQ(plug.Dispatch(effSetSpeakerArrangement, 0, 0, nullptr), 1);
}

TEST_F(Binding, LifecycleHooks) {
    TestPlug plug;
    plug.Dispatch(effOpen);
    EXPECT_EQ(plug.parameterChanges, (std::vector<int>{0, 1, 2}));
    plug.Dispatch(effOpen);
    EXPECT_EQ(plug.parameterChanges.size(), 6u);
    EXPECT_EQ(Host().With(audioMasterGetProductString).size(), 1u) << "the host is asked once";

    plug.Dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(plug.resets, 0);
    plug.Dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(plug.resets, 1);
    EXPECT_EQ(plug.activations, (std::vector<bool>{true, false}));
    plug.Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_EQ(plug.SampleRate(), 96000.0);
    EXPECT_EQ(plug.resets, 2);
}

TEST_F(Binding, ParameterCallbacks) {
    TestPlug plug;
    auto* editor = new RecordingEditor(10, 10);
    plug.AttachEditor(editor);
    editor->updates.clear();
    plug.Effect()->setParameter(plug.Effect(), 1, 0.75f);
    EXPECT_EQ(plug.GetParam(1)->Value(), 0.75);
    EXPECT_FLOAT_EQ(plug.Effect()->getParameter(plug.Effect(), 1), 0.75f);
    EXPECT_EQ(plug.parameterChanges.back(), 1);
    ASSERT_EQ(editor->updates.size(), 1u);
    EXPECT_TRUE(editor->updates[0].normalized);
    EXPECT_TRUE(Host().With(audioMasterAutomate).empty()) << "a host change is not echoed";

    plug.Effect()->setParameter(plug.Effect(), 3, 0.5f);
    plug.Effect()->setParameter(plug.Effect(), -1, 0.5f);
    EXPECT_EQ(plug.Effect()->getParameter(plug.Effect(), 3), 0.0f);
    EXPECT_EQ(editor->updates.size(), 1u);
}

TEST_F(Binding, EditorEditsReachTheHost) {
    TestPlug plug;
    plug.BeginHostEdit(2);
    plug.SetParameterFromGUI(2, 0.5);
    plug.EndHostEdit(2);
    ASSERT_EQ(Host().calls.size(), 3u);
    EXPECT_EQ(Host().calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(Host().calls[1].opcode, audioMasterAutomate);
    EXPECT_EQ(Host().calls[1].index, 2);
    EXPECT_EQ(Host().calls[1].opt, 0.5f);
    EXPECT_EQ(Host().calls[2].opcode, audioMasterEndEdit);
    EXPECT_EQ(plug.GetParam(2)->Value(), 0.5);
    EXPECT_EQ(plug.parameterChanges.back(), 2);
}

TEST_F(Binding, EditorAttachOpenCloseAndRectangle) {
    bool destroyed = false;
    TestPlug plug;
    ERect* rect = nullptr;
    EXPECT_EQ(plug.Dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(plug.Dispatch(effEditOpen, 0, 0, &rect), 0);
    EXPECT_EQ(plug.Dispatch(effEditClose), 0);

    auto* editor = new RecordingEditor(465, 336, &destroyed);
    plug.AttachEditor(editor);
    EXPECT_EQ(plug.Effect()->flags & effFlagsHasEditor, effFlagsHasEditor);
    EXPECT_EQ(editor->surfacesPrepared, 1);
    ASSERT_EQ(editor->updates.size(), 3u);
    EXPECT_TRUE(editor->updates[0].normalized);
    EXPECT_EQ(editor->updates[0].value, 0.25);

    EXPECT_EQ(plug.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 336);
    EXPECT_EQ(rect->right, 465);
    EXPECT_EQ(plug.Dispatch(effEditGetRect, 0, 0, nullptr), 0);

    int parent = 0;
    EXPECT_EQ(plug.Dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(editor->openedWith, &parent);
    EXPECT_EQ(plug.Dispatch(effEditOpen, 0, 0, nullptr), 0) << "the editor refused";
    EXPECT_EQ(plug.Dispatch(effEditClose), 1);
    EXPECT_EQ(editor->closes, 1);

    plug.AttachEditor(nullptr);
    EXPECT_EQ(plug.Editor(), editor);
    EXPECT_FALSE(destroyed);
}

TEST_F(Binding, CloseDestroysTheObjectAndItsEditor) {
    bool destroyed = false;
    auto* plug = new TestPlug();
    plug->AttachEditor(new RecordingEditor(1, 1, &destroyed));
    AEffect* effect = plug->Effect();
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 0);
    EXPECT_TRUE(destroyed);
}

TEST_F(Binding, TimeQueries) {
    TestPlug plug;
    EXPECT_EQ(plug.HostSamplePosition(), 0);
    EXPECT_EQ(plug.HostTempo(), 0.0);
    int num = 9, den = 9;
    plug.HostTimeSignature(&num, &den);
    EXPECT_EQ(num, 0);
    EXPECT_EQ(den, 0);

    Host().calls.clear();
    VstTimeInfo time{};
    time.samplePos = 12345.75;
    time.tempo = 133.0;
    time.timeSigNumerator = 7;
    time.timeSigDenominator = 8;
    Host().time = &time;
    EXPECT_EQ(plug.HostSamplePosition(), 12345);
    EXPECT_EQ(plug.HostTempo(), 0.0) << "tempo without its valid flag";
    time.flags = kVstTempoValid | kVstTimeSigValid;
    EXPECT_EQ(plug.HostTempo(), 133.0);
    plug.HostTimeSignature(&num, &den);
    EXPECT_EQ(num, 7);
    EXPECT_EQ(den, 8);
    auto queries = Host().With(audioMasterGetTime);
    ASSERT_EQ(queries.size(), 4u);
    EXPECT_EQ(queries[0].value, 0);
    EXPECT_EQ(queries[1].value, kVstTempoValid);
    EXPECT_EQ(queries[3].value, kVstTimeSigValid);

    time.samplePos = -1.0;
    EXPECT_EQ(plug.HostSamplePosition(), 0);
    time.samplePos = 1e12;
    EXPECT_EQ(plug.HostSamplePosition(), 2147483647) << "a huge position saturates";
    time.timeSigDenominator = -4;
    plug.HostTimeSignature(&num, &den);
    EXPECT_EQ(den, 0);
}

TEST_F(Binding, MidiEventsAreEchoedAndOthersForwarded) {
    TestPlug::Options options;
    options.doesMidi = true;
    TestPlug plug(options);

    VstMidiEvent note{};
    note.type = kVstMidiType;
    note.byteSize = sizeof note;
    note.deltaFrames = 17;
    note.midiData[0] = char(0x90);
    note.midiData[1] = 60;
    note.midiData[2] = 100;
    VstEvent sysex{};
    sysex.type = 6;
    sysex.byteSize = sizeof sysex;
    struct {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[3];
    } list{3, 0, {reinterpret_cast<VstEvent*>(&note), nullptr, &sysex}};

    EXPECT_EQ(plug.Dispatch(effProcessEvents, 0, 0, &list), 1);
    EXPECT_EQ(plug.Dispatch(effProcessEvents, 0, 0, nullptr), 0);
    ASSERT_EQ(plug.midiIn.size(), 1u);
    EXPECT_EQ(plug.midiIn[0].offset, 17);
    EXPECT_EQ(plug.midiIn[0].status, 0x90);
    ASSERT_EQ(Host().events.size(), 2u);
    EXPECT_EQ(Host().events[0].type, kVstMidiType);
    EXPECT_EQ(Host().events[0].byteSize, 32);
    EXPECT_EQ(Host().events[0].deltaFrames, 17);
    EXPECT_EQ(std::uint8_t(Host().events[0].midiData[2]), 100);
    EXPECT_EQ(Host().events[1].type, 6);

    MidiMessage messages[2] = {{0, 0x80, 60, 0}, {5, 0xB0, 7, 127}};
    EXPECT_TRUE(plug.SendMidiMessages(messages, 2));
    EXPECT_TRUE(plug.SendMidiMessages(nullptr, 0));
    Host().processEventsAnswer = 0;
    EXPECT_FALSE(plug.SendMidiMessages(messages, 2));

    Host().Clear();
    float sample = 0.0f;
    float* channel[] = {&sample, &sample};
    plug.Effect()->processReplacing(plug.Effect(), channel, channel, 1);
    EXPECT_EQ(Host().With(audioMasterWantMidi).size(), 1u);
}

TEST_F(Binding, MidiKeyNames) {
    TestPlug plug;
    MidiKeyName key{};
    std::strcpy(key.keyName, "stale");
    key.thisKeyNumber = 60;
    EXPECT_EQ(plug.Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_STREQ(key.keyName, "");
    EXPECT_EQ(plug.Dispatch(effGetMidiKeyName, 0, 0, nullptr), 0);
}
