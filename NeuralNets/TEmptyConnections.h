#ifndef NEURALNETS_TEMPTYCONNECTIONS_H
#define NEURALNETS_TEMPTYCONNECTIONS_H

#include "NeuralNets/TBasicConnections.h"

// The block of a layer pair without connections: no weights, nothing to
// visit (visitors are not even bound), no contribution to the forward pass,
// no shape to follow when the layers change.
class TEmptyConnections : public virtual TBasicConnections {
public:
    TEmptyConnections(TBasicNetwork* network, int fromLayer, int toLayer);

    bool IsConnected() const override;
    int GetNumWeights(int mask) override;
    int GetWeights(double* buffer, int mask) override;
    int SetWeights(const double* buffer, int mask) override;
    void Randomize(double lo, double hi) override;
    // A programming error: the block has no weights.
    double* GetWeight(int from, int to) override;
    void Propagate(double* netInputs) override;
    bool Exists(int from, int to) override;
    bool IsTrainable(int from, int to) override;
    void IterateIn(TIterateObj* v, int toNode, int mask) override;
    void IterateOut(TIterateObj* v, int fromNode, int mask) override;
    void Iterate(TIterateObj* v, int mask) override;
    void Iterate2(TIterateObj2* v, TBasicNetwork* second, int mask) override;
    void Iterate3(TIterateObj3* v, TBasicNetwork* second, TBasicNetwork* third,
                  int mask) override;
    const char* GetConnectionsNType() const override;
    void Destroy() override;
    TBasicConnections* Clone(TBasicNetwork* owner) const override;
    void RemoveFromNeuron(int node) override;
    void RemoveToNeuron(int node) override;
    void InsertFromNeuron(int node, double lo, double hi, bool attached) override;
    void InsertToNeuron(int node, double lo, double hi, bool attached) override;

protected:
    ~TEmptyConnections() override;

private:
    double dummyWeight = 0.0;
};

#endif
