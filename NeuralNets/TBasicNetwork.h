#ifndef NEURALNETS_TBASICNETWORK_H
#define NEURALNETS_TBASICNETWORK_H

#include <memory>
#include <vector>

#include "NeuralNets/ActFunctions.h"
#include "NeuralNets/TBasicConnections.h"
#include "NeuralNets/TBasicLayer.h"
#include "NeuralNets/TBasicNeuron.h"
#include "NeuralNets/TEmptyConnections.h"
#include "NeuralNets/TGainLayer.h"
#include "NeuralNets/TIterateObj.h"
#include "NeuralNets/TIterateObjects.h"
#include "NeuralNets/TSimpleInputLayer.h"
#include "NeuralNets/TSimpleLayer.h"

class TArcsIterator;

// Frees a layer or a block through its Destroy() operation.
struct TDestroyer {
    template <class T>
    void operator()(T* part) const {
        part->Destroy();
    }
};

// A layered feed-forward network: numLayers layers, layer i numbered i, and a
// square matrix of connection blocks, one per ordered layer pair, plus its own
// registry of activation functions.
//
// Data layout: the block from layer f to layer t is priv_conns_index[t][f],
// element t * numLayers + f of priv_conns; pairs without weights hold a
// TEmptyConnections whose layer pair equals its row and column. The weight
// vector runs over the blocks with the from-layer outer and the to-layer inner
// (both ascending), each block contributing its selected weights in its own
// order; two networks of identical structure give vectors whose positions
// correspond. The forward pass runs the layers in increasing number and feeds
// each layer only from lower-numbered layers.
//
// A network created with a number of layers holds only empty blocks and no
// layers: its creator stores a layer at every position before using it.
class TBasicNetwork {
public:
    // For subclasses that call Create themselves.
    TBasicNetwork();
    explicit TBasicNetwork(int numLayers);
    // A deep copy sharing nothing with x; always a TBasicNetwork.
    TBasicNetwork(const TBasicNetwork& x);
    TBasicNetwork& operator=(const TBasicNetwork& x);
    virtual ~TBasicNetwork();

    // The length of the weight vector for mask (FMaskExists: every existing
    // weight; any other mask: the existing trainable ones).
    virtual int GetNumWeights(int mask);
    virtual int GetWeights(double* buffer, int mask);
    virtual int SetWeights(const double* buffer, int mask);
    // Every block's Randomize, in weight-vector order.
    virtual void Randomize(double lo, double hi);
    // Gives an unconnected pair a weight block (here a TPrunedConnections,
    // every weight existing, trainable and 0.0); a connected pair keeps its
    // block.
    virtual void Connect(int fromLayer, int toLayer);
    // Gives the pair an empty block; its weights are lost.
    virtual void Disconnect(int fromLayer, int toLayer);
    // The forward pass: input has the input layer's length, output receives
    // the output layer's values. Allocates nothing.
    virtual void Recall(const double* input, double* output);
    // "Basic", "Connected" or "MLP": the network kind names of network files.
    virtual const char* GetNetworkType() const;
    // An iterator over the incoming arcs of a neuron, owned by the caller;
    // only networks with fully connected blocks provide one.
    virtual TArcsIterator* NewInAllArcsIterator();

    // numLayers layers (none stored yet), only empty blocks, inLayer 1,
    // outLayer numLayers - 1, a registry of the built-in functions.
    void Create(int numLayers);

    int GetNumNeurons() const;
    // Neurons numbered across the layers in layer order.
    TBasicNeuron* GetNeuron(int index);

    // Reshaping. The layer must be a hidden layer (neither inLayer nor
    // outLayer); new weights are drawn in [lo, hi) when attached, while a
    // prunable block creates them absent when not attached.
    void AddNeuron(int LayerNum, int node, double lo, double hi, bool attached);
    void RemoveNeuron(int LayerNum, int node);
    // Removes the hidden neurons below outLayer (except inLayer's) that have
    // no existing outgoing weight; returns how many.
    int PruneNodes();
    // Inserts layer (which must belong to this network) at position LayerNum,
    // 0 .. numLayers, with empty blocks to and from it; takes ownership.
    void InsertLayer(int LayerNum, TBasicLayer* layer);
    void RemoveLayer(int LayerNum);

    // Visit the weights into or out of one neuron, over every block of the
    // layer's row (into) or column (out of), other layers ascending.
    void IterateIn(TIterateObj* v, int layer, int node, int mask);
    void IterateOut(TIterateObj* v, int layer, int node, int mask);

    int GetNumLayers() const { return numLayers; }
    // Null until a layer has been stored at i.
    TBasicLayer* GetLayer(int i) const;
    // Stores layer at position i, destroying a layer stored there before; the
    // layer must belong to this network and carry number i.
    void SetLayer(int i, TBasicLayer* layer);
    int GetInLayer() const { return inLayer; }
    int GetOutLayer() const { return outLayer; }
    void SetInLayer(int layer);
    void SetOutLayer(int layer);
    // The block from layer from to layer to.
    TBasicConnections* GetConnections(int from, int to) const;
    // Replaces the block of its layer pair by block (destroying the old one);
    // the block must belong to this network and name the pair.
    void ReplaceConnections(int from, int to, TBasicConnections* block);
    TFnRegistry* GetRegistry() const { return registry.get(); }

protected:
    using LayerPtr = std::unique_ptr<TBasicLayer, TDestroyer>;
    using ConnsPtr = std::unique_ptr<TBasicConnections, TDestroyer>;

    void CheckLayerNumber(int layer) const;

private:
    void CopyFrom(const TBasicNetwork& x);
    void RebuildIndex();

    int numLayers;
    std::vector<LayerPtr> layers;
    int inLayer;
    int outLayer;
    std::vector<ConnsPtr> priv_conns;
    std::vector<ConnsPtr*> priv_conns_index;
    std::unique_ptr<TFnRegistry> registry;
};

#endif
