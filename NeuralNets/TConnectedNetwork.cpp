#include "NeuralNets/TConnectedNetwork.h"

#include "KQmessage/KAssert.h"

TConnectedNetwork::TConnectedNetwork() = default;

TConnectedNetwork::TConnectedNetwork(int numLayers) : TBasicNetwork(numLayers) {}

TConnectedNetwork::TConnectedNetwork(int numLayers, const int* numNeurons)
    : TBasicNetwork(numLayers) {
    for (int i = 0; i < numLayers; ++i) {
        if (i == GetInLayer()) {
            SetLayer(i, new TSimpleInputLayer(this, i, numNeurons[i]));
        } else {
            SetLayer(i, new TSimpleLayer(this, i, numNeurons[i]));
        }
    }
}

TConnectedNetwork::~TConnectedNetwork() = default;

void TConnectedNetwork::Connect(int fromLayer, int toLayer) {
    if (GetConnections(fromLayer, toLayer)->IsConnected()) return;
    KASSERT(GetLayer(fromLayer) != nullptr && GetLayer(toLayer) != nullptr);
    ReplaceConnections(fromLayer, toLayer, new TConnectedConnections(this, fromLayer, toLayer));
}

const char* TConnectedNetwork::GetNetworkType() const { return "Connected"; }

TArcsIterator* TConnectedNetwork::NewInAllArcsIterator() { return new TConnInAllArcsIterator(this); }
