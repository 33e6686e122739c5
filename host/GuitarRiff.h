#pragma once

#include <vector>

// A few seconds of plucked-string electric guitar, as a dry pickup signal would sound: palm-muted
// power-chord chugs, ringing chords and a single-note minor-pentatonic line in E. Synthesized
// with a Karplus-Strong string per note, so kvx-host can demonstrate an effect with no audio
// file at hand. The same rate always gives the same samples, each exactly a float value, and
// the loudest peak is at -6 dBFS, the level of a hot guitar DI.
std::vector<double> SynthesizeGuitarRiff(int sampleRate);

// The riff's length in seconds at any rate, before its last notes ring out.
double GuitarRiffSeconds();
