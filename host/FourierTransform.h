#pragma once

#include <complex>
#include <vector>

// The discrete Fourier transform of a real signal, bins 0 to size / 2, unscaled (FFTW's
// r2c transform: a sine of amplitude a on bin k shows as a x size / 2).
std::vector<std::complex<double>> RealSpectrum(const std::vector<double>& signal);
