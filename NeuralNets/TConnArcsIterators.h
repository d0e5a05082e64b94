#ifndef NEURALNETS_TCONNARCSITERATORS_H
#define NEURALNETS_TCONNARCSITERATORS_H

#include "NeuralNets/TArcsIterator.h"

class TBasicConnections;

// Walks the arcs into neuron toNode of layer toLayer from every layer: from-
// layer 0 upwards and, within a block, from-neuron 0 upwards. Unconnected
// blocks and from-layers without neurons are skipped; blocks from the layer
// itself or from higher layers are walked like any other.
//
// Past the last arc, Prev() returns to the last arc; before the first arc,
// Next() goes to the first one (the state after Init).
class TConnInAllArcsIterator : public TInAllArcsIterator {
public:
    explicit TConnInAllArcsIterator(TBasicNetwork* network);

    void Init(int toLayer, int toNode) override;
    int GetFromLayer() const override { return fromLayer; }
    int GetToLayer() const override { return toLayer; }
    int GetFromNode() const override { return fromNode; }
    int GetToNode() const override { return toNode; }
    TBasicNeuron* GetToNeuron() const override { return toNeuron; }
    TBasicNeuron* GetFromNeuron() const override { return fromNeuron; }
    double* GetWeight() const override { return weight; }
    bool CheckValid() const override { return conns != nullptr; }
    bool Next() override;
    bool Prev() override;

private:
    // Makes the pair's block current when it is connected and its from-layer
    // has neurons, standing on from-neuron node (or the last one when node is
    // negative).
    bool Enter(int layer, int node);
    void Stand(int node);
    void Leave();

    int toLayer = 0;
    int toNode = 0;
    TBasicNeuron* toNeuron = nullptr;
    int fromLayer = -1;   // -1 before the first block, numLayers past the last
    int fromNode = -1;    // -1 between blocks
    int lastIndex = -1;   // last neuron index of the current from-layer
    TBasicNeuron* fromNeuron = nullptr;
    double* weight = nullptr;
    TBasicConnections* conns = nullptr;  // null when the cursor stands on no arc
};

// Walks the arcs into neuron toNode of toLayer from one from-layer. On a pair
// that is not connected there is no arc: Next() answers false.
class TConnInLayerArcsIterator : public TInLayerArcsIterator {
public:
    explicit TConnInLayerArcsIterator(TBasicNetwork* network);

    void Init(int toLayer, int toNode, int fromLayer) override;
    int GetFromLayer() const override { return fromLayer; }
    int GetToLayer() const override { return toLayer; }
    int GetFromNode() const override { return fromNode; }
    int GetToNode() const override { return toNode; }
    TBasicNeuron* GetToNeuron() const override { return toNeuron; }
    TBasicNeuron* GetFromNeuron() const override { return fromNeuron; }
    double* GetWeight() const override { return weight; }
    bool CheckValid() const override { return conns != nullptr; }
    bool Next() override;
    bool Prev() override;

private:
    void Stand(int node);

    int fromLayer = 0;
    int toLayer = 0;
    int toNode = 0;
    int fromNode = -1;
    TBasicNeuron* toNeuron = nullptr;
    TBasicNeuron* fromNeuron = nullptr;
    double* weight = nullptr;
    double* fromValues = nullptr;
    int lastIndex = -1;
    TBasicConnections* conns = nullptr;
};

#endif
