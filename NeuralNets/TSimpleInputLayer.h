#ifndef NEURALNETS_TSIMPLEINPUTLAYER_H
#define NEURALNETS_TSIMPLEINPUTLAYER_H

#include "NeuralNets/TSimpleLayer.h"

// The input layer, kind "Input": at the network's input layer position it
// takes the input vector unchanged (no block is read, no function applied);
// its neurons hold ActLinear so that files and training see the identity.
class TSimpleInputLayer : public TSimpleLayer {
public:
    TSimpleInputLayer(TBasicNetwork* network, int layerNumber, int numNeurons);

    void Compute(const double* input) override;
    const char* GetLayerType() const override;
    TBasicLayer* Clone(TBasicNetwork* owner) const override;

protected:
    ~TSimpleInputLayer() override;
};

#endif
