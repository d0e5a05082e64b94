#ifndef NEURALNETS_TMLPNETWORK_H
#define NEURALNETS_TMLPNETWORK_H

#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TPrunedConnections.h"

class Data;
class TErrorObj;

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

    // Recall over a data set. Each operation rewinds in's cursor and reads
    // rows with GetNextRow; a row delivers as many inputs as the input layer
    // has neurons, and the network gives as many outputs as its output layer
    // has. Exceptions of the data set pass through; nothing leaks and no
    // partial result is delivered then.
    //
    // A new data set (owned by the caller) of GetNumRows() rows: each row's
    // inputs with the network's outputs for them. in must not be null.
    Data* RecallData(Data* in);
    // *out := a new data set (owned by the caller) of the outputs alone, one
    // row per stored row of in. A null in throws TException "Null data
    // pointer" / "Null Pointer Parameter" / "TVarn::RecallOutputOnly".
    void RecallOutputOnly(Data* in, Data** out);
    // Feeds the expected outputs and the network's outputs of GetNumRows()
    // rows to err (not reset first) and returns its GetError. in and err must
    // not be null.
    double CalcDataError(Data* in, TErrorObj* err);

private:
    bool bias;
};

#endif
