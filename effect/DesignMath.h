#pragma once

// Transcendental functions for filter design, built only from IEEE additions, multiplications
// and divisions. The system math library returns different last bits on the 32-bit and the
// 64-bit builds, and both builds must compute identical coefficients and so identical audio.
// Accuracy is within about one unit in the last place over the ranges the designs use.
double DesignExp(double x);
double DesignSin(double x);
double DesignCos(double x);
double DesignSinh(double x);
// 10 raised to x.
double DesignExp10(double x);
