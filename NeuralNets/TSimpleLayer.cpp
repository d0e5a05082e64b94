#include "NeuralNets/TSimpleLayer.h"

#include "KQmessage/KAssert.h"
#include "NeuralNets/NeuronArray.h"

TSimpleLayer::TSimpleLayer(TBasicNetwork* network, int layerNumber, int numNeurons)
    : TBasicLayer(network, layerNumber, numNeurons, false),
      neurons(static_cast<size_t>(numNeurons)) {
    NeuronArray::PlaceAll(neurons, this);
}

TSimpleLayer::~TSimpleLayer() = default;

void TSimpleLayer::Activate(const double* netInputs) {
    NeuronArray::Activate(neurons, CachedActFunction(), netInputs);
}

const char* TSimpleLayer::GetLayerType() const { return "Simple"; }

void TSimpleLayer::Destroy() { delete this; }

void TSimpleLayer::CopyInto(TSimpleLayer* copy) const {
    copy->CopyBaseFrom(*this);
    for (size_t i = 0; i < neurons.size(); ++i) {
        copy->neurons[i] = neurons[i];
        copy->neurons[i].CopyFrom(&neurons[i]);
    }
    NeuronArray::PlaceAll(copy->neurons, copy);
}

TBasicLayer* TSimpleLayer::Clone(TBasicNetwork* owner) const {
    TSimpleLayer* copy = new TSimpleLayer(owner, GetLayerNumber(), GetNumNeurons());
    CopyInto(copy);
    return copy;
}

void TSimpleLayer::RemoveNeuron(int index) {
    KASSERT(index >= 0 && index < GetNumNeurons());
    // The value cells keep their addresses: only the neurons move.
    neurons = NeuronArray::Without(neurons, index);
    SetNumNeurons(GetNumNeurons() - 1);
    NeuronArray::PlaceAll(neurons, this);
}

void TSimpleLayer::InsertNeuron(int index) {
    KASSERT(index >= 0 && index <= GetNumNeurons());
    TBasicNeuron added;
    // The new neuron shares the layer's function when one is known. ActNull
    // only describes an empty layer and is never given to a neuron.
    ActFunction common = CachedActFunction();
    if (common == ActNull) ForgetActFunction();
    if (common != nullptr && common != ActNull) added.SetActFunction(common);
    neurons = NeuronArray::With(neurons, index, added);
    SetNumNeurons(GetNumNeurons() + 1);
    ResetValues(GetNumNeurons());
    NeuronArray::PlaceAll(neurons, this);
}

int TSimpleLayer::IsSimple() const { return 1; }
