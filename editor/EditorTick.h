#pragma once

#include "common/IRectangle.h"

class IGraphicsBase;
class TextEntry;

// Milliseconds between redraw ticks at a frame rate: 41 at 24 frames per second.
int TickPeriodMs(int fps);

// Whole wheel notches in a wheel movement of 120 units per notch, cut toward zero.
int WheelNotches(int delta);

// What a tick asks of the window.
struct TickResult {
    bool repaint = false; // draw and present area now
    IRectangle area;
};

// The part of a redraw tick that touches controls and parameters, run with the plug-in lock
// held: a text entry waiting for the tick is handled (its text refreshed, cancelled, or its
// value committed through the control), or else the dirty controls are collected. Drawing the
// returned area is the caller's, after the lock is released.
TickResult RunEditorTick(IGraphicsBase& graphics, TextEntry& entry);
