#ifndef NEURALNETS_TSIMPLELAYER_H
#define NEURALNETS_TSIMPLELAYER_H

#include <vector>

#include "NeuralNets/TBasicLayer.h"
#include "NeuralNets/TBasicNeuron.h"

// A layer of plain neurons (no parameters), kind "Simple".
class TSimpleLayer : public TBasicLayer {
public:
    TSimpleLayer(TBasicNetwork* network, int layerNumber, int numNeurons);

    void Activate(const double* netInputs) override;
    TBasicNeuron* GetNeuron(int i) override { return &neurons[static_cast<size_t>(i)]; }
    const char* GetLayerType() const override;
    void Destroy() override;
    TBasicLayer* Clone(TBasicNetwork* owner) const override;
    void RemoveNeuron(int index) override;
    void InsertNeuron(int index) override;
    virtual int IsSimple() const;

protected:
    ~TSimpleLayer() override;
    // Gives the copy this layer's base state and neurons.
    void CopyInto(TSimpleLayer* copy) const;

private:
    std::vector<TBasicNeuron> neurons;
};

#endif
