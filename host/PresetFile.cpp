#include "host/PresetFile.h"

#include "host/FourCharCode.h"

#include <cctype>
#include <cstring>

namespace {

constexpr std::int32_t Code(const char (&text)[5]) {
    return std::int32_t(std::uint32_t(std::uint8_t(text[0])) << 24 |
                        std::uint32_t(std::uint8_t(text[1])) << 16 |
                        std::uint32_t(std::uint8_t(text[2])) << 8 | std::uint8_t(text[3]));
}

constexpr std::int32_t kRecordMagic = Code("CcnK");
constexpr std::int32_t kProgramValues = Code("FxCk");
constexpr std::int32_t kProgramChunk = Code("FPCh");
constexpr std::int32_t kBankValues = Code("FxBk");
constexpr std::int32_t kBankChunk = Code("FBCh");
constexpr std::size_t kNameBytes = 28;
constexpr std::size_t kBankReservedBytes = 128;
// Magic, size, form, format version, ID, plug-in version, count: seven 32-bit fields.
constexpr std::size_t kCommonHeader = 28;
constexpr std::size_t kProgramHeader = kCommonHeader + kNameBytes;
constexpr std::size_t kBankHeader = kCommonHeader + kBankReservedBytes;

class Writer {
public:
    void Int(std::int32_t value) {
        const std::uint32_t bits = std::uint32_t(value);
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back((unsigned char)(bits >> shift));
        }
    }
    void Float(float value) {
        std::int32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Int(bits);
    }
    void Name(const std::string& name) {
        const std::size_t kept = name.size() < kNameBytes ? name.size() : kNameBytes - 1;
        bytes.insert(bytes.end(), name.begin(), name.begin() + std::ptrdiff_t(kept));
        bytes.insert(bytes.end(), kNameBytes - kept, 0);
    }
    void Zeros(std::size_t count) { bytes.insert(bytes.end(), count, 0); }
    void Bytes(const std::vector<unsigned char>& data) {
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    // Writes the record size, counted after the magic and the size field, into the record
    // that starts at start.
    void CloseRecord(std::size_t start) {
        const std::uint32_t size = std::uint32_t(bytes.size() - start - 8);
        for (int i = 0; i < 4; ++i) {
            bytes[start + 4 + std::size_t(i)] = (unsigned char)(size >> (24 - 8 * i));
        }
    }

    std::vector<unsigned char> bytes;
};

// Starts a record: the magic, room for its size, the form and the identity fields.
std::size_t OpenRecord(Writer& out, std::int32_t form, const PresetFile& preset,
                       std::int32_t formatVersion, std::int32_t count) {
    const std::size_t start = out.bytes.size();
    out.Int(kRecordMagic);
    out.Int(0);
    out.Int(form);
    out.Int(formatVersion);
    out.Int(preset.uniqueId);
    out.Int(preset.pluginVersion);
    out.Int(count);
    return start;
}

void WriteValuesProgram(Writer& out, const PresetFile& preset, const PresetFile::Program& program) {
    const std::size_t start =
        OpenRecord(out, kProgramValues, preset, 1, std::int32_t(program.values.size()));
    out.Name(program.name);
    for (float value : program.values) {
        out.Float(value);
    }
    out.CloseRecord(start);
}

class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Left() const { return size_ - at_; }
    std::size_t At() const { return at_; }
    std::int32_t Int() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value = value << 8 | data_[at_++];
        }
        return std::int32_t(value);
    }
    float Float() {
        const std::int32_t bits = Int();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::string Name() {
        const char* text = reinterpret_cast<const char*>(data_ + at_);
        at_ += kNameBytes;
        return std::string(text, strnlen(text, kNameBytes));
    }
    void Skip(std::size_t count) { at_ += count; }
    std::vector<unsigned char> Bytes(std::size_t count) {
        std::vector<unsigned char> out(data_ + at_, data_ + at_ + count);
        at_ += count;
        return out;
    }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The record header up to its count; checks the magic and that the size it gives is exactly
// the bytes the record has (what follows it when whole is true, at least that otherwise).
bool ReadHeader(Reader& in, std::size_t headerBytes, const char* what, bool whole,
                std::int32_t* form, PresetFile* identity, std::int32_t* count,
                std::size_t* recordEnd, std::string* error) {
    if (in.Left() < headerBytes) {
        *error = std::string("the ") + what + " is cut short: " + std::to_string(in.Left()) +
                 " bytes where its header alone takes " + std::to_string(headerBytes);
        return false;
    }
    const std::size_t start = in.At();
    if (in.Int() != kRecordMagic) {
        *error = std::string("the ") + what + " does not start with the CcnK magic";
        return false;
    }
    const std::uint32_t size = std::uint32_t(in.Int());
    const std::size_t available = in.Left();
    if (size < headerBytes - 8 || size > available || (whole && size != available)) {
        *error =
            std::string("the ") + what + " says it holds " + std::to_string(size) +
            " bytes after its size field, but " +
            (size < headerBytes - 8 ? "its header alone takes " + std::to_string(headerBytes - 8)
                                    : std::to_string(available) + " follow") +
            (size > available            ? ": the file is truncated"
             : size < available && whole ? ": the file has bytes beyond it"
                                         : "");
        return false;
    }
    *recordEnd = start + 8 + size;
    *form = in.Int();
    identity->formatVersion = in.Int();
    identity->uniqueId = in.Int();
    identity->pluginVersion = in.Int();
    *count = in.Int();
    if (identity->formatVersion < 1 || identity->formatVersion > 2) {
        *error = std::string("the ") + what + " has format version " +
                 std::to_string(identity->formatVersion) + "; only versions 1 and 2 exist";
        return false;
    }
    if (*count < 0) {
        *error = std::string("the ") + what + " gives a negative count, " + std::to_string(*count);
        return false;
    }
    return true;
}

// The parameter values of a program record, after its name; they must fill the record.
bool ReadValues(Reader& in, std::int32_t count, std::size_t recordEnd, const char* what,
                std::vector<float>* values, std::string* error) {
    const std::size_t left = recordEnd - in.At();
    if (left / 4 != std::size_t(count) || left % 4 != 0) {
        *error = std::string("the ") + what + " says it has " + std::to_string(count) +
                 " parameter values, but its record holds " + std::to_string(left) +
                 " bytes for them";
        return false;
    }
    values->resize(std::size_t(count));
    for (float& value : *values) {
        value = in.Float();
    }
    return true;
}

// A chunk's size field and the chunk, which must fill the record to its end.
bool ReadChunk(Reader& in, std::size_t recordEnd, const char* what,
               std::vector<unsigned char>* chunk, std::string* error) {
    if (recordEnd - in.At() < 4) {
        *error = std::string("the ") + what + " has no room for its chunk size";
        return false;
    }
    const std::uint32_t size = std::uint32_t(in.Int());
    const std::size_t left = recordEnd - in.At();
    if (size != left) {
        *error = std::string("the ") + what + "'s chunk says " + std::to_string(size) +
                 " bytes, but " + std::to_string(left) + " follow" +
                 (size > left ? ": the file is truncated" : "");
        return false;
    }
    *chunk = in.Bytes(left);
    return true;
}

bool DecodeProgram(Reader& in, PresetFile* preset, std::string* error) {
    std::int32_t form = 0;
    std::int32_t count = 0;
    std::size_t end = 0;
    if (!ReadHeader(in, kProgramHeader, "program file", true, &form, preset, &count, &end, error)) {
        return false;
    }
    if (form != kProgramValues && form != kProgramChunk) {
        *error = "the file is of form '" + FourCharText(form) +
                 "', none of FxCk, FPCh (programs), FxBk and FBCh (banks)";
        return false;
    }
    preset->kind = PresetFile::Kind::kProgram;
    PresetFile::Program program;
    program.name = in.Name();
    if (form == kProgramValues) {
        preset->form = PresetFile::Form::kParameters;
        if (!ReadValues(in, count, end, "program file", &program.values, error)) {
            return false;
        }
    } else {
        preset->form = PresetFile::Form::kChunk;
        preset->chunkCount = count;
        if (!ReadChunk(in, end, "program file", &preset->chunk, error)) {
            return false;
        }
    }
    preset->programs = {program};
    return true;
}

bool DecodeBank(Reader& in, PresetFile* preset, std::string* error) {
    std::int32_t form = 0;
    std::int32_t count = 0;
    std::size_t end = 0;
    if (!ReadHeader(in, kBankHeader, "bank file", true, &form, preset, &count, &end, error)) {
        return false;
    }
    if (form != kBankValues && form != kBankChunk) {
        *error = "the file is of form '" + FourCharText(form) +
                 "', none of FxCk, FPCh (programs), FxBk and FBCh (banks)";
        return false;
    }
    preset->kind = PresetFile::Kind::kBank;
    preset->currentProgram = preset->formatVersion >= 2 ? in.Int() : 0;
    in.Skip(kBankReservedBytes - (preset->formatVersion >= 2 ? 4 : 0));
    if (form == kBankChunk) {
        preset->form = PresetFile::Form::kChunk;
        preset->chunkCount = count;
        return ReadChunk(in, end, "bank file", &preset->chunk, error);
    }
    preset->form = PresetFile::Form::kParameters;
    // Each program is a whole program record of its own; they fill the bank exactly.
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string what = "bank's program " + std::to_string(i + 1);
        PresetFile identity;
        std::int32_t programForm = 0;
        std::int32_t values = 0;
        std::size_t programEnd = 0;
        if (!ReadHeader(in, kProgramHeader, what.c_str(), false, &programForm, &identity, &values,
                        &programEnd, error)) {
            return false;
        }
        if (programForm != kProgramValues) {
            *error = "the " + what + " is of form '" + FourCharText(programForm) + "', not FxCk";
            return false;
        }
        if (identity.uniqueId != preset->uniqueId) {
            *error = "the " + what + " is for plug-in " + FourCharCodeText(identity.uniqueId) +
                     ", the bank for " + FourCharCodeText(preset->uniqueId);
            return false;
        }
        PresetFile::Program program;
        program.name = in.Name();
        if (!ReadValues(in, values, programEnd, what.c_str(), &program.values, error)) {
            return false;
        }
        if (i > 0 && program.values.size() != preset->programs[0].values.size()) {
            *error = "the " + what + " has " + std::to_string(values) +
                     " parameter values, the first program " +
                     std::to_string(preset->programs[0].values.size());
            return false;
        }
        preset->programs.push_back(program);
    }
    if (in.Left() != 0) {
        *error = "the bank file has " + std::to_string(in.Left()) + " bytes after its " +
                 std::to_string(count) + " programs";
        return false;
    }
    return true;
}

bool EndsWith(const std::string& text, const char* ending) {
    const std::size_t n = std::strlen(ending);
    if (text.size() < n) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != ending[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<unsigned char> EncodePreset(const PresetFile& preset) {
    Writer out;
    const bool chunk = preset.form == PresetFile::Form::kChunk;
    if (preset.kind == PresetFile::Kind::kProgram) {
        const PresetFile::Program program =
            preset.programs.empty() ? PresetFile::Program() : preset.programs[0];
        if (!chunk) {
            WriteValuesProgram(out, preset, program);
            return out.bytes;
        }
        const std::size_t start = OpenRecord(out, kProgramChunk, preset, 1, preset.chunkCount);
        out.Name(program.name);
        out.Int(std::int32_t(preset.chunk.size()));
        out.Bytes(preset.chunk);
        out.CloseRecord(start);
        return out.bytes;
    }
    const std::size_t start =
        OpenRecord(out, chunk ? kBankChunk : kBankValues, preset, 2,
                   chunk ? preset.chunkCount : std::int32_t(preset.programs.size()));
    out.Int(preset.currentProgram);
    out.Zeros(kBankReservedBytes - 4);
    if (chunk) {
        out.Int(std::int32_t(preset.chunk.size()));
        out.Bytes(preset.chunk);
    } else {
        for (const PresetFile::Program& program : preset.programs) {
            WriteValuesProgram(out, preset, program);
        }
    }
    out.CloseRecord(start);
    return out.bytes;
}

bool DecodePreset(const std::vector<unsigned char>& bytes, PresetFile* preset, std::string* error) {
    *preset = PresetFile();
    if (bytes.size() < 12) {
        *error = "the file is too short for a preset: " + std::to_string(bytes.size()) + " bytes";
        return false;
    }
    // The form, after the magic and the size, tells a program from a bank.
    Reader peek(bytes.data() + 8, 4);
    const std::int32_t form = peek.Int();
    Reader in(bytes.data(), bytes.size());
    const bool ok = form == kBankValues || form == kBankChunk ? DecodeBank(in, preset, error)
                                                              : DecodeProgram(in, preset, error);
    if (!ok) {
        *preset = PresetFile();
    }
    return ok;
}

bool PresetKindFor(const std::string& path, PresetFile::Kind* kind, std::string* error) {
    if (EndsWith(path, ".fxp")) {
        *kind = PresetFile::Kind::kProgram;
        return true;
    }
    if (EndsWith(path, ".fxb")) {
        *kind = PresetFile::Kind::kBank;
        return true;
    }
    *error = path + " names neither a program file (.fxp) nor a bank file (.fxb)";
    return false;
}
