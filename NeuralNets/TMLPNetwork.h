#ifndef NEURALNETS_TMLPNETWORK_H
#define NEURALNETS_TMLPNETWORK_H

#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TPrunedConnections.h"

// A multi-layer perceptron, kind "MLP": layer 0 is the bias layer (one
// neuron with ActBias, or no neuron without a bias), layer 1 the input layer,
// the following layers hidden and output layers. In the standard form each of
// these is connected to the layer before it and to the bias layer; Connect
// creates prunable blocks.
class TMLPNetwork : public TBasicNetwork {
public:
    // numLayers counts the layers without the bias layer: the network has
    // numLayers + 1 layers, none stored yet (the creator stores them).
    TMLPNetwork(int numLayers, bool bias);
    // A complete standard MLP: sizes holds numLayers neuron counts, the input
    // layer's first. Hidden and output layers are gain layers (gain 1.0) with
    // ActSigmoid, the input layer holds ActLinear; all weights 0.0.
    TMLPNetwork(int numLayers, const int* sizes, bool bias);
    ~TMLPNetwork() override;

    const char* GetNetworkType() const override;

    bool HasBias() const { return bias; }

private:
    bool bias;
};

#endif
