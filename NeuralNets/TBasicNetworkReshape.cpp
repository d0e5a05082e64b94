// Reshaping a network: neurons and layers inserted and removed. Layers
// change first, then every block touching them follows.

#include "KQmessage/KAssert.h"
#include "NeuralNets/TBasicNetwork.h"

void TBasicNetwork::AddNeuron(int LayerNum, int node, double lo, double hi, bool attached) {
    KASSERT(LayerNum >= 0);
    KASSERT(LayerNum < numLayers);
    KASSERT(LayerNum != inLayer);
    KASSERT(LayerNum != outLayer);
    TBasicLayer* layer = GetLayer(LayerNum);
    KASSERT(node >= 0);
    KASSERT(node <= layer->GetNumNeurons());
    layer->InsertNeuron(node);
    // The block from the layer to itself takes both insertions.
    for (int i = 0; i < numLayers; ++i) {
        GetConnections(LayerNum, i)->InsertFromNeuron(node, lo, hi, attached);
        GetConnections(i, LayerNum)->InsertToNeuron(node, lo, hi, attached);
    }
}

void TBasicNetwork::RemoveNeuron(int LayerNum, int node) {
    KASSERT(LayerNum >= 0);
    KASSERT(LayerNum < numLayers);
    KASSERT(LayerNum != inLayer);
    KASSERT(LayerNum != outLayer);
    TBasicLayer* layer = GetLayer(LayerNum);
    KASSERT(node >= 0);
    KASSERT(node < layer->GetNumNeurons());
    layer->RemoveNeuron(node);
    for (int i = 0; i < numLayers; ++i) {
        GetConnections(LayerNum, i)->RemoveFromNeuron(node);
        GetConnections(i, LayerNum)->RemoveToNeuron(node);
    }
}

int TBasicNetwork::PruneNodes() {
    int pruned = 0;
    for (int LayerNum = outLayer - 1; LayerNum >= 0; --LayerNum) {
        if (LayerNum == inLayer || LayerNum == outLayer) continue;
        // Downwards, so that the neurons still to be examined keep their
        // positions.
        for (int node = GetLayer(LayerNum)->GetNumNeurons() - 1; node >= 0; --node) {
            TIterateObjPruneNode counter;
            IterateOut(&counter, LayerNum, node, FMaskExists);
            if (counter.count == 0) {
                RemoveNeuron(LayerNum, node);
                pruned += 1;
            }
        }
    }
    return pruned;
}

void TBasicNetwork::InsertLayer(int LayerNum, TBasicLayer* layer) {
    KASSERT(LayerNum >= 0);
    KASSERT(LayerNum <= numLayers);
    KASSERT(layer != nullptr);
    KASSERT(layer->GetNetwork() == this);
    size_t oldCount = static_cast<size_t>(numLayers);
    size_t count = oldCount + 1;
    size_t at = static_cast<size_t>(LayerNum);

    // Empty blocks for the new row and column first: if an allocation fails,
    // the network is unchanged.
    std::vector<ConnsPtr> conns(count * count);
    for (size_t to = 0; to < count; ++to) {
        for (size_t from = 0; from < count; ++from) {
            if (to == at || from == at) {
                conns[to * count + from].reset(
                    new TEmptyConnections(this, static_cast<int>(from), static_cast<int>(to)));
            }
        }
    }
    std::vector<LayerPtr> newLayers(count);

    // Old block (from j, to i) moves to row i + (i >= L), column j + (j >= L).
    for (size_t to = 0; to < oldCount; ++to) {
        for (size_t from = 0; from < oldCount; ++from) {
            size_t row = to + (to >= at ? 1 : 0);
            size_t column = from + (from >= at ? 1 : 0);
            conns[row * count + column] = std::move(priv_conns[to * oldCount + from]);
        }
    }
    for (size_t to = 0; to < count; ++to) {
        for (size_t from = 0; from < count; ++from) {
            conns[to * count + from]->SetLayerPair(static_cast<int>(from), static_cast<int>(to));
        }
    }
    for (size_t i = 0; i < oldCount; ++i) {
        newLayers[i + (i >= at ? 1 : 0)] = std::move(layers[i]);
    }
    newLayers[at].reset(layer);
    for (size_t i = 0; i < count; ++i) {
        if (newLayers[i] != nullptr) newLayers[i]->SetLayerNumber(static_cast<int>(i));
    }
    if (inLayer >= LayerNum) inLayer += 1;
    if (outLayer >= LayerNum) outLayer += 1;

    numLayers += 1;
    priv_conns.swap(conns);
    layers.swap(newLayers);
    RebuildIndex();
}

void TBasicNetwork::RemoveLayer(int LayerNum) {
    KASSERT(LayerNum >= 0);
    KASSERT(LayerNum < numLayers);
    KASSERT(LayerNum != inLayer);
    KASSERT(LayerNum != outLayer);
    size_t oldCount = static_cast<size_t>(numLayers);
    size_t count = oldCount - 1;
    size_t at = static_cast<size_t>(LayerNum);

    // Element (row i, column j) takes old block (row i + (i >= L), column
    // j + (j >= L)); the blocks of old row and column L go with the old matrix.
    std::vector<ConnsPtr> conns(count * count);
    for (size_t to = 0; to < count; ++to) {
        for (size_t from = 0; from < count; ++from) {
            size_t row = to + (to >= at ? 1 : 0);
            size_t column = from + (from >= at ? 1 : 0);
            conns[to * count + from] = std::move(priv_conns[row * oldCount + column]);
            conns[to * count + from]->SetLayerPair(static_cast<int>(from), static_cast<int>(to));
        }
    }
    priv_conns.swap(conns);
    conns.clear();

    layers.erase(layers.begin() + static_cast<std::ptrdiff_t>(at));
    for (size_t i = 0; i < count; ++i) {
        if (layers[i] != nullptr) layers[i]->SetLayerNumber(static_cast<int>(i));
    }
    if (inLayer > LayerNum) inLayer -= 1;
    if (outLayer > LayerNum) outLayer -= 1;
    numLayers -= 1;
    RebuildIndex();
}
