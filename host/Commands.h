#pragma once

#include <string>
#include <vector>

// The subcommands of kvx-host. Each takes the words after its name and returns the exit code.
int RunInfo(const std::vector<std::string>& args);
int RunChunk(const std::vector<std::string>& args);
int RunPlot(const std::vector<std::string>& args);
int RunPreset(const std::vector<std::string>& args);
int RunRender(const std::vector<std::string>& args);
int RunValidate(const std::vector<std::string>& args);
int RunEdit(const std::vector<std::string>& args);

// info for a CLAP module: every plug-in it offers, or the one pluginId names.
int RunClapInfo(const std::string& path, const std::string& pluginId);
