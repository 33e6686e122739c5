#include "TestPlug.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> GetChunk(TestPlug& plug, bool bank) {
    void* data = nullptr;
    const VstIntPtr size = plug.Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    return size > 0 ? std::vector<unsigned char>(bytes, bytes + size)
                    : std::vector<unsigned char>();
}

VstIntPtr SetChunk(TestPlug& plug, std::vector<unsigned char> bytes, bool bank) {
    return plug.Dispatch(effSetChunk, bank ? 0 : 1, VstIntPtr(bytes.size()), bytes.data());
}

std::vector<unsigned char> Values(std::vector<double> values) {
    std::vector<unsigned char> bytes(values.size() * 8);
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

std::vector<unsigned char> Header() {
    return {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
}

std::vector<unsigned char> Concat(std::vector<unsigned char> a,
                                  const std::vector<unsigned char>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

double ValueOf(TestPlug& plug, int i) {
    return plug.GetParam(i)->Value();
}

} // namespace

TEST(Programs, SlotsStartNamedByNumberAndUserPresetsCount) {
    TestPlug plug;
    EXPECT_STREQ(plug.ProgramName(0), "- 1 -");
    EXPECT_STREQ(plug.ProgramName(3), "- 4 -");
    EXPECT_STREQ(plug.ProgramName(4), "");
    EXPECT_STREQ(plug.ProgramName(-1), "");

    plug.GetParam(0)->SetPlain(0.75);
    EXPECT_TRUE(plug.SelectProgram(2));
    EXPECT_STREQ(plug.ProgramName(2), "user preset 1");
    EXPECT_EQ(plug.CurrentProgram(), 2);
    EXPECT_TRUE(plug.SelectProgram(3));
    EXPECT_STREQ(plug.ProgramName(3), "user preset 2");

    plug.GetParam(0)->SetPlain(0.1);
    EXPECT_TRUE(plug.SelectProgram(2));
    EXPECT_EQ(ValueOf(plug, 0), 0.75) << "a user preset keeps the values it was made with";

    EXPECT_FALSE(plug.SelectProgram(4));
    EXPECT_FALSE(plug.SelectProgram(-1));
    EXPECT_EQ(plug.CurrentProgram(), 2);
}

TEST(Programs, DefineProgramTakesIntsForIntegerKindsAndDoublesOtherwise) {
    TestPlug::Options options;
    options.numParams = 2;
    options.defineParams = false;
    TestPlug plug(options);
    plug.GetParam(0)->DefineContinuous("Knob", 0.25, 0.0, 1.0, 0.01, "");
    plug.GetParam(1)->DefineEnumerated("Switch", 0, 3);
    plug.DefineProgram("First", 0.5, 2);
    plug.DefineProgramsFromCurrent(nullptr, 2);
    plug.DefineProgramsFromCurrent("Rest", 5);
    EXPECT_STREQ(plug.ProgramName(0), "First");
    EXPECT_STREQ(plug.ProgramName(1), "Default");
    EXPECT_STREQ(plug.ProgramName(3), "Rest");
    EXPECT_EQ(ValueOf(plug, 1), 0.0) << "defining a program touches no parameter";

    EXPECT_TRUE(plug.SelectProgram(0));
    EXPECT_EQ(ValueOf(plug, 0), 0.5);
    EXPECT_EQ(ValueOf(plug, 1), 2.0);

    plug.DefineProgram("Too many", 0.9, 1);
    EXPECT_EQ(ValueOf(plug, 0), 0.5);
    for (int i = 0; i < 4; ++i) {
        EXPECT_STRNE(plug.ProgramName(i), "Too many");
    }
}

TEST(Programs, StoreCurrentProgramKeepsTheNameWhenEmptyAndSetProgramSavesTheOldOne) {
    TestPlug plug;
    plug.DefineProgramsFromCurrent("Init", 4);
    plug.StoreCurrentProgram("");
    EXPECT_STREQ(plug.ProgramName(0), "Init");
    plug.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("Crunch"));
    EXPECT_STREQ(plug.ProgramName(0), "Crunch");
    char name[256];
    plug.Dispatch(effGetProgramName, 0, 0, name);
    EXPECT_STREQ(name, "Crunch");

    plug.GetParam(1)->SetPlain(0.9);
    plug.Dispatch(effSetProgram, 0, 1);
    EXPECT_EQ(plug.Dispatch(effGetProgram), 1);
    EXPECT_EQ(ValueOf(plug, 1), 0.25);
    plug.Dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(ValueOf(plug, 1), 0.9) << "leaving a program stores the edits into it";

    EXPECT_EQ(plug.Dispatch(effGetProgramNameIndexed, 1, 0, name), 1);
    EXPECT_STREQ(name, "Init");
    EXPECT_EQ(plug.Dispatch(effGetProgramNameIndexed, 9, 0, name), 0);
    EXPECT_STREQ(name, "");
}

TEST(Programs, EnsureOneProgramOnlyWhenThereIsNone) {
    TestPlug::Options options;
    options.numPrograms = 0;
    TestPlug plug(options);
    EXPECT_EQ(plug.NumPrograms(), 0);
    plug.EnsureOneProgram();
    plug.EnsureOneProgram();
    EXPECT_EQ(plug.NumPrograms(), 1);
    EXPECT_STREQ(plug.ProgramName(0), "Default");
}

TEST(StateChunks, HeaderThenLittleEndianDoubles) {
    TestPlug plug;
    plug.GetParam(2)->SetPlain(0.5);
    const auto chunk = GetChunk(plug, true);
    ASSERT_EQ(chunk.size(), 8u + 3 * 8);
    EXPECT_EQ(std::vector<unsigned char>(chunk.begin(), chunk.begin() + 8), Header());
    EXPECT_EQ(std::vector<unsigned char>(chunk.begin() + 8, chunk.end()),
              Values({0.25, 0.25, 0.5}));
    EXPECT_EQ(GetChunk(plug, false), chunk);
    EXPECT_EQ(plug.Dispatch(effGetChunk, 0, 0, nullptr), 0);
}

TEST(StateChunks, BankGetStoresTheCurrentProgramFirst) {
    TestPlug plug;
    plug.DefineProgramsFromCurrent("Init", 4);
    plug.GetParam(0)->SetPlain(0.6);
    GetChunk(plug, false);
    plug.SelectProgram(0);
    EXPECT_EQ(ValueOf(plug, 0), 0.25) << "a program chunk does not touch the program";
    plug.GetParam(0)->SetPlain(0.6);
    GetChunk(plug, true);
    plug.GetParam(0)->SetPlain(0.1);
    plug.SelectProgram(0);
    EXPECT_EQ(ValueOf(plug, 0), 0.6);
}

TEST(StateChunks, LoadingLimitsToTheRangeAndRefreshesTheEditor) {
    TestPlug plug;
    plug.AttachEditor(new RecordingEditor(100, 50));
    RecordingEditor* editor = static_cast<RecordingEditor*>(plug.Editor());
    editor->updates.clear();
    plug.parameterChanges.clear();
    EXPECT_EQ(SetChunk(plug, Concat(Header(), Values({7.0, -1.0, 0.5})), true), 1);
    EXPECT_EQ(ValueOf(plug, 0), 1.0);
    EXPECT_EQ(ValueOf(plug, 1), 0.0);
    EXPECT_EQ(ValueOf(plug, 2), 0.5);
    EXPECT_EQ(plug.parameterChanges, (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(editor->updates.size(), 3u);
    EXPECT_FALSE(editor->updates[2].normalized) << "the editor is refreshed with plain values";
    EXPECT_EQ(editor->updates[2].value, 0.5);
}

TEST(StateChunks, ChunkWithoutTheMagicIsReadFromByteZero) {
    TestPlug plug;
    EXPECT_EQ(SetChunk(plug, Values({0.1, 0.2, 0.3}), false), 1);
    EXPECT_EQ(ValueOf(plug, 2), 0.3);
}

TEST(StateChunks, MagicWithoutVersionFailsBeforeReadingButStillNotifiesAndStores) {
    TestPlug plug;
    plug.DefineProgramsFromCurrent("Init", 4);
    plug.GetParam(0)->SetPlain(0.8);
    plug.parameterChanges.clear();
    for (size_t size = 4; size <= 7; ++size) {
        auto bytes = Header();
        bytes.resize(size);
        EXPECT_EQ(SetChunk(plug, bytes, true), 0) << size;
    }
    EXPECT_EQ(ValueOf(plug, 0), 0.8);
    EXPECT_EQ(plug.parameterChanges.size(), 12u) << "every parameter is notified on each try";
    plug.GetParam(0)->SetPlain(0.3);
    plug.SelectProgram(0);
    EXPECT_EQ(ValueOf(plug, 0), 0.8) << "the failed load stored the values into the program";
}

TEST(StateChunks, TruncatedValuesApplyUpToTheGap) {
    TestPlug plug;
    auto bytes = Concat(Header(), Values({0.9, 0.8, 0.7}));
    bytes.resize(8 + 8 + 5);
    EXPECT_EQ(SetChunk(plug, bytes, true), 0);
    EXPECT_EQ(ValueOf(plug, 0), 0.9);
    EXPECT_EQ(ValueOf(plug, 1), 0.0) << "the parameter at the gap reads 0";
    EXPECT_EQ(ValueOf(plug, 2), 0.25) << "later parameters keep their values";
    EXPECT_EQ(plug.CurrentProgram(), 0);
}

TEST(StateChunks, OldVersionBankAlsoStoresIntoTheCurrentProgram) {
    TestPlug plug;
    plug.DefineProgramsFromCurrent("Init", 4);
    auto old = Concat(Header(), Values({0.4, 0.4, 0.4}));
    old[6] = 0x00;
    EXPECT_EQ(SetChunk(plug, old, true), 1);
    plug.GetParam(0)->SetPlain(0.0);
    plug.SelectProgram(0);
    EXPECT_EQ(ValueOf(plug, 0), 0.4);

    auto current = Concat(Header(), Values({0.6, 0.6, 0.6}));
    EXPECT_EQ(SetChunk(plug, current, true), 1);
    plug.SelectProgram(0);
    EXPECT_EQ(ValueOf(plug, 0), 0.4) << "a current bank leaves the program alone";
}

TEST(StateChunks, RefusesNullAndNegativeSizesWithoutChangingAnything) {
    TestPlug plug;
    plug.parameterChanges.clear();
    auto bytes = Concat(Header(), Values({0.9, 0.9, 0.9}));
    EXPECT_EQ(plug.Dispatch(effSetChunk, 0, 64, nullptr), 0);
    EXPECT_EQ(plug.Dispatch(effSetChunk, 0, -1, bytes.data()), 0);
    EXPECT_EQ(plug.Dispatch(effSetChunk, 1, -64, bytes.data()), 0);
    EXPECT_EQ(ValueOf(plug, 0), 0.25);
    EXPECT_TRUE(plug.parameterChanges.empty());
}

TEST(StateChunks, GetChunkBufferStaysValidUntilTheNextCallOfTheSameKind) {
    TestPlug plug;
    void* bank = nullptr;
    void* program = nullptr;
    plug.Dispatch(effGetChunk, 0, 0, &bank);
    const std::vector<unsigned char> saved(static_cast<unsigned char*>(bank),
                                           static_cast<unsigned char*>(bank) + 32);
    plug.GetParam(0)->SetPlain(1.0);
    plug.Dispatch(effGetChunk, 1, 0, &program);
    EXPECT_NE(bank, program);
    EXPECT_EQ(std::memcmp(bank, saved.data(), saved.size()), 0);
}

TEST(ProgramNames, NeverLongerThanTheHostsTwentyFourBytes) {
    TestPlug plug;
    const std::string longName(300, 'n');
    plug.Dispatch(effSetProgramName, 0, 0, const_cast<char*>(longName.c_str()));
    // The interface promises a host buffer of 24 bytes only; anything past it is someone else's.
    struct Guarded {
        char name[24];
        char guard[232];
    } buffer;
    for (VstInt32 opcode : {effGetProgramName, effGetProgramNameIndexed}) {
        std::memset(&buffer, 0x5A, sizeof buffer);
        plug.Dispatch(opcode, 0, 0, &buffer);
        EXPECT_EQ(std::string(buffer.name), std::string(23, 'n')) << opcode;
        EXPECT_EQ(std::string(buffer.guard, sizeof buffer.guard), std::string(232, 0x5A)) << opcode;
    }
    plug.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("Crunch"));
    plug.Dispatch(effGetProgramName, 0, 0, &buffer);
    EXPECT_STREQ(buffer.name, "Crunch");
}

TEST(StateChunks, TheHostMayHandBackThePluginsOwnChunk) {
    TestPlug::Options options;
    options.doesStateChunks = true;
    TestPlug plug(options);
    for (bool bank : {true, false}) {
        const VstInt32 index = bank ? 0 : 1;
        plug.GetParam(0)->SetPlain(0.75);
        plug.GetParam(1)->SetPlain(0.5);
        void* data = nullptr;
        const VstIntPtr size = plug.Dispatch(effGetChunk, index, 0, &data);
        ASSERT_EQ(size, 8 + 3 * 8);
        plug.GetParam(0)->SetPlain(0.0);
        plug.GetParam(1)->SetPlain(0.0);
        // At its own address: the same state comes back.
        EXPECT_EQ(plug.Dispatch(effSetChunk, index, size, data), 1);
        EXPECT_EQ(ValueOf(plug, 0), 0.75);
        EXPECT_EQ(ValueOf(plug, 1), 0.5);
        // Past the header, inside the same buffer: read from byte zero, as any headerless chunk.
        data = nullptr;
        plug.Dispatch(effGetChunk, index, 0, &data);
        plug.GetParam(0)->SetPlain(0.0);
        EXPECT_EQ(plug.Dispatch(effSetChunk, index, size - 8, static_cast<char*>(data) + 8), 1);
        EXPECT_EQ(ValueOf(plug, 0), 0.75);
        EXPECT_EQ(ValueOf(plug, 2), 0.25);
        // A length running past the plug-in's own buffer is refused.
        data = nullptr;
        plug.Dispatch(effGetChunk, index, 0, &data);
        EXPECT_EQ(plug.Dispatch(effSetChunk, index, size, static_cast<char*>(data) + 8), 0);
    }
}
