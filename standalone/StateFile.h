#pragma once

#include <string>

class EmbeddedPlugin;

// The settings kept between runs: the plug-in's state chunk, the bytes `kvx-host chunk save`
// writes, in $XDG_CONFIG_HOME/kelvorantumix/state (~/.config when XDG_CONFIG_HOME is unset).

// Empty when neither XDG_CONFIG_HOME nor HOME is set.
std::string DefaultStatePath();

enum class StateLoad { kLoaded, kMissing, kRejected };

// Loads the state in the file into the plug-in. A file that is unreadable, shorter than a
// state, of another kind or refused by the plug-in gives kRejected and says why in problem; the
// plug-in then keeps the settings it had.
StateLoad LoadStateFile(EmbeddedPlugin& plugin, const std::string& path, std::string* problem);

// Writes the plug-in's state under a temporary name beside the file, creating the folders on
// the way, and renames it into place: the file is always a whole state, old or new.
bool SaveStateFile(EmbeddedPlugin& plugin, const std::string& path, std::string* error);
