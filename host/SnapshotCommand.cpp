// kvx-host snapshot [PLUGIN] -o FILE [--set NAME=VALUE ...] [--about]
//
// A module exports only its entry points, so its editor cannot be reached from outside. The
// snapshot therefore constructs kvx-host's own built-in Kelvorantumix in this process, opens it
// as a host does, applies the settings through the host's set-parameter call, and redraws the
// whole editor surface through the graphics core.

#include "host/SnapshotCommand.h"

#include "editor/IGraphicsLice.h"
#include "effect/PlugExample.h"
#include "host/ParameterSetting.h"
#include "host/PngFile.h"
#include "raster/RasterView.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void PrintHelp(std::FILE* to) {
    std::fprintf(to,
                 "usage: kvx-host snapshot [PLUGIN] -o FILE [--set NAME=VALUE ...] [--about]\n"
                 "\n"
                 "Draws the Kelvorantumix editor without a window and writes it as a PNG.\n"
                 "The plug-in is kvx-host's own built-in Kelvorantumix, constructed in this\n"
                 "process: a module exports only its entry points, so no other editor can be\n"
                 "drawn. PLUGIN, when given, must name a Kelvorantumix module.\n"
                 "\n"
                 "  -o FILE            the PNG to write\n"
                 "  --set NAME=VALUE   set a parameter first: NAME is its name or index, VALUE\n"
                 "                     a normalized value from 0 to 1 or a display text (\"On\")\n"
                 "  --about            click the maker's badge, so the about box shows\n");
}

VstIntPtr SilentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}

std::string Key(const char* text) {
    std::string key;
    for (; *text; ++text) {
        if (std::isalnum(static_cast<unsigned char>(*text))) {
            key += char(std::tolower(static_cast<unsigned char>(*text)));
        }
    }
    return key;
}

// The parameter's index and normalized value for a setting, or false with the reason.
bool Resolve(const PlugExample& plug, const ParameterSetting& setting, int* index,
             double* normalized, std::string* error) {
    *index = -1;
    char* end = nullptr;
    const long asIndex = std::strtol(setting.name.c_str(), &end, 10);
    if (!setting.name.empty() && *end == '\0' && asIndex >= 0 && asIndex < plug.NumParams()) {
        *index = int(asIndex);
    }
    for (int i = 0; *index < 0 && i < plug.NumParams(); ++i) {
        if (Key(plug.GetParam(i)->Name()) == Key(setting.name.c_str())) {
            *index = i;
        }
    }
    if (*index < 0) {
        *error = "unknown parameter '" + setting.name + "'";
        return false;
    }
    const IParameter* param = plug.GetParam(*index);
    int plain = 0;
    if (param->ValueForText(setting.value.c_str(), &plain)) {
        *normalized = param->NormalizedOf(plain);
        return true;
    }
    const double v = std::strtod(setting.value.c_str(), &end);
    if (setting.value.empty() || *end != '\0' || !(v >= 0.0 && v <= 1.0)) {
        *error = "value '" + setting.value + "' of " + param->Name() +
                 " is neither from 0 to 1 nor one of its texts";
        return false;
    }
    *normalized = v;
    return true;
}

} // namespace

int RunSnapshot(const std::vector<std::string>& args) {
    std::string output;
    std::vector<ParameterSetting> settings;
    bool about = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            PrintHelp(stdout);
            return 0;
        }
        if ((a == "-o" || a == "--set") && i + 1 == args.size()) {
            std::fprintf(stderr, "kvx-host snapshot: %s needs a value\n", a.c_str());
            return 2;
        }
        if (a == "-o") {
            output = args[++i];
        } else if (a == "--set") {
            ParameterSetting setting;
            std::string error;
            if (!ParseParameterSetting(args[++i], &setting, &error)) {
                std::fprintf(stderr, "kvx-host snapshot: %s\n", error.c_str());
                return 2;
            }
            settings.push_back(setting);
        } else if (a == "--about") {
            about = true;
        } else if (a.empty() || a[0] == '-' ||
                   a.substr(a.find_last_of('/') + 1).rfind("Kelvorantumix", 0) != 0) {
            std::fprintf(stderr,
                         "kvx-host snapshot: '%s' is no option and no Kelvorantumix module\n",
                         a.c_str());
            return 2;
        }
    }
    if (output.empty()) {
        std::fprintf(stderr, "kvx-host snapshot: -o FILE is required\n");
        return 2;
    }

    auto* plug = new PlugExample(&SilentHost);
    AEffect* effect = plug->Effect();
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    int status = 0;
    for (const ParameterSetting& setting : settings) {
        int index = -1;
        double value = 0.0;
        std::string error;
        if (!Resolve(*plug, setting, &index, &value, &error)) {
            std::fprintf(stderr, "kvx-host snapshot: %s\n", error.c_str());
            status = 2;
            break;
        }
        effect->setParameter(effect, index, float(value));
    }
    auto* editor = static_cast<IGraphicsLice*>(plug->Editor());
    if (status == 0) {
        if (about) {
            IMouseKeys left;
            left.left = true;
            editor->MouseDown(40, 30, left);
            editor->MouseUp(40, 30, left);
        }
        // One timer tick's work, then a repaint of everything.
        IRectangle dirty;
        editor->CollectDirtyArea(dirty);
        editor->RedrawArea(IRectangle(0, 0, editor->Width(), editor->Height()));
        const RasterView view(editor->Surface());
        if (!WritePng(output, view.first, view.step, view.width, view.height)) {
            std::fprintf(stderr, "kvx-host snapshot: cannot write %s\n", output.c_str());
            status = 1;
        }
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return status;
}
