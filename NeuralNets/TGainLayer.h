#ifndef NEURALNETS_TGAINLAYER_H
#define NEURALNETS_TGAINLAYER_H

#include <vector>

#include "NeuralNets/TBasicLayer.h"
#include "NeuralNets/TBasicNeuron.h"

// A layer of gain neurons, kind "Gain". Its neurons may hold the "-gain"
// activation functions.
class TGainLayer : public TBasicLayer {
public:
    // Every neuron starts with the given gain.
    TGainLayer(TBasicNetwork* network, int layerNumber, int numNeurons, double gain);

    void Activate(const double* netInputs) override;
    TBasicNeuron* GetNeuron(int i) override { return &neurons[static_cast<size_t>(i)]; }
    const char* GetLayerType() const override;
    void Destroy() override;
    TBasicLayer* Clone(TBasicNetwork* owner) const override;
    void RemoveNeuron(int index) override;
    // The new neuron takes the gain of neuron 0 (1.0 in an empty layer).
    void InsertNeuron(int index) override;

    // Every neuron's gain.
    void SetGain(double gain);

protected:
    ~TGainLayer() override;

private:
    std::vector<TGainNeuron> neurons;
};

#endif
