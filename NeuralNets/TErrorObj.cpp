#include "NeuralNets/TErrorObj.h"

#include <cmath>

#include "KQmessage/KAssert.h"
#include "KQmessage/TKQstructure.h"

namespace {

// The output value whose logarithm term is replaced by a fixed one.
constexpr double kCertainOutput = 1.0;
// Stands for the infinite -ln(0) of a certain output with another target.
constexpr double kCertainMissTerm = 1000000.0;

// The coefficient under keyword in the penalty tree, or fallback when the
// keyword is absent. Throws TKQstructure::Error for a text that is no number.
double ReadCoefficient(const TKQstructure* penalty, const char* keyword, double fallback) {
    const TKQstructure* value = penalty->FindValue(keyword);
    return value != nullptr ? ParseReal(value->GetHead()) : fallback;
}

}  // namespace

TErrorObj::TErrorObj(int numOutputs) : numOutputs(numOutputs), numPatterns(0) {
    KASSERT(numOutputs >= 0);
}

TErrorObj::~TErrorObj() = default;

double TErrorObj::CalcPenalty(int numWeights, const double* weights,
                              const TKQstructure* penalty, double scale) const {
    KASSERT(numWeights >= 0);
    if (penalty == nullptr || KQ::strcasecmp(penalty->GetHead(), "NONE") == 0) return 0.0;

    if (KQ::strcasecmp(penalty->GetHead(), "QUADPENALTY") == 0) {
        const double eps1 = ReadCoefficient(penalty, "EPSILON1", 0.0);
        const double eps2 = ReadCoefficient(penalty, "EPSILON2", 0.0);
        const double beta = ReadCoefficient(penalty, "BETA", 1.0);
        double total = 0.0;
        for (int i = 0; i < numWeights; ++i) {
            const double d = weights[i] * weights[i];
            // weight elimination + weight decay
            total += scale * (eps1 * beta * d / (beta * d + 1.0) + eps2 * d);
        }
        return total;
    }

    if (KQ::strcasecmp(penalty->GetHead(), "LWF") == 0) {
        double total = 0.0;
        for (int i = 0; i < numWeights; ++i) total += std::fabs(weights[i]);
        const double learningRate = ReadCoefficient(penalty, "LEARNINGRATE", 0.0);
        const double forgettingRate = ReadCoefficient(penalty, "FORGETTINGRATE", 0.0);
        return learningRate * forgettingRate * total;
    }

    KASSERT(false);  // callers pass only the three penalty kinds
    return 0.0;
}

TErrorRMSObj::TErrorRMSObj(int numOutputs) : TErrorObj(numOutputs), sum(0.0) {}

void TErrorRMSObj::Reset() {
    numPatterns = 0;
    sum = 0.0;
}

void TErrorRMSObj::AddPattern(const double* target, const double* output) {
    for (int i = 0; i < numOutputs; ++i) {
        const double diff = target[i] - output[i];
        sum += diff * diff;
    }
    ++numPatterns;
}

double TErrorRMSObj::GetError() const {
    // An empty data set has no error to average; report 0 rather than 0/0.
    if (numPatterns == 0 || numOutputs == 0) return 0.0;
    return std::sqrt((sum / numOutputs) / numPatterns);
}

void TErrorRMSObj::AddPenalty(int numWeights, const double* weights,
                              const TKQstructure* penalty) {
    sum += CalcPenalty(numWeights, weights, penalty, 1.0);
}

TErrorCrossEntropyObj::TErrorCrossEntropyObj(int numOutputs)
    : TErrorObj(numOutputs), sum(0.0) {}

void TErrorCrossEntropyObj::Reset() {
    numPatterns = 0;
    sum = 0.0;
}

void TErrorCrossEntropyObj::AddPattern(const double* target, const double* output) {
    for (int i = 0; i < numOutputs; ++i) {
        const double t = target[i];
        const double y = output[i];
        if (y == kCertainOutput) {
            sum += (t == kCertainOutput) ? 0.0 : kCertainMissTerm;
        } else {
            sum += -t * std::log(y) - (1.0 - t) * std::log(1.0 - y);
        }
    }
    ++numPatterns;
}

double TErrorCrossEntropyObj::GetError() const { return sum; }

void TErrorCrossEntropyObj::AddPenalty(int numWeights, const double* weights,
                                       const TKQstructure* penalty) {
    sum += CalcPenalty(numWeights, weights, penalty, 1.0);
}
