#include "host/PresetExchange.h"

#include "host/FileBytes.h"
#include "host/FourCharCode.h"
#include "host/HostedPlugin.h"

namespace {

// Room for the largest chunks plug-ins keep (sample libraries), within a 32-bit size field.
constexpr std::size_t kMaxPresetBytes = std::size_t(1) << 30;

bool HasChunks(HostedPlugin& plugin, PresetFile::Kind kind) {
    return (plugin.Effect()->flags & effFlagsProgramChunks) ||
           !plugin.GetChunk(kind == PresetFile::Kind::kBank).empty();
}

std::string CurrentProgramName(HostedPlugin& plugin) {
    char name[256] = "";
    plugin.Dispatch(effGetProgramName, 0, 0, name);
    name[sizeof name - 1] = '\0';
    return name;
}

std::vector<float> ParameterValues(HostedPlugin& plugin) {
    std::vector<float> values(std::size_t(plugin.Effect()->numParams));
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = plugin.GetParameter(int(i));
    }
    return values;
}

void LoadProgram(HostedPlugin& plugin, const PresetFile::Program& program) {
    if (!program.name.empty()) {
        std::string name = program.name;
        plugin.Dispatch(effSetProgramName, 0, 0, &name[0]);
    }
    for (std::size_t i = 0; i < program.values.size(); ++i) {
        plugin.SetParameter(int(i), program.values[i]);
    }
}

bool CheckValues(const PresetFile::Program& program, int parameters, const std::string& where,
                 std::string* error) {
    if (program.values.size() != std::size_t(parameters)) {
        *error = where + " holds " + std::to_string(program.values.size()) +
                 " parameter values; the plug-in has " + std::to_string(parameters) + " parameters";
        return false;
    }
    for (std::size_t i = 0; i < program.values.size(); ++i) {
        const float v = program.values[i];
        if (!(v >= 0.0f && v <= 1.0f)) {
            *error = where + " gives parameter " + std::to_string(i) + " the value " +
                     std::to_string(v) + ", outside the normalized range 0 to 1";
            return false;
        }
    }
    return true;
}

// Everything that can be known before the plug-in is touched.
bool CheckFits(HostedPlugin& plugin, const PresetFile& preset, std::string* error) {
    const AEffect* effect = plugin.Effect();
    if (preset.uniqueId != effect->uniqueID) {
        *error = "the preset is for the plug-in with unique ID " +
                 FourCharCodeText(preset.uniqueId) + ", but this plug-in's ID is " +
                 FourCharCodeText(effect->uniqueID);
        return false;
    }
    if (preset.pluginVersion > effect->version) {
        *error = "the preset was saved by version " + std::to_string(preset.pluginVersion) +
                 " of the plug-in, newer than this version " + std::to_string(effect->version);
        return false;
    }
    const bool bank = preset.kind == PresetFile::Kind::kBank;
    if (preset.form == PresetFile::Form::kChunk) {
        if (!HasChunks(plugin, preset.kind)) {
            *error = "the preset holds a chunk, but the plug-in keeps no chunks (it does not set "
                     "effFlagsProgramChunks and gives none)";
            return false;
        }
        return true;
    }
    if (!bank) {
        return CheckValues(preset.programs[0], effect->numParams, "the program", error);
    }
    if (preset.programs.empty() || preset.programs.size() > std::size_t(effect->numPrograms)) {
        *error = "the bank holds " + std::to_string(preset.programs.size()) +
                 " programs; the plug-in has room for " + std::to_string(effect->numPrograms);
        return false;
    }
    if (preset.currentProgram < 0 || std::size_t(preset.currentProgram) >= preset.programs.size()) {
        *error = "the bank's current program, " + std::to_string(preset.currentProgram) +
                 ", is not one of its " + std::to_string(preset.programs.size()) + " programs";
        return false;
    }
    for (std::size_t i = 0; i < preset.programs.size(); ++i) {
        if (!CheckValues(preset.programs[i], effect->numParams,
                         "the bank's program " + std::to_string(i + 1), error)) {
            return false;
        }
    }
    return true;
}

} // namespace

PresetFile::Form NativePresetForm(HostedPlugin& plugin) {
    return (plugin.Effect()->flags & effFlagsProgramChunks) ? PresetFile::Form::kChunk
                                                            : PresetFile::Form::kParameters;
}

bool CapturePreset(HostedPlugin& plugin, PresetFile::Kind kind, PresetFile::Form form,
                   PresetFile* preset, std::string* error) {
    const AEffect* effect = plugin.Effect();
    *preset = PresetFile();
    preset->kind = kind;
    preset->form = form;
    preset->uniqueId = effect->uniqueID;
    preset->pluginVersion = effect->version;
    const bool bank = kind == PresetFile::Kind::kBank;
    preset->formatVersion = bank ? 2 : 1;
    const int current = int(plugin.Dispatch(effGetProgram));
    if (bank && effect->numPrograms < 1) {
        *error = "the plug-in has no programs, so a bank would hold nothing; save a program "
                 "(.fxp) instead";
        return false;
    }
    preset->currentProgram = bank ? current : 0;
    if (form == PresetFile::Form::kChunk) {
        preset->chunk = plugin.GetChunk(bank);
        if (preset->chunk.empty()) {
            *error = std::string("the plug-in gives no ") + (bank ? "bank" : "program") +
                     " chunk; save its parameter values instead (--form params)";
            return false;
        }
        preset->chunkCount = bank ? effect->numPrograms : effect->numParams;
        if (!bank) {
            preset->programs = {{CurrentProgramName(plugin), {}}};
        }
        return true;
    }
    if (!bank) {
        preset->programs = {{CurrentProgramName(plugin), ParameterValues(plugin)}};
        return true;
    }
    for (int i = 0; i < effect->numPrograms; ++i) {
        plugin.Dispatch(effSetProgram, 0, i);
        preset->programs.push_back({CurrentProgramName(plugin), ParameterValues(plugin)});
    }
    plugin.Dispatch(effSetProgram, 0, current);
    return true;
}

bool ApplyPreset(HostedPlugin& plugin, const PresetFile& preset, std::string* error) {
    if (!CheckFits(plugin, preset, error)) {
        return false;
    }
    const bool bank = preset.kind == PresetFile::Kind::kBank;
    if (preset.form == PresetFile::Form::kChunk) {
        if (!plugin.SetChunk(preset.chunk, bank)) {
            *error = "the plug-in refused the preset's chunk";
            return false;
        }
        if (!bank && !preset.programs.empty() && !preset.programs[0].name.empty()) {
            std::string name = preset.programs[0].name;
            plugin.Dispatch(effSetProgramName, 0, 0, &name[0]);
        }
        return true;
    }
    if (!bank) {
        LoadProgram(plugin, preset.programs[0]);
        return true;
    }
    for (std::size_t i = 0; i < preset.programs.size(); ++i) {
        plugin.Dispatch(effSetProgram, 0, VstIntPtr(i));
        LoadProgram(plugin, preset.programs[i]);
    }
    plugin.Dispatch(effSetProgram, 0, preset.currentProgram);
    return true;
}

bool ReadPresetFile(const std::string& path, PresetFile* preset, std::string* error) {
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(path, kMaxPresetBytes, &bytes, error)) {
        return false;
    }
    if (!DecodePreset(bytes, preset, error)) {
        *error = path + " is no valid preset: " + *error;
        return false;
    }
    return true;
}

std::string DescribePreset(const PresetFile& preset) {
    const bool bank = preset.kind == PresetFile::Kind::kBank;
    const bool chunk = preset.form == PresetFile::Form::kChunk;
    const char* form = bank ? (chunk ? "FBCh" : "FxBk") : (chunk ? "FPCh" : "FxCk");
    const std::size_t programs = chunk ? std::size_t(preset.chunkCount) : preset.programs.size();
    std::string text =
        bank ? "bank of " + std::to_string(programs) + " programs"
             : "program '" + (preset.programs.empty() ? "" : preset.programs[0].name) + "'";
    text += std::string(" (") + form + ", ";
    if (chunk) {
        return text + std::to_string(preset.chunk.size()) + "-byte chunk)";
    }
    const std::size_t values = preset.programs.empty() ? 0 : preset.programs[0].values.size();
    return text + std::to_string(values) + " parameters)";
}
