#pragma once

#include "host/PresetFile.h"

#include <string>

class HostedPlugin;

// The form a plug-in asks hosts to keep its presets in: its chunk when it sets
// effFlagsProgramChunks, its parameter values otherwise.
PresetFile::Form NativePresetForm(HostedPlugin& plugin);

// Reads the plug-in's current program, or its whole bank, in the given form. A bank in the
// parameter form selects each program in turn, as hosts do, and selects the current one again.
bool CapturePreset(HostedPlugin& plugin, PresetFile::Kind kind, PresetFile::Form form,
                   PresetFile* preset, std::string* error);

// Loads a preset into the plug-in after checking that it fits: the plug-in's unique ID, a
// version no newer than the plug-in's, the parameter and program counts, values from 0 to 1.
// When the check fails, nothing has been sent to the plug-in.
bool ApplyPreset(HostedPlugin& plugin, const PresetFile& preset, std::string* error);

// Reads and decodes a preset file; the reason names the file.
bool ReadPresetFile(const std::string& path, PresetFile* preset, std::string* error);

// "program 'Lead' (FxCk, 7 parameters)" or "bank of 16 programs (FBCh, 512-byte chunk)".
std::string DescribePreset(const PresetFile& preset);
