#include "KQmessage/NumberText.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

bool ScanLongPrefix(const char* text, long* value) {
    const char* p = text;
    while (IsCSpace(*p)) ++p;
    const char* start = p;
    if (*p == '+' || *p == '-') ++p;
    if (*p < '0' || *p > '9') return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(start, &end, 10);
    if (end == start) return false;
    *value = v;  // strtol clamps to LONG_MIN / LONG_MAX on overflow
    return true;
}

bool ScanDoublePrefix(const char* text, double* value) {
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (end == text) return false;
    *value = v;
    return true;
}

std::string FormatLong(long value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%ld", value);
    return buffer;
}

std::string FormatFixed(double value, int decimals) {
    char buffer[64];
    int needed = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    if (needed >= 0 && static_cast<size_t>(needed) < sizeof buffer) return buffer;
    // Large magnitudes ("%f" of 1e300 has over 300 digits) get a buffer of
    // their own size.
    std::vector<char> big(static_cast<size_t>(needed) + 1);
    std::snprintf(big.data(), big.size(), "%.*f", decimals, value);
    return std::string(big.data());
}
