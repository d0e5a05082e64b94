#include "NeuralNets/ActFunctions.h"

#include <cmath>

#include "KQmessage/KAssert.h"
#include "NeuralNets/TBasicNeuron.h"

namespace {

double Gain(const TBasicNeuron* neuron) {
    // The setters give a "-gain" function only to gain neurons, so the cast
    // is exact.
    return static_cast<const TGainNeuron*>(neuron)->GetGain();
}

}  // namespace

void ActError(TBasicNeuron*, double) {
    KAssertFailed("neuron evaluated before its activation function was set", __FILE__, __LINE__);
}

void ActNull(TBasicNeuron*, double) {
    KAssertFailed("ActNull is never evaluated", __FILE__, __LINE__);
}

void ActBias(TBasicNeuron* neuron, double) { *neuron->GetOutput() = 1.0; }

void ActLinear(TBasicNeuron* neuron, double netInput) { *neuron->GetOutput() = netInput; }

void ActSaturatedLinear(TBasicNeuron* neuron, double netInput) {
    double out = 0.0;  // also the answer for a net input that is not a number
    if (netInput >= 1.0) {
        out = 1.0;
    } else if (netInput > 0.0) {
        out = netInput;
    }
    *neuron->GetOutput() = out;
}

void ActSigmoid(TBasicNeuron* neuron, double netInput) {
    // Below -500 the exponential would overflow; the tiny positive value keeps
    // a later logarithm of the output finite.
    if (netInput < -500.0) {
        *neuron->GetOutput() = 1e-300;
    } else {
        *neuron->GetOutput() = 1.0 / (1.0 + std::exp(-netInput));
    }
}

void ActTanh(TBasicNeuron* neuron, double netInput) { *neuron->GetOutput() = std::tanh(netInput); }

void ActLinearGain(TBasicNeuron* neuron, double netInput) {
    *neuron->GetOutput() = Gain(neuron) * netInput;
}

void ActSigmoidGain(TBasicNeuron* neuron, double netInput) {
    // No threshold: where the exponential overflows to infinity the output is
    // its limit 0.
    *neuron->GetOutput() = 1.0 / (1.0 + std::exp(-(Gain(neuron) * netInput)));
}

void ActTanhGain(TBasicNeuron* neuron, double netInput) {
    *neuron->GetOutput() = std::tanh(Gain(neuron) * netInput);
}

bool IsGainFunction(ActFunction fn) {
    return fn == ActLinearGain || fn == ActSigmoidGain || fn == ActTanhGain;
}
