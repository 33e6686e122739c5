// kvx-host preset save|load: the plug-in's current program or whole bank as a VST 2.x preset
// file (.fxp or .fxb), as every host imports and exports them.

#include "host/CommandErrors.h"
#include "host/Commands.h"
#include "host/FileBytes.h"
#include "host/FourCharCode.h"
#include "host/HostedPlugin.h"
#include "host/ParameterSetting.h"
#include "host/PresetExchange.h"

#include <cstdio>

namespace {

const char kUsage[] =
    "usage: kvx-host preset save [PLUGIN] -o FILE.fxp|FILE.fxb [--set NAME=VALUE ...]\n"
    "                            [--name TEXT] [--form chunk|params]\n"
    "       kvx-host preset load [PLUGIN] -i FILE.fxp|FILE.fxb\n"
    "\n"
    "Saves the plug-in's current program (.fxp) or its whole bank (.fxb) as a VST 2.x preset\n"
    "file, or loads one and prints the parameters it leaves. Loading checks the file whole\n"
    "(magic, sizes, the plug-in's unique ID and version, the counts) before the plug-in is\n"
    "touched.\n"
    "\n"
    "  PLUGIN            the plug-in module (default: the built Kelvorantumix)\n"
    "  -o FILE           the file to write; .fxp for a program, .fxb for a bank\n"
    "  -i FILE           the file to load, a program or a bank in either form\n"
    "  --set NAME=VALUE  set a parameter before saving (repeatable)\n"
    "  --name TEXT       name the current program before saving (27 characters are kept)\n"
    "  --form FORM       chunk: the plug-in's opaque state (FPCh, FBCh); params: the\n"
    "                    parameter values (FxCk, FxBk). Default: chunk when the plug-in sets\n"
    "                    effFlagsProgramChunks, params otherwise\n";

int Usage(const std::string& problem) {
    return UsageError("preset", problem, kUsage);
}

struct PresetOptions {
    bool save = false;
    std::string plugin;
    std::string file;
    std::vector<ParameterSetting> settings;
    std::string name;
    bool hasName = false;
    std::string form;
};

// Parses the words after "preset"; -1 to go on, or the exit code.
int ParseOptions(const std::vector<std::string>& args, PresetOptions* options) {
    if (!args.empty() && (args[0] == "-h" || args[0] == "--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.empty() || (args[0] != "save" && args[0] != "load")) {
        return Usage("say save or load");
    }
    options->save = args[0] == "save";
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool takesValue =
            word == "-o" || word == "-i" || word == "--set" || word == "--name" || word == "--form";
        if (takesValue && i + 1 == args.size()) {
            return Usage(word + " needs a value");
        }
        if (word == "-h" || word == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if ((word == "-o" && options->save) || (word == "-i" && !options->save)) {
            options->file = args[++i];
        } else if (word == "--set" && options->save) {
            ParameterSetting setting;
            std::string error;
            if (!ParseParameterSetting(args[++i], &setting, &error)) {
                return Usage(error);
            }
            options->settings.push_back(setting);
        } else if (word == "--name" && options->save) {
            options->name = args[++i];
            options->hasName = true;
        } else if (word == "--form" && options->save) {
            options->form = args[++i];
            if (options->form != "chunk" && options->form != "params") {
                return Usage("--form takes chunk or params, not '" + options->form + "'");
            }
        } else if (!word.empty() && word[0] != '-' && options->plugin.empty()) {
            options->plugin = word;
        } else {
            return Usage("unexpected '" + word + "' for preset " + args[0]);
        }
    }
    if (options->file.empty()) {
        return Usage(options->save ? "-o FILE is required" : "-i FILE is required");
    }
    return -1;
}

int Save(HostedPlugin& plugin, const PresetOptions& options) {
    std::string error;
    PresetFile::Kind kind = PresetFile::Kind::kProgram;
    if (!PresetKindFor(options.file, &kind, &error)) {
        return CommandFailure(error);
    }
    for (const ParameterSetting& setting : options.settings) {
        if (!ApplyParameterSetting(plugin, setting, &error)) {
            return CommandFailure(error);
        }
    }
    if (options.hasName) {
        std::string name = options.name;
        plugin.Dispatch(effSetProgramName, 0, 0, &name[0]);
    }
    const PresetFile::Form form = options.form.empty()      ? NativePresetForm(plugin)
                                  : options.form == "chunk" ? PresetFile::Form::kChunk
                                                            : PresetFile::Form::kParameters;
    PresetFile preset;
    if (!CapturePreset(plugin, kind, form, &preset, &error)) {
        return CommandFailure(error);
    }
    const std::vector<unsigned char> bytes = EncodePreset(preset);
    if (!WriteFileBytes(options.file, bytes, &error)) {
        return CommandFailure(error);
    }
    std::printf("wrote %s: %s of %s, %s, %zu bytes\n", options.file.c_str(),
                DescribePreset(preset).c_str(), plugin.EffectName().c_str(),
                FourCharCodeText(preset.uniqueId).c_str(), bytes.size());
    return 0;
}

int Load(HostedPlugin& plugin, const PresetOptions& options) {
    std::string error;
    PresetFile preset;
    if (!ReadPresetFile(options.file, &preset, &error)) {
        return CommandFailure(error);
    }
    if (!ApplyPreset(plugin, preset, &error)) {
        return CommandFailure("cannot load " + options.file + ": " + error);
    }
    std::printf("loaded %s from %s\n", DescribePreset(preset).c_str(), options.file.c_str());
    for (int i = 0; i < plugin.Effect()->numParams; ++i) {
        std::printf("%s=%s\n", plugin.ParamName(i).c_str(), plugin.ParamDisplay(i).c_str());
    }
    return 0;
}

} // namespace

int RunPreset(const std::vector<std::string>& args) {
    PresetOptions options;
    const int parsed = ParseOptions(args, &options);
    if (parsed >= 0) {
        return parsed;
    }
    std::string error;
    const LoadedPlugin loaded =
        LoadPlugin(options.plugin.empty() ? DefaultModulePath() : options.plugin, &error);
    if (!loaded.plugin) {
        return CommandFailure(error);
    }
    loaded.plugin->Open(44100.0, 512);
    return options.save ? Save(*loaded.plugin, options) : Load(*loaded.plugin, options);
}
