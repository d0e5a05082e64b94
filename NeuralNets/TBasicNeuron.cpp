#include "NeuralNets/TBasicNeuron.h"

#include "KQmessage/KAssert.h"
#include "NeuralNets/TBasicLayer.h"

TBasicNeuron::~TBasicNeuron() = default;

void TBasicNeuron::Activate(double netInput) { function(this, netInput); }

int TBasicNeuron::GetNumParameters() const { return 0; }

void TBasicNeuron::GetParameters(double*) const {}

void TBasicNeuron::SetParameters(const double*) {}

const char* TBasicNeuron::GetParameterName(int) const {
    KAssertFailed("GetParameterName on a neuron with parameters", __FILE__, __LINE__);
}

void TBasicNeuron::CopyFrom(const TBasicNeuron*) {}

void TBasicNeuron::SetActFunction(ActFunction fn) {
    KASSERT(fn != nullptr);
    KASSERT(!IsGainFunction(fn) || GetNumParameters() > 0);
    function = fn;
    if (layer != nullptr) layer->ForgetActFunction();
}

TGainNeuron::~TGainNeuron() = default;

int TGainNeuron::GetNumParameters() const { return 1; }

void TGainNeuron::GetParameters(double* out) const { out[0] = gain; }

void TGainNeuron::SetParameters(const double* in) { gain = in[0]; }

const char* TGainNeuron::GetParameterName(int i) const {
    KASSERT(i == 0);
    return "Gain";
}
