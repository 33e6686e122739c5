#pragma once

class IEditorDelegate;

// Declares Kelvorantumix's seven parameters (PlugExample::Params) on the table of owner: the
// plug-in itself, or an editor that keeps its own copy of the table in another process.
void DefineEffectParameters(const IEditorDelegate& owner);
