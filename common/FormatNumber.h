#pragma once

// printf-style number formatting that ignores the process locale: a host running with a
// decimal comma still reads "0.500".

// "%d" of value into out (at least 12 bytes).
void FormatInteger(int value, char* out);
// "%.<decimals>f" of value into out, which holds size bytes; decimals is 0 to 17.
void FormatFixed(double value, int decimals, char* out, int size);

// The number at the start of text (after white space and an optional sign), as the C library's
// text-to-double conversion reads it in the "C" locale; 0 when the text starts with none.
double ParseLeadingNumber(const char* text);
