#include "KQmessage/KAssert.h"

#include <cstdio>
#include <cstdlib>

void KAssertFailed(const char* condition, const char* file, int line) {
    std::fflush(stdout);
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", condition, file, line);
    std::fflush(stderr);
    std::abort();
}
