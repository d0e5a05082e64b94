#include "NeuralNets/TMLPNetwork.h"

#include "KQmessage/KAssert.h"

TMLPNetwork::TMLPNetwork(int numLayers, bool withBias) : bias(withBias) {
    KASSERT(numLayers >= 0);
    Create(numLayers + 1);
}

TMLPNetwork::TMLPNetwork(int numLayers, const int* sizes, bool withBias) : bias(withBias) {
    KASSERT(numLayers >= 1);
    int k = numLayers;
    Create(k + 1);
    SetLayer(0, new TSimpleLayer(this, 0, bias ? 1 : 0));
    SetLayer(1, new TSimpleInputLayer(this, 1, sizes[0]));
    for (int i = 2; i <= k; ++i) SetLayer(i, new TGainLayer(this, i, sizes[i - 1], 1.0));
    GetLayer(1)->SetActFunction(ActLinear);
    for (int i = 2; i <= k; ++i) {
        Connect(i - 1, i);
        GetLayer(i)->SetActFunction(ActSigmoid);
    }
    if (bias) {
        GetLayer(0)->SetActFunction(ActBias);
        for (int i = 2; i <= k; ++i) Connect(0, i);
    }
    SetInLayer(1);
}

TMLPNetwork::~TMLPNetwork() = default;

const char* TMLPNetwork::GetNetworkType() const { return "MLP"; }
