#include "NeuralNets/TBasicNetwork.h"

#include <algorithm>
#include <climits>

#include "KQmessage/KAssert.h"
#include "NeuralNets/TPrunedConnections.h"

TBasicNetwork::TBasicNetwork() : numLayers(0), inLayer(1), outLayer(-1) {}

TBasicNetwork::TBasicNetwork(int n) : TBasicNetwork() { Create(n); }

TBasicNetwork::TBasicNetwork(const TBasicNetwork& x) : TBasicNetwork() { CopyFrom(x); }

TBasicNetwork& TBasicNetwork::operator=(const TBasicNetwork& x) {
    if (this != &x) CopyFrom(x);
    return *this;
}

TBasicNetwork::~TBasicNetwork() = default;

void TBasicNetwork::Create(int n) {
    KASSERT(n >= 0);
    size_t count = static_cast<size_t>(n);
    std::vector<ConnsPtr> conns(count * count);
    for (int to = 0; to < n; ++to) {
        for (int from = 0; from < n; ++from) {
            conns[static_cast<size_t>(to) * count + static_cast<size_t>(from)].reset(
                new TEmptyConnections(this, from, to));
        }
    }
    std::vector<LayerPtr> noLayers(count);
    auto functions = std::make_unique<TFnRegistry>();
    functions->RegisterDefaults();

    numLayers = n;
    inLayer = 1;
    outLayer = n - 1;
    priv_conns.swap(conns);
    layers.swap(noLayers);
    registry = std::move(functions);
    RebuildIndex();
}

// Everything is built aside first, so that a failed allocation leaves this
// network as it was; the old parts are released when the locals go.
void TBasicNetwork::CopyFrom(const TBasicNetwork& x) {
    size_t count = static_cast<size_t>(x.numLayers);
    std::vector<LayerPtr> newLayers(count);
    for (size_t i = 0; i < count; ++i) {
        KASSERT(x.layers[i] != nullptr);
        newLayers[i].reset(x.layers[i]->Clone(this));
    }
    std::vector<ConnsPtr> newConns(count * count);
    for (size_t k = 0; k < newConns.size(); ++k) {
        newConns[k].reset(x.priv_conns[k]->Clone(this));
    }
    // Only the built-in functions are carried over.
    auto functions = std::make_unique<TFnRegistry>();
    functions->RegisterDefaults();

    numLayers = x.numLayers;
    inLayer = x.inLayer;
    outLayer = x.outLayer;
    layers.swap(newLayers);
    priv_conns.swap(newConns);
    registry = std::move(functions);
    RebuildIndex();
}

void TBasicNetwork::RebuildIndex() {
    size_t count = static_cast<size_t>(numLayers);
    priv_conns_index.assign(count, nullptr);
    for (size_t to = 0; to < count; ++to) priv_conns_index[to] = priv_conns.data() + to * count;
}

void TBasicNetwork::CheckLayerNumber(int layer) const {
    KASSERT(layer >= 0);
    KASSERT(layer < numLayers);
}

TBasicLayer* TBasicNetwork::GetLayer(int i) const {
    CheckLayerNumber(i);
    return layers[static_cast<size_t>(i)].get();
}

void TBasicNetwork::SetLayer(int i, TBasicLayer* layer) {
    CheckLayerNumber(i);
    KASSERT(layer != nullptr);
    KASSERT(layer->GetNetwork() == this);
    KASSERT(layer->GetLayerNumber() == i);
    layers[static_cast<size_t>(i)].reset(layer);
}

void TBasicNetwork::SetInLayer(int layer) {
    CheckLayerNumber(layer);
    inLayer = layer;
}

void TBasicNetwork::SetOutLayer(int layer) {
    CheckLayerNumber(layer);
    outLayer = layer;
}

TBasicConnections* TBasicNetwork::GetConnections(int from, int to) const {
    CheckLayerNumber(from);
    CheckLayerNumber(to);
    return priv_conns_index[static_cast<size_t>(to)][from].get();
}

void TBasicNetwork::ReplaceConnections(int from, int to, TBasicConnections* block) {
    CheckLayerNumber(from);
    CheckLayerNumber(to);
    KASSERT(block != nullptr);
    KASSERT(block->GetNetwork() == this);
    KASSERT(block->GetFromLayer() == from && block->GetToLayer() == to);
    priv_conns_index[static_cast<size_t>(to)][from].reset(block);
}

int TBasicNetwork::GetNumWeights(int mask) {
    long long total = 0;
    for (int from = 0; from < numLayers; ++from) {
        for (int to = 0; to < numLayers; ++to) {
            total += priv_conns_index[static_cast<size_t>(to)][from]->GetNumWeights(mask);
            KASSERT(total <= INT_MAX);
        }
    }
    return static_cast<int>(total);
}

int TBasicNetwork::GetWeights(double* buffer, int mask) {
    int position = 0;
    for (int from = 0; from < numLayers; ++from) {
        for (int to = 0; to < numLayers; ++to) {
            int count = priv_conns_index[static_cast<size_t>(to)][from]->GetWeights(
                buffer + position, mask);
            KASSERT(count <= INT_MAX - position);
            position += count;
        }
    }
    return position;
}

int TBasicNetwork::SetWeights(const double* buffer, int mask) {
    int position = 0;
    for (int from = 0; from < numLayers; ++from) {
        for (int to = 0; to < numLayers; ++to) {
            int count = priv_conns_index[static_cast<size_t>(to)][from]->SetWeights(
                buffer + position, mask);
            KASSERT(count <= INT_MAX - position);
            position += count;
        }
    }
    return position;
}

void TBasicNetwork::Randomize(double lo, double hi) {
    for (int from = 0; from < numLayers; ++from) {
        for (int to = 0; to < numLayers; ++to) {
            priv_conns_index[static_cast<size_t>(to)][from]->Randomize(lo, hi);
        }
    }
}

void TBasicNetwork::Connect(int fromLayer, int toLayer) {
    if (GetConnections(fromLayer, toLayer)->IsConnected()) return;
    KASSERT(GetLayer(fromLayer) != nullptr && GetLayer(toLayer) != nullptr);
    ReplaceConnections(fromLayer, toLayer, new TPrunedConnections(this, fromLayer, toLayer));
}

void TBasicNetwork::Disconnect(int fromLayer, int toLayer) {
    CheckLayerNumber(fromLayer);
    CheckLayerNumber(toLayer);
    ReplaceConnections(fromLayer, toLayer, new TEmptyConnections(this, fromLayer, toLayer));
}

void TBasicNetwork::Recall(const double* input, double* output) {
    for (size_t i = 0; i < layers.size(); ++i) {
        KASSERT(layers[i] != nullptr);
        layers[i]->Compute(input);
    }
    const TBasicLayer* out = GetLayer(outLayer);
    std::copy(out->GetValues(), out->GetValues() + out->GetNumNeurons(), output);
}

const char* TBasicNetwork::GetNetworkType() const { return "Basic"; }

TArcsIterator* TBasicNetwork::NewInAllArcsIterator() {
    KAssertFailed("NewInAllArcsIterator on a connected network", __FILE__,
                  __LINE__);
}

int TBasicNetwork::GetNumNeurons() const {
    long long total = 0;
    for (const LayerPtr& layer : layers) {
        KASSERT(layer != nullptr);
        total += layer->GetNumNeurons();
    }
    KASSERT(total <= INT_MAX);
    return static_cast<int>(total);
}

TBasicNeuron* TBasicNetwork::GetNeuron(int index) {
    KASSERT(index >= 0);
    KASSERT(index < GetNumNeurons());
    for (const LayerPtr& layer : layers) {
        if (index < layer->GetNumNeurons()) return layer->GetNeuron(index);
        index -= layer->GetNumNeurons();
    }
    return nullptr;  // not reached: index < GetNumNeurons()
}

void TBasicNetwork::IterateIn(TIterateObj* v, int layer, int node, int mask) {
    CheckLayerNumber(layer);
    for (int i = 0; i < numLayers; ++i) {
        priv_conns_index[static_cast<size_t>(layer)][i]->IterateIn(v, node, mask);
    }
}

void TBasicNetwork::IterateOut(TIterateObj* v, int layer, int node, int mask) {
    CheckLayerNumber(layer);
    for (int i = 0; i < numLayers; ++i) {
        priv_conns_index[static_cast<size_t>(i)][layer]->IterateOut(v, node, mask);
    }
}
