#include "NeuralNets/TIterateObj.h"

#include <cstring>

#include "KQmessage/KAssert.h"
#include "NeuralNets/TBasicConnections.h"
#include "NeuralNets/TBasicLayer.h"
#include "NeuralNets/TBasicNetwork.h"

namespace {

bool SameClass(const TBasicConnections* a, const TBasicConnections* b) {
    return std::strcmp(a->GetConnectionsNType(), b->GetConnectionsNType()) == 0;
}

}  // namespace

void TIterateObj::Bind(TBasicLayer* from, TBasicLayer* to) {
    fromLayer = from->GetLayerNumber();
    toLayer = to->GetLayerNumber();
    fromLayerPtr = from;
    toLayerPtr = to;
    fromValues = from->GetValues();
    toValues = to->GetValues();
    conns = from->GetNetwork()->GetConnections(fromLayer, toLayer);
}

void TIterateObj::Bind(TBasicNetwork* network, int from, int to) {
    Bind(network->GetLayer(from), network->GetLayer(to));
}

TIterateObj2::TIterateObj2(TBasicNetwork* first, TBasicNetwork* second, int from, int to,
                           int fromNeuron, int toNeuron) {
    Bind(first, second, from, to);
    fromNode = fromNeuron;
    toNode = toNeuron;
}

void TIterateObj2::Bind(TBasicNetwork* first, TBasicNetwork* second, int from, int to) {
    fromLayer = from;
    toLayer = to;
    conns1 = first->GetConnections(from, to);
    conns2 = second->GetConnections(from, to);
    KASSERT(SameClass(conns1, conns2));
    fromLayerPtr1 = first->GetLayer(from);
    toLayerPtr1 = first->GetLayer(to);
    fromLayerPtr2 = second->GetLayer(from);
    toLayerPtr2 = second->GetLayer(to);
    fromValues1 = fromLayerPtr1->GetValues();
    toValues1 = toLayerPtr1->GetValues();
    fromValues2 = fromLayerPtr2->GetValues();
    toValues2 = toLayerPtr2->GetValues();
}

TIterateObj3::TIterateObj3(TBasicNetwork* first, TBasicNetwork* second, TBasicNetwork* third,
                           int from, int to, int fromNeuron, int toNeuron) {
    Bind(first, second, third, from, to);
    fromNode = fromNeuron;
    toNode = toNeuron;
}

void TIterateObj3::Bind(TBasicNetwork* first, TBasicNetwork* second, TBasicNetwork* third,
                        int from, int to) {
    fromLayer = from;
    toLayer = to;
    conns1 = first->GetConnections(from, to);
    conns2 = second->GetConnections(from, to);
    conns3 = third->GetConnections(from, to);
    KASSERT(SameClass(conns1, conns2));
    KASSERT(SameClass(conns1, conns3));
    fromLayerPtr1 = first->GetLayer(from);
    toLayerPtr1 = first->GetLayer(to);
    fromLayerPtr2 = second->GetLayer(from);
    toLayerPtr2 = second->GetLayer(to);
    fromLayerPtr3 = third->GetLayer(from);
    toLayerPtr3 = third->GetLayer(to);
    fromValues1 = fromLayerPtr1->GetValues();
    toValues1 = toLayerPtr1->GetValues();
    fromValues2 = fromLayerPtr2->GetValues();
    toValues2 = toLayerPtr2->GetValues();
    fromValues3 = fromLayerPtr3->GetValues();
    toValues3 = toLayerPtr3->GetValues();
}
