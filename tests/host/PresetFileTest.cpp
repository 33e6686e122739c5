// The preset file format on its own: files laid out by hand, byte for byte, against what the
// encoder writes, and every way a file can be broken.

#include "host/PresetFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Builds a file as the format describes it, field by field.
struct Bytes {
    Bytes& Text(const char* four) {
        data.insert(data.end(), four, four + 4);
        return *this;
    }
    Bytes& Int(std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            data.push_back((unsigned char)(v >> shift));
        }
        return *this;
    }
    Bytes& Float(float f) {
        std::uint32_t v;
        std::memcpy(&v, &f, 4);
        return Int(v);
    }
    Bytes& Name(const char* name) {
        const std::size_t n = std::strlen(name);
        data.insert(data.end(), name, name + n);
        data.insert(data.end(), 28 - n, 0);
        return *this;
    }
    Bytes& Zeros(std::size_t n) {
        data.insert(data.end(), n, 0);
        return *this;
    }
    Bytes& Append(const std::vector<unsigned char>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }
    std::vector<unsigned char> data;
};

const std::int32_t kId = 0x4B764761; // 'KvGa'

std::vector<unsigned char> HandProgram(const char* name, std::vector<float> values,
                                       std::uint32_t id = kId) {
    Bytes b;
    b.Text("CcnK").Int(48 + 4 * std::uint32_t(values.size())).Text("FxCk").Int(1).Int(id).Int(7);
    b.Int(std::uint32_t(values.size())).Name(name);
    for (float v : values) {
        b.Float(v);
    }
    return b.data;
}

PresetFile Program(const char* name, std::vector<float> values) {
    PresetFile preset;
    preset.uniqueId = kId;
    preset.pluginVersion = 7;
    preset.programs = {{name, values}};
    return preset;
}

PresetFile Decoded(const std::vector<unsigned char>& bytes) {
    PresetFile preset;
    std::string error;
    EXPECT_TRUE(DecodePreset(bytes, &preset, &error)) << error;
    return preset;
}

// Decoding must fail with a message holding reason, leaving an empty preset.
void ExpectRefused(const std::vector<unsigned char>& bytes, const std::string& reason) {
    PresetFile preset;
    preset.uniqueId = 99;
    std::string error;
    EXPECT_FALSE(DecodePreset(bytes, &preset, &error)) << reason;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
    EXPECT_EQ(preset.uniqueId, 0);
    EXPECT_TRUE(preset.programs.empty());
}

TEST(PresetFile, ProgramsInBothFormsAreLaidOutAsHandWritten) {
    const PresetFile values = Program("Crunch", {0.25f, 1.0f, 0.0f});
    EXPECT_EQ(EncodePreset(values), HandProgram("Crunch", {0.25f, 1.0f, 0.0f}));
    const PresetFile back = Decoded(EncodePreset(values));
    EXPECT_EQ(back.kind, PresetFile::Kind::kProgram);
    EXPECT_EQ(back.form, PresetFile::Form::kParameters);
    EXPECT_EQ(back.uniqueId, kId);
    EXPECT_EQ(back.pluginVersion, 7);
    ASSERT_EQ(back.programs.size(), 1u);
    EXPECT_EQ(back.programs[0].name, "Crunch");
    EXPECT_EQ(back.programs[0].values, values.programs[0].values);

    PresetFile chunk = Program("Lead", {});
    chunk.form = PresetFile::Form::kChunk;
    chunk.chunk = {1, 2, 3, 250, 0};
    chunk.chunkCount = 7;
    Bytes hand;
    hand.Text("CcnK").Int(57).Text("FPCh").Int(1).Int(kId).Int(7).Int(7).Name("Lead").Int(5);
    hand.Append(chunk.chunk);
    EXPECT_EQ(EncodePreset(chunk), hand.data);
    const PresetFile chunkBack = Decoded(hand.data);
    EXPECT_EQ(chunkBack.form, PresetFile::Form::kChunk);
    EXPECT_EQ(chunkBack.chunk, chunk.chunk);
    EXPECT_EQ(chunkBack.chunkCount, 7);
    EXPECT_EQ(chunkBack.programs[0].name, "Lead");

    // A name fills at most 27 bytes, so the field always ends in a zero.
    const std::vector<unsigned char> longName =
        EncodePreset(Program("A name far longer than the field holds", {}));
    EXPECT_EQ(longName, HandProgram("A name far longer than the ", {}));
    EXPECT_EQ(Decoded(longName).programs[0].name, "A name far longer than the ");
}

TEST(PresetFile, BanksInBothFormsAreLaidOutAsHandWritten) {
    PresetFile bank;
    bank.kind = PresetFile::Kind::kBank;
    bank.uniqueId = kId;
    bank.pluginVersion = 7;
    bank.currentProgram = 1;
    bank.programs = {{"One", {0.5f, 0.125f}}, {"Two", {1.0f, 0.75f}}};
    Bytes hand;
    const std::vector<unsigned char> one = HandProgram("One", {0.5f, 0.125f});
    const std::vector<unsigned char> two = HandProgram("Two", {1.0f, 0.75f});
    hand.Text("CcnK").Int(std::uint32_t(148 + one.size() + two.size())).Text("FxBk").Int(2);
    hand.Int(kId).Int(7).Int(2).Int(1).Zeros(124).Append(one).Append(two);
    EXPECT_EQ(EncodePreset(bank), hand.data);
    const PresetFile back = Decoded(hand.data);
    EXPECT_EQ(back.kind, PresetFile::Kind::kBank);
    EXPECT_EQ(back.form, PresetFile::Form::kParameters);
    EXPECT_EQ(back.formatVersion, 2);
    EXPECT_EQ(back.currentProgram, 1);
    ASSERT_EQ(back.programs.size(), 2u);
    EXPECT_EQ(back.programs[1].name, "Two");
    EXPECT_EQ(back.programs[1].values, bank.programs[1].values);

    PresetFile chunk;
    chunk.kind = PresetFile::Kind::kBank;
    chunk.form = PresetFile::Form::kChunk;
    chunk.uniqueId = kId;
    chunk.pluginVersion = 7;
    chunk.currentProgram = 3;
    chunk.chunkCount = 16;
    chunk.chunk = std::vector<unsigned char>(300, 0xAB);
    Bytes handChunk;
    handChunk.Text("CcnK").Int(148 + 4 + 300).Text("FBCh").Int(2).Int(kId).Int(7).Int(16);
    handChunk.Int(3).Zeros(124).Int(300).Append(chunk.chunk);
    EXPECT_EQ(EncodePreset(chunk), handChunk.data);
    const PresetFile chunkBack = Decoded(handChunk.data);
    EXPECT_EQ(chunkBack.chunk, chunk.chunk);
    EXPECT_EQ(chunkBack.chunkCount, 16);
    EXPECT_EQ(chunkBack.currentProgram, 3);

    // Format version 1 banks have no current program: the reserved bytes are skipped.
    std::vector<unsigned char> version1 = handChunk.data;
    version1[15] = 1;
    EXPECT_EQ(Decoded(version1).currentProgram, 0);
}

TEST(PresetFile, EveryMalformedFileIsRefusedWithItsReason) {
    const std::vector<unsigned char> good = HandProgram("Crunch", {0.25f, 1.0f, 0.0f});
    const auto with = [&good](std::size_t at, std::vector<unsigned char> bytes) {
        std::vector<unsigned char> changed = good;
        std::copy(bytes.begin(), bytes.end(), changed.begin() + std::ptrdiff_t(at));
        return changed;
    };
    ExpectRefused({}, "too short for a preset: 0 bytes");
    ExpectRefused({'C', 'c', 'n', 'K', 0, 0, 0, 4, 'F', 'x'}, "too short");
    ExpectRefused(std::vector<unsigned char>(good.begin(), good.begin() + 40),
                  "cut short: 40 bytes where its header alone takes 56");
    ExpectRefused(std::vector<unsigned char>(good.begin(), good.end() - 1),
                  "says it holds 60 bytes after its size field, but 59 follow: the file is "
                  "truncated");
    std::vector<unsigned char> longer = good;
    longer.push_back(0);
    ExpectRefused(longer, "but 61 follow: the file has bytes beyond it");
    ExpectRefused(with(0, {'C', 'c', 'n', 'k'}), "does not start with the CcnK magic");
    ExpectRefused(with(8, {'F', 'x', 'C', 'x'}),
                  "of form 'FxCx', none of FxCk, FPCh (programs), FxBk and FBCh (banks)");
    ExpectRefused(with(12, {0, 0, 0, 3}), "format version 3; only versions 1 and 2 exist");
    ExpectRefused(with(4, {0, 0, 0, 20}), "its header alone takes 48");
    ExpectRefused(with(24, {0xFF, 0xFF, 0xFF, 0xFF}), "negative count, -1");
    ExpectRefused(with(24, {0, 0, 0, 4}), "says it has 4 parameter values, but its record "
                                          "holds 12 bytes");
    // A count far beyond the file is caught before anything is made for it.
    ExpectRefused(with(24, {0x7F, 0xFF, 0xFF, 0xFF}), "2147483647 parameter values");

    Bytes chunk;
    chunk.Text("CcnK").Int(57).Text("FPCh").Int(1).Int(kId).Int(7).Int(7).Name("Lead").Int(5);
    chunk.Zeros(5);
    Decoded(chunk.data);
    std::vector<unsigned char> chunkSize = chunk.data;
    chunkSize[59] = 9;
    ExpectRefused(chunkSize, "chunk says 9 bytes, but 5 follow: the file is truncated");
    chunkSize[59] = 2;
    ExpectRefused(chunkSize, "chunk says 2 bytes, but 5 follow");
    Bytes noRoom;
    noRoom.Text("CcnK").Int(48).Text("FPCh").Int(1).Int(kId).Int(7).Int(7).Name("Lead");
    ExpectRefused(noRoom.data, "no room for its chunk size");

    const std::vector<unsigned char> program = HandProgram("P", {0.5f});
    const auto bank = [](std::vector<std::vector<unsigned char>> programs) {
        Bytes b;
        std::size_t size = 148;
        for (const auto& p : programs) {
            size += p.size();
        }
        b.Text("CcnK").Int(std::uint32_t(size)).Text("FxBk").Int(2).Int(kId).Int(7);
        b.Int(std::uint32_t(programs.size())).Zeros(128);
        for (const auto& p : programs) {
            b.Append(p);
        }
        return b.data;
    };
    Decoded(bank({program, program}));
    const std::vector<unsigned char> one = bank({program});
    ExpectRefused(std::vector<unsigned char>(one.begin(), one.begin() + 100),
                  "the bank file is cut short: 100 bytes where its header alone takes 156");
    std::vector<unsigned char> otherForm = program;
    otherForm[11] = 'x';
    ExpectRefused(bank({program, otherForm}), "bank's program 2 is of form 'FxCx', not FxCk");
    ExpectRefused(bank({program, HandProgram("P", {0.5f}, 0x41424344)}),
                  "bank's program 2 is for plug-in ABCD (0x41424344), the bank for KvGa");
    ExpectRefused(bank({program, HandProgram("P", {0.5f, 0.5f})}),
                  "bank's program 2 has 2 parameter values, the first program 1");
    std::vector<unsigned char> cut = program;
    cut[7] = 200;
    ExpectRefused(bank({cut}), "bank's program 1 says it holds 200 bytes");
    std::vector<unsigned char> counted = bank({program, program});
    counted[27] = 1;
    ExpectRefused(counted, "has 60 bytes after its 1 programs");
    counted[27] = 3;
    ExpectRefused(counted, "bank's program 3 is cut short: 0 bytes");
    std::vector<unsigned char> chunkBank = bank({});
    chunkBank[11] = 'h';
    ExpectRefused(chunkBank, "of form 'FxBh', none of");
}

TEST(PresetFile, KindComesFromTheExtension) {
    PresetFile::Kind kind = PresetFile::Kind::kBank;
    std::string error;
    EXPECT_TRUE(PresetKindFor("a/b.FXP", &kind, &error));
    EXPECT_EQ(kind, PresetFile::Kind::kProgram);
    EXPECT_TRUE(PresetKindFor("bank.fxb", &kind, &error));
    EXPECT_EQ(kind, PresetFile::Kind::kBank);
    EXPECT_FALSE(PresetKindFor("fxp", &kind, &error));
    EXPECT_FALSE(PresetKindFor("preset.fxc", &kind, &error));
    EXPECT_EQ(error, "preset.fxc names neither a program file (.fxp) nor a bank file (.fxb)");
}

} // namespace
