#include "NeuralNets/TBasicLayer.h"

#include <algorithm>
#include <iostream>

#include "KQmessage/KAssert.h"
#include "NeuralNets/TBasicConnections.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TBasicNeuron.h"

TBasicLayer::TBasicLayer(TBasicNetwork* owner, int number, int neuronCount, bool withGain)
    : network(owner),
      commonFunction(nullptr),
      numNeurons(neuronCount),
      layerNumber(number),
      gainNeurons(withGain) {
    KASSERT(neuronCount >= 0);
    values.assign(static_cast<size_t>(neuronCount), 0.0);
}

TBasicLayer::~TBasicLayer() = default;

void TBasicLayer::Activate(const double* netInputs) {
    for (int i = 0; i < numNeurons; ++i) {
        TBasicNeuron* neuron = GetNeuron(i);
        ActFunction fn = commonFunction != nullptr ? commonFunction : neuron->GetActFunction();
        fn(neuron, netInputs[i]);
    }
}

void TBasicLayer::Compute(const double* input) {
    double* cells = values.data();
    if (layerNumber == network->GetInLayer()) {
        std::cerr << "!Warning: changed input layer (TSimpleLayer)" << std::endl;
        std::copy(input, input + numNeurons, cells);
    } else {
        std::fill(cells, cells + numNeurons, 0.0);
    }
    // Only lower-numbered layers feed this one: their values are already
    // computed in this pass.
    for (int from = 0; from < layerNumber; ++from) {
        network->GetConnections(from, layerNumber)->Propagate(cells);
    }
    Activate(cells);
}

void TBasicLayer::InsertNeuron(int) {
    KAssertFailed("InsertNeuron supported by this layer kind", __FILE__, __LINE__);
}

void TBasicLayer::SetActFunction(ActFunction fn) {
    KASSERT(fn != nullptr);
    KASSERT(!IsGainFunction(fn) || gainNeurons);
    for (int i = 0; i < numNeurons; ++i) GetNeuron(i)->SetActFunction(fn);
    commonFunction = fn;
}

ActFunction TBasicLayer::GetActFunction() {
    if (commonFunction != nullptr) return commonFunction;
    if (numNeurons == 0) {
        commonFunction = ActNull;
        return commonFunction;
    }
    ActFunction first = GetNeuron(0)->GetActFunction();
    for (int i = 1; i < numNeurons; ++i) {
        if (GetNeuron(i)->GetActFunction() != first) return nullptr;
    }
    commonFunction = first;
    return commonFunction;
}

void TBasicLayer::SetLayerNumber(int number) {
    layerNumber = number;
    for (int i = 0; i < numNeurons; ++i) GetNeuron(i)->SetLayerNumber(number);
}

void TBasicLayer::GetDimensions(int* out) const {
    std::copy(dimensions.begin(), dimensions.end(), out);
}

void TBasicLayer::SetDimensions(int count, const int* list) {
    KASSERT(count >= 0);
    dimensions.assign(list, list + count);
}

void TBasicLayer::CopyBaseFrom(const TBasicLayer& source) {
    dimensions = source.dimensions;
    commonFunction = source.commonFunction;
}

void TBasicLayer::ResetValues(int count) { values.assign(static_cast<size_t>(count), 0.0); }
