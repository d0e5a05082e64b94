#include "NeuralNets/TRandom.h"

namespace {

// The generator's state is process-wide by design: every randomiser of every
// network continues the one sequence.
uint32_t randomState = 1;

}  // namespace

int KRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

void SetRandomState(uint32_t state) { randomState = state; }

uint32_t GetRandomState() { return randomState; }

double KRandomDraw(double lo, double hi) {
    if (lo == hi) return lo;
    int r = KRandom();
    return static_cast<double>(lo + (static_cast<long double>(r % 32767) / 32767.0L) *
                                        (static_cast<long double>(hi) - lo));
}
