#ifndef NEURALNETS_TPRUNEDCONNECTIONS_H
#define NEURALNETS_TPRUNEDCONNECTIONS_H

#include <vector>

#include "NeuralNets/TBasicConnections.h"
#include "NeuralNets/TIterateObj.h"

// A prunable block, kind "Pruneable": a full matrix of weights with one flag
// byte per weight (FMaskExists, FMaskTrainable; a new block has FMaskAll
// everywhere). Absent weights take no part in the forward pass and are not
// visited; a mask of FMaskExists selects the existing weights, any other mask
// the existing trainable ones.
//
// Storage is row-major by to-neuron: w(f -> t) = index_weights[t][f] with its
// flags at index_masks[t][f], element t * nFrom + f of array_weights and
// array_masks. Visits and the weight vector both run to-neuron outer,
// from-neuron inner, over the selected weights only. The block remembers the
// shape of its storage and asserts that it matches its two layers whenever it
// runs.
class TPrunedConnections : public TBasicConnections {
public:
    // All weights 0.0 with flags FMaskAll; both layers must exist in network.
    TPrunedConnections(TBasicNetwork* network, int fromLayer, int toLayer);

    // Direct loops in exactly the order and selection of Iterate.
    int GetNumWeights(int mask) override;
    int GetWeights(double* buffer, int mask) override;
    int SetWeights(const double* buffer, int mask) override;
    // Every weight whose flags carry FMaskTrainable (existing or not), one draw
    // each in storage order.
    void Randomize(double lo, double hi) override;
    double* GetWeight(int from, int to) override;
    void Propagate(double* netInputs) override;
    bool Exists(int from, int to) override;
    bool IsTrainable(int from, int to) override;
    // Flags 0 and weight 0.0.
    void Prune(int from, int to) override;
    // An absent weight comes back existing, trainable and 0.0; an existing one
    // is left alone.
    void Restore(int from, int to) override;
    void SetTrainable(int from, int to) override;
    void SetUntrainable(int from, int to) override;
    void IterateIn(TIterateObj* v, int toNode, int mask) override;
    void IterateOut(TIterateObj* v, int fromNode, int mask) override;
    void Iterate(TIterateObj* v, int mask) override;
    void Iterate2(TIterateObj2* v, TBasicNetwork* second, int mask) override;
    void Iterate3(TIterateObj3* v, TBasicNetwork* second, TBasicNetwork* third,
                  int mask) override;
    const char* GetConnectionsNType() const override;
    char GetFlags(int from, int to) override;
    // Stores any byte.
    void SetFlags(int from, int to, char val) override;
    void Destroy() override;
    TBasicConnections* Clone(TBasicNetwork* owner) const override;
    void RemoveFromNeuron(int node) override;
    void RemoveToNeuron(int node) override;
    // When attached, the new weights get one draw each (in increasing neuron
    // order) and flags FMaskAll; otherwise they are absent: 0.0, flags 0, and
    // nothing is drawn.
    void InsertFromNeuron(int node, double lo, double hi, bool attached) override;
    void InsertToNeuron(int node, double lo, double hi, bool attached) override;

    // The rows of the storage, for direct loops that apply the selection
    // themselves: row t holds the weights (flag bytes) into to-neuron t,
    // from-neurons 0 .. nFrom-1 contiguous. Assert that the storage matches
    // the two layers.
    double* const* GetWeightRows();
    const char* const* GetFlagRows();

protected:
    ~TPrunedConnections() override;

private:
    TPrunedConnections(TBasicNetwork* owner, const TPrunedConnections& source);
    void IndexRows();
    void CheckShape() const;
    void CheckPair(int from, int to) const;
    void BindTo(TIterateObj* v);

    std::vector<double> array_weights;
    std::vector<double*> index_weights;
    std::vector<char> array_masks;
    std::vector<char*> index_masks;
    size_t numFrom;  // shape of the storage: columns
    size_t numTo;    // and rows
};

#endif
