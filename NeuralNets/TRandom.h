#ifndef NEURALNETS_TRANDOM_H
#define NEURALNETS_TRANDOM_H

#include <cstdint>

// The system's pseudo-random generator: a 15-bit linear congruential
// generator, so that a sequence of draws is the same on every platform and
// compiler. state := state * 214013 + 2531011 (mod 2^32), draw := bits 16..30
// of the state (0 .. 32767). There is one sequence per process, starting from
// state 1; the library never seeds it.
int KRandom();

// For tests and example generators that need a known starting point; the
// library itself never calls them.
void SetRandomState(uint32_t state);
uint32_t GetRandomState();

// A random weight in [lo, hi): lo + ((r mod 32767) / 32767) * (hi - lo) with r
// the next KRandom(), computed in extended precision and rounded once to
// double. Equal bounds give lo and draw nothing.
double KRandomDraw(double lo, double hi);

#endif
