#ifndef NEURALNETS_TBASICLAYER_H
#define NEURALNETS_TBASICLAYER_H

#include <vector>

#include "NeuralNets/ActFunctions.h"

class TBasicNetwork;
class TBasicNeuron;

// A layer of a network: its neurons and one value cell per neuron. In a
// forward step a cell first receives the neuron's net input, then its output.
//
// Invariants: neuron i has index i, the layer's number, this layer as owner
// and output = &values[i]; when the cached common function is set, every
// neuron holds it; GetNumNeurons() always equals the length of the neuron
// array (insertion and removal keep it in step). A layer is freed through
// Destroy(), never with delete.
class TBasicLayer {
public:
    TBasicLayer(const TBasicLayer&) = delete;
    TBasicLayer& operator=(const TBasicLayer&) = delete;

    // Applies the activation functions to netInputs, writing each neuron's
    // output into its cell. netInputs may be the layer's own values.
    virtual void Activate(const double* netInputs);
    // Neuron i, 0 <= i < GetNumNeurons(); not range-checked.
    virtual TBasicNeuron* GetNeuron(int i) = 0;
    // The forward step: net inputs gathered from lower-numbered layers
    // through the network's blocks (or the input itself at the network's input
    // layer), then activation.
    virtual void Compute(const double* input);
    // "Simple", "Gain" or "Input": the layer kind names of network files.
    virtual const char* GetLayerType() const = 0;
    virtual void Destroy() = 0;
    // A copy belonging to owner: same kind, number, functions, parameters and
    // dimensions; values all 0.0.
    virtual TBasicLayer* Clone(TBasicNetwork* owner) const = 0;
    // Remove or insert the neuron at position index; the number of neurons
    // follows. Blocks touching the layer must be reshaped right after (the
    // network does both).
    virtual void RemoveNeuron(int index) = 0;
    virtual void InsertNeuron(int index);

    // fn must not be null, and a "-gain" function needs a layer of gain
    // neurons. Sets every neuron's function.
    void SetActFunction(ActFunction fn);
    // The function shared by all neurons, null when they differ; ActNull for a
    // layer without neurons.
    ActFunction GetActFunction();
    // Called when a neuron's function changes.
    void ForgetActFunction() { commonFunction = nullptr; }
    // Whether the neurons carry a gain, so that "-gain" functions may be set.
    bool HasGainNeurons() const { return gainNeurons; }

    int GetNumNeurons() const { return numNeurons; }
    int GetLayerNumber() const { return layerNumber; }
    double* GetValues() { return values.data(); }
    const double* GetValues() const { return values.data(); }
    TBasicNetwork* GetNetwork() const { return network; }
    // The network renumbers its layers when it inserts or removes one.
    void SetLayerNumber(int number);

    // An optional shape of the layer (rows and columns of a grid, say),
    // stored and returned unchanged.
    int GetNumDimensions() const { return static_cast<int>(dimensions.size()); }
    void GetDimensions(int* out) const;
    void SetDimensions(int count, const int* list);

protected:
    TBasicLayer(TBasicNetwork* owner, int number, int neuronCount, bool withGain);
    virtual ~TBasicLayer();

    // Cloning: dimensions and common function of source (values stay zero).
    void CopyBaseFrom(const TBasicLayer& source);
    void SetNumNeurons(int count) { numNeurons = count; }
    // A fresh array of count zeros (neuron outputs must be placed again).
    void ResetValues(int count);
    ActFunction CachedActFunction() const { return commonFunction; }

private:
    TBasicNetwork* network;
    ActFunction commonFunction;
    int numNeurons;
    int layerNumber;
    std::vector<double> values;
    std::vector<int> dimensions;
    const bool gainNeurons;
};

#endif
