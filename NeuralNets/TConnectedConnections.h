#ifndef NEURALNETS_TCONNECTEDCONNECTIONS_H
#define NEURALNETS_TCONNECTEDCONNECTIONS_H

#include <vector>

#include "NeuralNets/TBasicConnections.h"
#include "NeuralNets/TIterateObj.h"

// A fully connected block, kind "FullyConnected": one weight from every
// from-neuron to every to-neuron, each always existing and trainable (no
// flags; masks are ignored).
//
// Storage is row-major by to-neuron: w(f -> t) = index_weights[t][f], element
// t * nFrom + f of array_weights, so the forward sum walks each row
// contiguously. The weight vector, however, lists the weights from-neuron
// outer, to-neuron inner: w(0->0), w(0->1), ..., w(1->0), ...; visits run in
// storage order (to-neuron outer). The block remembers the shape of its
// storage and asserts that it matches its two layers whenever it runs, so a
// layer changed without the block following is caught, never read past.
class TConnectedConnections : public TBasicConnections {
public:
    // All weights 0.0; both layers must exist in network.
    TConnectedConnections(TBasicNetwork* network, int fromLayer, int toLayer);

    int GetNumWeights(int mask) override;
    int GetWeights(double* buffer, int mask) override;
    int SetWeights(const double* buffer, int mask) override;
    // Every weight, one draw each in storage order.
    void Randomize(double lo, double hi) override;
    double* GetWeight(int from, int to) override;
    void Propagate(double* netInputs) override;
    bool Exists(int from, int to) override;
    void Restore(int from, int to) override;
    void SetTrainable(int from, int to) override;
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
    // attached must be true: a fully connected block has no absent weights.
    // The new weights get one draw each, in increasing neuron order.
    void InsertFromNeuron(int node, double lo, double hi, bool attached) override;
    void InsertToNeuron(int node, double lo, double hi, bool attached) override;

    // The rows of the storage, for direct loops over every weight: row t
    // holds the weights into to-neuron t, from-neurons 0 .. nFrom-1
    // contiguous. Asserts that the storage matches the two layers.
    double* const* GetWeightRows();

protected:
    ~TConnectedConnections() override;

private:
    TConnectedConnections(TBasicNetwork* owner, const TConnectedConnections& source);
    void IndexRows();
    void CheckShape() const;
    void BindTo(TIterateObj* v);

    std::vector<double> array_weights;
    std::vector<double*> index_weights;
    size_t numFrom;  // shape of the storage: columns
    size_t numTo;    // and rows
};

#endif
