#include "NeuralNets/TEmptyConnections.h"

#include "KQmessage/KAssert.h"

TEmptyConnections::TEmptyConnections(TBasicNetwork* network, int fromLayer, int toLayer)
    : TBasicConnections(network, fromLayer, toLayer) {}

TEmptyConnections::~TEmptyConnections() = default;

bool TEmptyConnections::IsConnected() const { return false; }

int TEmptyConnections::GetNumWeights(int) { return 0; }

int TEmptyConnections::GetWeights(double*, int) { return 0; }

int TEmptyConnections::SetWeights(const double*, int) { return 0; }

void TEmptyConnections::Randomize(double, double) {}

double* TEmptyConnections::GetWeight(int, int) {
    KAssertFailed("GetWeight on a block with weights", __FILE__, __LINE__);
    return &dummyWeight;
}

void TEmptyConnections::Propagate(double*) {}

bool TEmptyConnections::Exists(int, int) { return false; }

bool TEmptyConnections::IsTrainable(int, int) { return false; }

void TEmptyConnections::IterateIn(TIterateObj*, int, int) {}

void TEmptyConnections::IterateOut(TIterateObj*, int, int) {}

void TEmptyConnections::Iterate(TIterateObj*, int) {}

void TEmptyConnections::Iterate2(TIterateObj2*, TBasicNetwork*, int) {}

void TEmptyConnections::Iterate3(TIterateObj3*, TBasicNetwork*, TBasicNetwork*, int) {}

const char* TEmptyConnections::GetConnectionsNType() const { return "Empty"; }

void TEmptyConnections::Destroy() { delete this; }

TBasicConnections* TEmptyConnections::Clone(TBasicNetwork* owner) const {
    return new TEmptyConnections(owner, GetFromLayer(), GetToLayer());
}

void TEmptyConnections::RemoveFromNeuron(int) {}

void TEmptyConnections::RemoveToNeuron(int) {}

void TEmptyConnections::InsertFromNeuron(int, double, double, bool) {}

void TEmptyConnections::InsertToNeuron(int, double, double, bool) {}
