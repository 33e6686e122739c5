#pragma once

// The VST 2.x binary interface: records, callbacks and opcodes exchanged with a host, declared
// from the published layout. Every offset is checked below for both pointer widths.

#include <cstddef>
#include <cstdint>

using VstInt32 = std::int32_t;
using VstIntPtr = std::intptr_t;

struct AEffect;

using AudioMasterCallback = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);
using AEffectDispatcherProc = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                            VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs,
                                    VstInt32 frames);
using AEffectProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs,
                                          VstInt32 frames);
using AEffectSetParameterProc = void (*)(AEffect* effect, VstInt32 index, float value);
using AEffectGetParameterProc = float (*)(AEffect* effect, VstInt32 index);
using VstPluginMainProc = AEffect* (*)(AudioMasterCallback host);

constexpr VstInt32 kEffectMagic = 0x56737450; // 'VstP'
// The program-name buffer every host provides is only guaranteed this size, terminator included.
constexpr size_t kVstProgramNameSize = 24;

struct AEffect {
    VstInt32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;
    VstInt32 realQualities;
    VstInt32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum VstAEffectFlags : VstInt32 {
    effFlagsHasEditor = 0x01,
    effFlagsCanMono = 0x08,
    effFlagsCanReplacing = 0x10,
    effFlagsProgramChunks = 0x20,
    effFlagsIsSynth = 0x100,
    effFlagsCanDoubleReplacing = 0x1000,
};

struct ERect {
    std::int16_t top, left, bottom, right;
};

struct VstEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    char data[16];
};

struct VstEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[2]; // hosts pass numEvents pointers
};

constexpr VstInt32 kVstMidiType = 1;

struct VstMidiEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 noteLength;
    VstInt32 noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    VstInt32 timeSigNumerator;
    VstInt32 timeSigDenominator;
    VstInt32 smpteOffset;
    VstInt32 smpteFrameRate;
    VstInt32 samplesToNextClock;
    VstInt32 flags;
};

enum VstTimeInfoFlags : VstInt32 {
    kVstTransportChanged = 1,
    kVstTransportPlaying = 2,
    kVstTransportCycleActive = 4,
    kVstTransportRecording = 8,
    kVstAutomationWriting = 0x40,
    kVstAutomationReading = 0x80,
    kVstNanosValid = 0x100,
    kVstPpqPosValid = 0x200,
    kVstTempoValid = 0x400,
    kVstBarsValid = 0x800,
    kVstCyclePosValid = 0x1000,
    kVstTimeSigValid = 0x2000,
    kVstSmpteValid = 0x4000,
    kVstClockValid = 0x8000,
};

enum VstPinPropertiesFlags : VstInt32 {
    kVstPinIsActive = 1,
    kVstPinIsStereo = 2,
    kVstPinUseSpeaker = 4,
};

struct VstPinProperties {
    char label[64];
    VstInt32 flags;
    VstInt32 arrangementType;
    char shortLabel[8];
    char future[48];
};

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    VstInt32 type;
    char future[28];
};

struct VstSpeakerArrangement {
    VstInt32 type;
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};

struct MidiKeyName {
    VstInt32 thisProgramIndex;
    VstInt32 thisKeyNumber;
    char keyName[64];
    VstInt32 reserved;
    VstInt32 flags;
};

constexpr VstInt32 kPlugCategEffect = 1;

// Dispatcher opcodes (host to plug-in).
enum AEffectOpcodes : VstInt32 {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effIdle = 53,
    effGetVstVersion = 58,
    effGetMidiKeyName = 66,
    effGetSpeakerArrangement = 69,
};

// Host callback opcodes (plug-in to host).
enum AudioMasterOpcodes : VstInt32 {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterCanDo = 37,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

namespace vstabi {
constexpr bool k64 = sizeof(void*) == 8;
constexpr size_t At(size_t offset64, size_t offset32) {
    return k64 ? offset64 : offset32;
}
} // namespace vstabi

#define KVX_CHECK_OFFSET(record, field, at64, at32)                                                \
    static_assert(offsetof(record, field) == vstabi::At(at64, at32), #record "." #field)

static_assert(sizeof(AEffect) == vstabi::At(192, 144), "AEffect size");
KVX_CHECK_OFFSET(AEffect, magic, 0, 0);
KVX_CHECK_OFFSET(AEffect, dispatcher, 8, 4);
KVX_CHECK_OFFSET(AEffect, process, 16, 8);
KVX_CHECK_OFFSET(AEffect, setParameter, 24, 12);
KVX_CHECK_OFFSET(AEffect, getParameter, 32, 16);
KVX_CHECK_OFFSET(AEffect, numPrograms, 40, 20);
KVX_CHECK_OFFSET(AEffect, numParams, 44, 24);
KVX_CHECK_OFFSET(AEffect, numInputs, 48, 28);
KVX_CHECK_OFFSET(AEffect, numOutputs, 52, 32);
KVX_CHECK_OFFSET(AEffect, flags, 56, 36);
KVX_CHECK_OFFSET(AEffect, resvd1, 64, 40);
KVX_CHECK_OFFSET(AEffect, resvd2, 72, 44);
KVX_CHECK_OFFSET(AEffect, initialDelay, 80, 48);
KVX_CHECK_OFFSET(AEffect, realQualities, 84, 52);
KVX_CHECK_OFFSET(AEffect, offQualities, 88, 56);
KVX_CHECK_OFFSET(AEffect, ioRatio, 92, 60);
KVX_CHECK_OFFSET(AEffect, object, 96, 64);
KVX_CHECK_OFFSET(AEffect, user, 104, 68);
KVX_CHECK_OFFSET(AEffect, uniqueID, 112, 72);
KVX_CHECK_OFFSET(AEffect, version, 116, 76);
KVX_CHECK_OFFSET(AEffect, processReplacing, 120, 80);
KVX_CHECK_OFFSET(AEffect, processDoubleReplacing, 128, 84);
KVX_CHECK_OFFSET(AEffect, future, 136, 88);

static_assert(sizeof(ERect) == 8, "ERect size");
KVX_CHECK_OFFSET(ERect, top, 0, 0);
KVX_CHECK_OFFSET(ERect, left, 2, 2);
KVX_CHECK_OFFSET(ERect, bottom, 4, 4);
KVX_CHECK_OFFSET(ERect, right, 6, 6);

KVX_CHECK_OFFSET(VstEvents, numEvents, 0, 0);
KVX_CHECK_OFFSET(VstEvents, reserved, 8, 4);
KVX_CHECK_OFFSET(VstEvents, events, 16, 8);

static_assert(sizeof(VstEvent) == 32, "VstEvent size");
KVX_CHECK_OFFSET(VstEvent, type, 0, 0);
KVX_CHECK_OFFSET(VstEvent, byteSize, 4, 4);
KVX_CHECK_OFFSET(VstEvent, deltaFrames, 8, 8);
KVX_CHECK_OFFSET(VstEvent, flags, 12, 12);
KVX_CHECK_OFFSET(VstEvent, data, 16, 16);

static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent size");
KVX_CHECK_OFFSET(VstMidiEvent, type, 0, 0);
KVX_CHECK_OFFSET(VstMidiEvent, byteSize, 4, 4);
KVX_CHECK_OFFSET(VstMidiEvent, deltaFrames, 8, 8);
KVX_CHECK_OFFSET(VstMidiEvent, flags, 12, 12);
KVX_CHECK_OFFSET(VstMidiEvent, noteLength, 16, 16);
KVX_CHECK_OFFSET(VstMidiEvent, noteOffset, 20, 20);
KVX_CHECK_OFFSET(VstMidiEvent, midiData, 24, 24);
KVX_CHECK_OFFSET(VstMidiEvent, detune, 28, 28);
KVX_CHECK_OFFSET(VstMidiEvent, noteOffVelocity, 29, 29);
KVX_CHECK_OFFSET(VstMidiEvent, reserved1, 30, 30);
KVX_CHECK_OFFSET(VstMidiEvent, reserved2, 31, 31);

static_assert(sizeof(VstTimeInfo) == 88, "VstTimeInfo size");
KVX_CHECK_OFFSET(VstTimeInfo, samplePos, 0, 0);
KVX_CHECK_OFFSET(VstTimeInfo, sampleRate, 8, 8);
KVX_CHECK_OFFSET(VstTimeInfo, nanoSeconds, 16, 16);
KVX_CHECK_OFFSET(VstTimeInfo, ppqPos, 24, 24);
KVX_CHECK_OFFSET(VstTimeInfo, tempo, 32, 32);
KVX_CHECK_OFFSET(VstTimeInfo, barStartPos, 40, 40);
KVX_CHECK_OFFSET(VstTimeInfo, cycleStartPos, 48, 48);
KVX_CHECK_OFFSET(VstTimeInfo, cycleEndPos, 56, 56);
KVX_CHECK_OFFSET(VstTimeInfo, timeSigNumerator, 64, 64);
KVX_CHECK_OFFSET(VstTimeInfo, timeSigDenominator, 68, 68);
KVX_CHECK_OFFSET(VstTimeInfo, smpteOffset, 72, 72);
KVX_CHECK_OFFSET(VstTimeInfo, smpteFrameRate, 76, 76);
KVX_CHECK_OFFSET(VstTimeInfo, samplesToNextClock, 80, 80);
KVX_CHECK_OFFSET(VstTimeInfo, flags, 84, 84);

static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties size");
KVX_CHECK_OFFSET(VstPinProperties, label, 0, 0);
KVX_CHECK_OFFSET(VstPinProperties, flags, 64, 64);
KVX_CHECK_OFFSET(VstPinProperties, arrangementType, 68, 68);
KVX_CHECK_OFFSET(VstPinProperties, shortLabel, 72, 72);
KVX_CHECK_OFFSET(VstPinProperties, future, 80, 80);

static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties size");
KVX_CHECK_OFFSET(VstSpeakerProperties, azimuth, 0, 0);
KVX_CHECK_OFFSET(VstSpeakerProperties, elevation, 4, 4);
KVX_CHECK_OFFSET(VstSpeakerProperties, radius, 8, 8);
KVX_CHECK_OFFSET(VstSpeakerProperties, reserved, 12, 12);
KVX_CHECK_OFFSET(VstSpeakerProperties, name, 16, 16);
KVX_CHECK_OFFSET(VstSpeakerProperties, type, 80, 80);
KVX_CHECK_OFFSET(VstSpeakerProperties, future, 84, 84);

static_assert(sizeof(VstSpeakerArrangement) == 904, "VstSpeakerArrangement size");
KVX_CHECK_OFFSET(VstSpeakerArrangement, type, 0, 0);
KVX_CHECK_OFFSET(VstSpeakerArrangement, numChannels, 4, 4);
KVX_CHECK_OFFSET(VstSpeakerArrangement, speakers, 8, 8);

static_assert(sizeof(MidiKeyName) == 80, "MidiKeyName size");
KVX_CHECK_OFFSET(MidiKeyName, thisProgramIndex, 0, 0);
KVX_CHECK_OFFSET(MidiKeyName, thisKeyNumber, 4, 4);
KVX_CHECK_OFFSET(MidiKeyName, keyName, 8, 8);
KVX_CHECK_OFFSET(MidiKeyName, reserved, 72, 72);
KVX_CHECK_OFFSET(MidiKeyName, flags, 76, 76);

#undef KVX_CHECK_OFFSET
