#ifndef NEURALNETS_TCONNECTEDNETWORK_H
#define NEURALNETS_TCONNECTEDNETWORK_H

#include "NeuralNets/TArcsIterator.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TConnArcsIterators.h"
#include "NeuralNets/TConnectedConnections.h"

// A network whose connected layer pairs carry fully connected blocks, kind
// "Connected".
class TConnectedNetwork : public TBasicNetwork {
public:
    // For subclasses that call Create themselves.
    TConnectedNetwork();
    // numLayers layers, none stored yet (the creator stores them).
    explicit TConnectedNetwork(int numLayers);
    // Layer i gets numNeurons[i] neurons: a TSimpleInputLayer at the input
    // layer (1), TSimpleLayers elsewhere. No pair is connected and no function
    // set.
    TConnectedNetwork(int numLayers, const int* numNeurons);
    ~TConnectedNetwork() override;

    // Gives an unconnected pair a TConnectedConnections of zeros.
    void Connect(int fromLayer, int toLayer) override;
    const char* GetNetworkType() const override;
    // A TConnInAllArcsIterator on this network, owned by the caller; call Init
    // before use.
    TArcsIterator* NewInAllArcsIterator() override;
};

#endif
