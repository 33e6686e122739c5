#include "host/AudioFile.h"
#include "host/ClapHostedPlugin.h"
#include "host/CommandErrors.h"
#include "host/Commands.h"
#include "host/GuitarRiff.h"
#include "host/HostedPlugin.h"
#include "host/ParameterSetting.h"
#include "host/PresetExchange.h"
#include "host/ProgressBar.h"
#include "host/Renderer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kDefaultRate = 44100;
constexpr int kDefaultBlock = 512;
constexpr double kDefaultTail = 1.0;

struct RenderOptions {
    std::string plugin;
    std::string pluginId;
    std::string input;
    std::string output;
    std::vector<ParameterSetting> settings;
    std::string preset;
    int rate = 0; // 0: the file's rate, or the default for the riff
    int block = kDefaultBlock;
    bool useDouble = false;
    double tailSeconds = kDefaultTail;
};

const char kUsage[] =
    "usage: kvx-host render [PLUGIN [--id ID]] [-i IN] [-o OUT] [--set NAME=VALUE ...]\n"
    "                       [--preset FILE] [--rate HZ] [--block N] [--double]\n"
    "                       [--tail SECONDS]\n"
    "\n"
    "Plays an audio file (WAV, FLAC, AIFF, Ogg Vorbis; mono or stereo) through a VST 2.x or\n"
    "CLAP plug-in and writes the result, as a DAW would render it. Without -i it plays a\n"
    "built-in guitar riff.\n"
    "\n"
    "  PLUGIN            the plug-in module, VST 2.x or .clap (default: the built\n"
    "                    Kelvorantumix VST 2.x module)\n"
    "  --id ID           the plug-in of a .clap module that holds several\n"
    "  -i IN             the input file; its sample rate is the plug-in's rate\n"
    "  -o OUT            the output file, its format from the extension: .wav (32-bit float),\n"
    "                    .flac, .aif/.aiff (24-bit), .ogg (default: <input>-<plug-in>.wav,\n"
    "                    or <plug-in>-riff.wav for the riff, in the current folder)\n"
    "  --set NAME=VALUE  set a parameter by name or index to a normalized value 0..1 or to a\n"
    "                    value it displays, e.g. --set Drive=0.8 --set Effect=On (repeatable)\n"
    "  --preset FILE     load a VST 2.x program (.fxp) or bank (.fxb) into a VST 2.x plug-in\n"
    "                    first; --set applies after it\n"
    "  --rate HZ         the riff's sample rate (default 44100)\n"
    "  --block N         frames per process call (default 512)\n"
    "  --double          process in double precision (processDoubleReplacing)\n"
    "  --tail SECONDS    silence played after the input so reverb can ring out (default 1)\n";

int Usage(const std::string& problem) {
    return UsageError("render", problem, kUsage);
}

bool ParseInt(const std::string& text, int low, int high, int* value) {
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    *value = int(parsed);
    return true;
}

bool ParseSeconds(const std::string& text, double* value) {
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && *value >= 0.0 && *value <= 60.0;
}

// Parses the words after "render"; returns -1 to go on, or the exit code.
int ParseOptions(const std::vector<std::string>& args, RenderOptions* options) {
    for (size_t i = 0; i < args.size(); ++i) {
        std::string word = args[i];
        std::string value;
        bool hasValue = false;
        const size_t equals = word.find('=');
        if (word.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = word.substr(equals + 1);
            word = word.substr(0, equals);
            hasValue = true;
        }
        const auto next = [&](std::string* to) {
            if (hasValue) {
                *to = value;
                return true;
            }
            if (i + 1 == args.size()) {
                return false;
            }
            *to = args[++i];
            return true;
        };
        std::string text;
        if (word == "-h" || word == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (word == "--double") {
            options->useDouble = true;
        } else if (word == "--id") {
            if (!next(&options->pluginId)) {
                return Usage("--id needs a plug-in ID");
            }
        } else if (word == "-i" || word == "--input") {
            if (!next(&options->input)) {
                return Usage("-i needs a file name");
            }
        } else if (word == "-o" || word == "--output") {
            if (!next(&options->output)) {
                return Usage("-o needs a file name");
            }
        } else if (word == "--set") {
            ParameterSetting setting;
            std::string error;
            if (!next(&text)) {
                return Usage("--set needs NAME=VALUE");
            }
            if (!ParseParameterSetting(text, &setting, &error)) {
                return Usage(error);
            }
            options->settings.push_back(setting);
        } else if (word == "--preset") {
            if (!next(&options->preset)) {
                return Usage("--preset needs a .fxp or .fxb file");
            }
        } else if (word == "--rate") {
            if (!next(&text) || !ParseInt(text, 8000, 384000, &options->rate)) {
                return Usage("--rate takes a sample rate from 8000 to 384000 Hz");
            }
        } else if (word == "--block") {
            if (!next(&text) || !ParseInt(text, 1, 65536, &options->block)) {
                return Usage("--block takes a number of frames from 1 to 65536");
            }
        } else if (word == "--tail") {
            if (!next(&text) || !ParseSeconds(text, &options->tailSeconds)) {
                return Usage("--tail takes a number of seconds from 0 to 60");
            }
        } else if (word.size() > 1 && word[0] == '-') {
            return Usage("unknown option " + args[i]);
        } else if (options->plugin.empty()) {
            options->plugin = args[i];
        } else {
            return Usage("more than one plug-in given: " + options->plugin + " and " + args[i]);
        }
    }
    return -1;
}

std::string FileStem(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// The plug-in's name as it may stand in a file name: lower case, words joined by hyphens.
std::string FileNameOf(const std::string& effectName) {
    std::string name;
    for (char c : effectName) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += char(std::tolower(static_cast<unsigned char>(c)));
        } else if (!name.empty() && name.back() != '-') {
            name += '-';
        }
    }
    while (!name.empty() && name.back() == '-') {
        name.pop_back();
    }
    return name.empty() ? "kvx-host" : name;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

const char* ChannelsText(int channels) {
    return channels == 1 ? "mono" : channels == 2 ? "stereo" : "multichannel";
}

// Ctrl-C and friends end the render between blocks, so the temporary file is removed as on any
// other failure. A crash inside the plug-in removes it from the signal handler.
volatile std::sig_atomic_t gInterrupted = 0;
char gTempPath[4096] = "";

void OnInterrupt(int) {
    gInterrupted = 1;
}

void OnCrash(int signal) {
    if (gTempPath[0]) {
        unlink(gTempPath);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void WatchSignals(const std::string& tempPath) {
    if (tempPath.size() < sizeof gTempPath) {
        std::memcpy(gTempPath, tempPath.c_str(), tempPath.size() + 1);
    }
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        std::signal(signal, OnInterrupt);
    }
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        std::signal(signal, OnCrash);
    }
}

void UnwatchSignals() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        std::signal(signal, SIG_DFL);
    }
    gTempPath[0] = '\0';
}

void PrintLevels(const char* what, const std::string& name, int channels, int rate,
                 std::int64_t frames, const LevelMeter& levels) {
    std::printf("  %-4s %s, %s, %d Hz, %.2f s\n", what, name.c_str(), ChannelsText(channels), rate,
                double(frames) / rate);
    std::printf("       peak %s, RMS %s\n", LevelMeter::FormatDecibels(levels.Peak()).c_str(),
                LevelMeter::FormatDecibels(levels.Rms()).c_str());
}

} // namespace

int RunRender(const std::vector<std::string>& args) {
    RenderOptions options;
    const int parsed = ParseOptions(args, &options);
    if (parsed >= 0) {
        return parsed;
    }

    std::string error;
    std::unique_ptr<AudioSource> source;
    std::string inputName = "built-in riff";
    if (!options.input.empty()) {
        auto reader = AudioFileReader::Open(options.input, &error);
        if (!reader) {
            return CommandFailure(error);
        }
        inputName = options.input + " (" + reader->Description() + ")";
        if (options.rate && options.rate != reader->SampleRate()) {
            return CommandFailure(
                options.input + " is at " + std::to_string(reader->SampleRate()) + " Hz, not the " +
                std::to_string(options.rate) +
                " Hz of --rate: kvx-host plays files at their own rate and does not "
                "resample");
        }
        source = std::move(reader);
    } else {
        const int rate = options.rate ? options.rate : kDefaultRate;
        const std::vector<double> riff = SynthesizeGuitarRiff(rate);
        // A guitar is a mono source; like a DAW's stereo track it is played on both sides.
        source.reset(new MemorySource({riff, riff}, rate));
    }
    const int channels = source->Channels();
    const int rate = source->SampleRate();
    if (channels < 1 || channels > 2) {
        return CommandFailure(options.input + " has " + std::to_string(channels) +
                              " channels; kvx-host renders mono and stereo files");
    }

    const std::string modulePath = options.plugin.empty() ? DefaultModulePath() : options.plugin;
    LoadedPlugin loaded;
    LoadedClapPlugin loadedClap;
    HostedParameters* params = nullptr;
    std::string effectName;
    int numInputs = 0, numOutputs = 0;
    std::string refusal;
    const char* const noDouble = " cannot process in double precision; render without --double";
    if (IsClapPath(modulePath)) {
        if (!options.preset.empty()) {
            return Usage("--preset loads VST 2.x program and bank files, which a CLAP plug-in "
                         "does not take");
        }
        loadedClap = LoadClapPlugin(modulePath, options.pluginId, &error);
        ClapHostedPlugin* clap = loadedClap.plugin.get();
        if (!clap) {
            return CommandFailure(error);
        }
        params = clap;
        effectName = clap->Name();
        numInputs = clap->InputChannels();
        numOutputs = clap->OutputChannels();
        if (options.useDouble && !clap->Supports64Bits()) {
            refusal = noDouble;
        }
    } else {
        if (!options.pluginId.empty()) {
            return Usage("--id chooses among the plug-ins of a .clap module");
        }
        loaded = LoadPlugin(modulePath, &error);
        HostedPlugin* plugin = loaded.plugin.get();
        if (!plugin) {
            OutputFormat audio{};
            std::string notAudio;
            // The likeliest slip: an audio file where the plug-in goes.
            if (!loaded.module && OutputFormatFor(modulePath, &audio, &notAudio)) {
                error += " (to render an audio file, give it with -i)";
            }
            return CommandFailure(error);
        }
        const AEffect* effect = plugin->Effect();
        params = plugin;
        effectName = plugin->EffectName();
        numInputs = effect->numInputs;
        numOutputs = effect->numOutputs;
        if (options.useDouble &&
            (!(effect->flags & effFlagsCanDoubleReplacing) || !effect->processDoubleReplacing)) {
            refusal = noDouble;
        }
        if (!options.useDouble &&
            (!(effect->flags & effFlagsCanReplacing) || !effect->processReplacing)) {
            refusal = " does not offer processReplacing, which kvx-host needs";
        }
    }
    if (numInputs < channels || numOutputs < channels) {
        return CommandFailure(modulePath + " has " + std::to_string(numInputs) + " inputs and " +
                              std::to_string(numOutputs) + " outputs, too few for the " +
                              ChannelsText(channels) + " input");
    }
    if (!refusal.empty()) {
        return CommandFailure(modulePath + refusal);
    }

    std::string outputPath = options.output;
    if (outputPath.empty()) {
        const std::string plugName = FileNameOf(effectName);
        outputPath = options.input.empty() ? plugName + "-riff.wav"
                                           : FileStem(options.input) + "-" + plugName + ".wav";
    }
    OutputFormat format{};
    if (!OutputFormatFor(outputPath, &format, &error)) {
        return CommandFailure(error);
    }
    if (!options.input.empty() && SameFile(options.input, outputPath)) {
        return CommandFailure("the output " + outputPath +
                              " is the input file; name another with -o");
    }
    auto writer = AudioFileWriter::Create(outputPath, format, channels, rate, &error);
    if (!writer) {
        return CommandFailure(error);
    }

    // A CLAP plug-in learns the rate and block size when it is activated, as the render starts.
    if (HostedPlugin* plugin = loaded.plugin.get()) {
        plugin->Setup(rate, options.block);
        if (!plugin->SetSpeakerArrangement(channels, channels) && channels == 1) {
            std::fprintf(stderr, "kvx-host: note: the plug-in refused a mono arrangement; the "
                                 "left input gets the signal and the left output is kept\n");
        }
    }
    std::vector<std::string> applied;
    if (!options.preset.empty()) {
        PresetFile preset;
        if (!ReadPresetFile(options.preset, &preset, &error)) {
            return CommandFailure(error);
        }
        if (!ApplyPreset(*loaded.plugin, preset, &error)) {
            return CommandFailure("cannot load " + options.preset + ": " + error);
        }
        applied.push_back("preset " + options.preset + ", " + DescribePreset(preset));
    }
    for (const ParameterSetting& setting : options.settings) {
        if (!ApplyParameterSetting(*params, setting, &error)) {
            return CommandFailure(error);
        }
        const int index = FindParameterIndex(*params, setting.name);
        std::string label = params->ParamLabel(index);
        applied.push_back(params->ParamName(index) + " = " + params->ParamDisplay(index) +
                          (label.empty() ? "" : " " + label));
    }

    RenderSettings settings;
    settings.blockSize = options.block;
    settings.useDouble = options.useDouble;
    settings.tailFrames = std::int64_t(options.tailSeconds * rate + 0.5);
    ProgressBar bar(stderr, ProgressBar::IsTerminal(stderr));
    RenderResult result;
    WatchSignals(writer->TempPath());
    const RenderProgress progress = [&bar](std::int64_t done, std::int64_t total) {
        bar.Update(done, total);
        return gInterrupted == 0;
    };
    const bool rendered = loadedClap.plugin ? Render(*loadedClap.plugin, rate, *source, *writer,
                                                     settings, progress, &result, &error)
                                            : Render(*loaded.plugin, *source, *writer, settings,
                                                     progress, &result, &error);
    bar.Finish();
    if (loaded.plugin) {
        loaded.plugin->Close();
    }
    loadedClap.plugin.reset();
    const bool committed = rendered && writer->Commit(&error);
    writer.reset();
    UnwatchSignals();
    if (!committed) {
        return CommandFailure("render failed: " + error + "; nothing was written to " + outputPath);
    }

    std::printf("%s (%s), %s processing, block %d\n", effectName.c_str(), modulePath.c_str(),
                options.useDouble ? "double" : "float", options.block);
    for (const std::string& setting : applied) {
        std::printf("  set  %s\n", setting.c_str());
    }
    PrintLevels("in", inputName, channels, rate, result.inputFrames, result.input);
    PrintLevels("out", outputPath + " (" + format.description + ")", channels, rate,
                result.outputFrames, result.output);
    const double seconds = double(result.outputFrames) / rate;
    const double processSeconds = result.processSeconds > 1e-9 ? result.processSeconds : 1e-9;
    std::printf("  %.2f s of audio in %.3f s of processing: %.0fx real time\n", seconds,
                result.processSeconds, seconds / processSeconds);
    if (result.nonFinite > 0) {
        std::fprintf(stderr,
                     "kvx-host: warning: the plug-in produced %lld samples that are not finite "
                     "numbers; they were written as 0\n",
                     static_cast<long long>(result.nonFinite));
    }
    if (format.isInteger && result.output.Peak() > 1.0) {
        std::fprintf(stderr,
                     "kvx-host: warning: the output peaks above 0 dBFS and was clipped "
                     "in %s; .wav keeps such peaks\n",
                     format.description);
    }
    char* absolute = realpath(outputPath.c_str(), nullptr);
    std::printf("wrote %s\n", absolute ? absolute : outputPath.c_str());
    std::free(absolute);
    return 0;
}
