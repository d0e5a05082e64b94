#include "NeuralNets/TGainLayer.h"

#include "KQmessage/KAssert.h"
#include "NeuralNets/NeuronArray.h"

TGainLayer::TGainLayer(TBasicNetwork* network, int layerNumber, int numNeurons, double gain)
    : TBasicLayer(network, layerNumber, numNeurons, true),
      neurons(static_cast<size_t>(numNeurons)) {
    NeuronArray::PlaceAll(neurons, this);
    SetGain(gain);
}

TGainLayer::~TGainLayer() = default;

void TGainLayer::Activate(const double* netInputs) {
    NeuronArray::Activate(neurons, CachedActFunction(), netInputs);
}

const char* TGainLayer::GetLayerType() const { return "Gain"; }

void TGainLayer::Destroy() { delete this; }

TBasicLayer* TGainLayer::Clone(TBasicNetwork* owner) const {
    TGainLayer* copy = new TGainLayer(owner, GetLayerNumber(), GetNumNeurons(), 1.0);
    copy->CopyBaseFrom(*this);
    for (size_t i = 0; i < neurons.size(); ++i) {
        copy->neurons[i] = neurons[i];
        copy->neurons[i].CopyFrom(&neurons[i]);
    }
    NeuronArray::PlaceAll(copy->neurons, copy);
    return copy;
}

void TGainLayer::RemoveNeuron(int index) {
    KASSERT(index >= 0 && index < GetNumNeurons());
    // The value cells keep their addresses: only the neurons move.
    neurons = NeuronArray::Without(neurons, index);
    SetNumNeurons(GetNumNeurons() - 1);
    NeuronArray::PlaceAll(neurons, this);
}

void TGainLayer::InsertNeuron(int index) {
    KASSERT(index >= 0 && index <= GetNumNeurons());
    TGainNeuron added;
    // The new neuron shares the layer's function when one is known. ActNull
    // only describes an empty layer and is never given to a neuron.
    ActFunction common = CachedActFunction();
    if (common == ActNull) ForgetActFunction();
    if (common != nullptr && common != ActNull) added.SetActFunction(common);
    added.SetGain(neurons.empty() ? 1.0 : neurons[0].GetGain());
    neurons = NeuronArray::With(neurons, index, added);
    SetNumNeurons(GetNumNeurons() + 1);
    ResetValues(GetNumNeurons());
    NeuronArray::PlaceAll(neurons, this);
}

void TGainLayer::SetGain(double gain) {
    for (TGainNeuron& neuron : neurons) neuron.SetGain(gain);
}
