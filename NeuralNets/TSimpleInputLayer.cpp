#include "NeuralNets/TSimpleInputLayer.h"

#include <algorithm>
#include <iostream>

#include "NeuralNets/TBasicNetwork.h"

TSimpleInputLayer::TSimpleInputLayer(TBasicNetwork* network, int layerNumber, int numNeurons)
    : TSimpleLayer(network, layerNumber, numNeurons) {
    SetActFunction(ActLinear);
}

TSimpleInputLayer::~TSimpleInputLayer() = default;

void TSimpleInputLayer::Compute(const double* input) {
    double* cells = GetValues();
    int n = GetNumNeurons();
    if (GetLayerNumber() == GetNetwork()->GetInLayer()) {
        std::copy(input, input + n, cells);
        return;
    }
    std::cerr << "!Warning: changed input layer (TSimpleInputLayer)" << std::endl;
    std::fill(cells, cells + n, 0.0);
}

const char* TSimpleInputLayer::GetLayerType() const { return "Input"; }

TBasicLayer* TSimpleInputLayer::Clone(TBasicNetwork* owner) const {
    TSimpleInputLayer* copy = new TSimpleInputLayer(owner, GetLayerNumber(), GetNumNeurons());
    CopyInto(copy);
    return copy;
}
