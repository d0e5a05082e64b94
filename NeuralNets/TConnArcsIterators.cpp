#include "NeuralNets/TConnArcsIterators.h"

#include "KQmessage/KAssert.h"
#include "NeuralNets/TBasicNetwork.h"

TArcsIterator::~TArcsIterator() = default;

TInAllArcsIterator::~TInAllArcsIterator() = default;

void TInAllArcsIterator::Init(int, int) {}

TInLayerArcsIterator::~TInLayerArcsIterator() = default;

void TInLayerArcsIterator::Init(int, int, int) {}

TConnInAllArcsIterator::TConnInAllArcsIterator(TBasicNetwork* network)
    : TInAllArcsIterator(network) {}

void TConnInAllArcsIterator::Init(int layer, int node) {
    TBasicLayer* to = GetNetwork()->GetLayer(layer);
    KASSERT(to != nullptr);
    KASSERT(node >= 0 && node < to->GetNumNeurons());
    toLayer = layer;
    toNode = node;
    toNeuron = to->GetNeuron(node);
    fromLayer = -1;
    Leave();
}

void TConnInAllArcsIterator::Leave() {
    fromNode = -1;
    lastIndex = -1;
    fromNeuron = nullptr;
    weight = nullptr;
    conns = nullptr;
}

void TConnInAllArcsIterator::Stand(int node) {
    fromNode = node;
    fromNeuron = GetNetwork()->GetLayer(fromLayer)->GetNeuron(node);
    weight = conns->GetWeight(node, toNode);
}

bool TConnInAllArcsIterator::Enter(int layer, int node) {
    TBasicNetwork* network = GetNetwork();
    TBasicConnections* block = network->GetConnections(layer, toLayer);
    int count = network->GetLayer(layer)->GetNumNeurons();
    if (!block->IsConnected() || count < 1) return false;
    fromLayer = layer;
    conns = block;
    lastIndex = count - 1;
    Stand(node < 0 ? lastIndex : node);
    return true;
}

bool TConnInAllArcsIterator::Next() {
    if (conns != nullptr && fromNode < lastIndex) {
        Stand(fromNode + 1);
        return true;
    }
    Leave();
    int numLayers = GetNetwork()->GetNumLayers();
    for (int layer = fromLayer + 1; layer < numLayers; ++layer) {
        if (Enter(layer, 0)) return true;
    }
    fromLayer = numLayers;  // past the last arc
    return false;
}

bool TConnInAllArcsIterator::Prev() {
    if (conns != nullptr && fromNode > 0) {
        Stand(fromNode - 1);
        return true;
    }
    Leave();
    for (int layer = fromLayer - 1; layer >= 0; --layer) {
        if (Enter(layer, -1)) return true;
    }
    fromLayer = -1;  // before the first arc
    return false;
}

TConnInLayerArcsIterator::TConnInLayerArcsIterator(TBasicNetwork* network)
    : TInLayerArcsIterator(network) {}

void TConnInLayerArcsIterator::Init(int to, int node, int from) {
    TBasicNetwork* network = GetNetwork();
    TBasicLayer* toLayerPtr = network->GetLayer(to);
    TBasicLayer* fromLayerPtr = network->GetLayer(from);
    KASSERT(toLayerPtr != nullptr && fromLayerPtr != nullptr);
    KASSERT(node >= 0 && node < toLayerPtr->GetNumNeurons());
    toLayer = to;
    toNode = node;
    fromLayer = from;
    toNeuron = toLayerPtr->GetNeuron(node);
    fromValues = fromLayerPtr->GetValues();
    fromNode = -1;
    fromNeuron = nullptr;
    weight = nullptr;
    TBasicConnections* block = network->GetConnections(from, to);
    conns = block->IsConnected() ? block : nullptr;
    lastIndex = conns != nullptr ? fromLayerPtr->GetNumNeurons() - 1 : -1;
}

void TConnInLayerArcsIterator::Stand(int node) {
    fromNode = node;
    fromNeuron = GetNetwork()->GetLayer(fromLayer)->GetNeuron(node);
    weight = conns->GetWeight(node, toNode);
}

bool TConnInLayerArcsIterator::Next() {
    if (fromNode >= lastIndex) return false;
    Stand(fromNode + 1);
    return true;
}

bool TConnInLayerArcsIterator::Prev() {
    if (fromNode < 1) return false;
    Stand(fromNode - 1);
    return true;
}
