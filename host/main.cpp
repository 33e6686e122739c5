// kvx-host: a command-line VST 2.x and CLAP host for Linux plug-ins.

#include "host/Commands.h"
#include "host/SnapshotCommand.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void PrintUsage(std::FILE* to) {
    std::fprintf(
        to, "usage: kvx-host <command> [options]\n"
            "\n"
            "commands:\n"
            "  info [PLUGIN] [--id ID]       identity, channels, parameters, programs, canDo\n"
            "  chunk save [PLUGIN] [--id ID] -o FILE\n"
            "                                write the plug-in's state chunk to FILE\n"
            "  chunk load [PLUGIN] [--id ID] -i FILE\n"
            "                                load a state chunk and print the parameters\n"
            "  preset save [PLUGIN] -o FILE.fxp|.fxb [--set NAME=VALUE ...]\n"
            "  preset load [PLUGIN] -i FILE  VST 2.x program and bank files (kvx-host preset\n"
            "                                --help)\n"
            "  render [PLUGIN [--id ID]] [-i IN] [-o OUT] [--set NAME=VALUE ...]\n"
            "         [--preset FILE] [--rate HZ] [--block N] [--double] [--tail SECONDS]\n"
            "                                play a file, or a built-in guitar riff, through\n"
            "                                the plug-in (kvx-host render --help)\n"
            "  plot response|transfer|harmonics [PLUGIN] -o FILE.png [--sweep NAME=V1,...]\n"
            "                                what the plug-in does to sound, drawn as\n"
            "                                analysers do (kvx-host plot --help)\n"
            "  validate [PLUGIN [--id ID]] [--seed N] [--repeat N] [--skip-editor]\n"
            "                                put the plug-in through what strict hosts do\n"
            "  snapshot [PLUGIN] -o FILE [--set NAME=VALUE ...] [--about]\n"
            "                                draw the built-in Kelvorantumix editor into a\n"
            "                                PNG (kvx-host snapshot --help)\n"
            "  edit [PLUGIN] [--id ID] [--screenshot FILE]\n"
            "                                open the plug-in's editor in a window\n"
            "\n"
            "PLUGIN is the path of a VST 2.x module or of a .clap module (default: the built\n"
            "Kelvorantumix VST 2.x module); ID chooses among the plug-ins of a .clap module.\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "--help")) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "info") {
        return RunInfo(args);
    }
    if (command == "chunk") {
        return RunChunk(args);
    }
    if (command == "plot") {
        return RunPlot(args);
    }
    if (command == "preset") {
        return RunPreset(args);
    }
    if (command == "render") {
        return RunRender(args);
    }
    if (command == "validate") {
        return RunValidate(args);
    }
    if (command == "snapshot") {
        return RunSnapshot(args);
    }
    if (command == "edit") {
        return RunEdit(args);
    }
    std::fprintf(stderr, "kvx-host: unknown command '%s'\n\n", command.c_str());
    PrintUsage(stderr);
    return 2;
}
