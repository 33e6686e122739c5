#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The VST 2.x preset files every host exchanges: a program (.fxp) or a bank (.fxb), each either
// as parameter values ("FxCk", "FxBk") or as the plug-in's opaque chunk ("FPCh", "FBCh"). All
// numbers are big-endian; every record starts "CcnK" and the byte size of the rest.
struct PresetFile {
    enum class Kind { kProgram, kBank };
    enum class Form { kParameters, kChunk };

    struct Program {
        std::string name; // at most 27 bytes are kept, in a 28-byte field
        std::vector<float> values;
    };

    Kind kind = Kind::kProgram;
    Form form = Form::kParameters;
    std::int32_t formatVersion = 1; // banks are written as version 2, with the current program
    std::int32_t uniqueId = 0;
    std::int32_t pluginVersion = 0;
    // One program for a program file (with no values in the chunk form), every program of a
    // bank in the parameter form, none for a bank chunk.
    std::vector<Program> programs;
    std::int32_t currentProgram = 0; // banks of format version 2
    std::vector<unsigned char> chunk;
    // The count field of the chunk forms: the plug-in's parameters for a program, its programs
    // for a bank.
    std::int32_t chunkCount = 0;
};

// The file's bytes. The caller gives a consistent preset: equal parameter counts across a
// bank's programs, and no program list in a chunk program.
std::vector<unsigned char> EncodePreset(const PresetFile& preset);

// Reads a whole preset file; false with the reason when the bytes are not exactly one.
bool DecodePreset(const std::vector<unsigned char>& bytes, PresetFile* preset, std::string* error);

// The kind a file name's extension asks for: ".fxp" or ".fxb", any case.
bool PresetKindFor(const std::string& path, PresetFile::Kind* kind, std::string* error);
