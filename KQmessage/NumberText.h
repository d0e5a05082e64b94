#ifndef KQMESSAGE_NUMBERTEXT_H
#define KQMESSAGE_NUMBERTEXT_H

#include <string>

// Conversions between numbers and text in the manner of the C formats "%ld",
// "%lf", "%f" and "%.*f". They never depend on the user's locale: the program
// never calls setlocale, so the C library works in the "C" locale.

// Reads a decimal long integer from the start of text, like "%ld": leading
// white space is skipped, an optional sign is accepted and reading stops at
// the first character that cannot continue the number. Returns false when no
// number starts the text. Values beyond the range of long are clamped.
bool ScanLongPrefix(const char* text, long* value);

// Reads a double from the start of text, like "%lf": leading white space,
// sign, decimal or hexadecimal mantissa, exponent, "inf" and "nan" forms.
// Returns false when no number starts the text.
bool ScanDoublePrefix(const char* text, double* value);

// "%ld" of value.
std::string FormatLong(long value);

// "%.*f" of value with the given number of decimals; the text is as long as
// the value needs (no fixed buffer limits it).
std::string FormatFixed(double value, int decimals);

#endif
