#include "NeuralNets/TBasicConnections.h"

#include "KQmessage/KAssert.h"
#include "NeuralNets/TBasicLayer.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TIterateObjects.h"

TBasicConnections::TBasicConnections(TBasicNetwork* net, int from, int to)
    : network(net), fromLayer(from), toLayer(to) {}

TBasicConnections::~TBasicConnections() = default;

int TBasicConnections::NumFrom() const {
    const TBasicLayer* layer = network->GetLayer(fromLayer);
    KASSERT(layer != nullptr);
    return layer->GetNumNeurons();
}

int TBasicConnections::NumTo() const {
    const TBasicLayer* layer = network->GetLayer(toLayer);
    KASSERT(layer != nullptr);
    return layer->GetNumNeurons();
}

bool TBasicConnections::IsConnected() const { return true; }

int TBasicConnections::GetNumWeights(int mask) {
    TIterateObjGetNumWeights counter;
    Iterate(&counter, mask);
    return counter.count;
}

int TBasicConnections::GetWeights(double* buffer, int mask) {
    TIterateObjGetWeights reader(buffer);
    Iterate(&reader, mask);
    return reader.count;
}

int TBasicConnections::SetWeights(const double* buffer, int mask) {
    TIterateObjSetWeights writer(buffer);
    Iterate(&writer, mask);
    return writer.count;
}

void TBasicConnections::Randomize(double lo, double hi) {
    TIterateObjRandomize randomizer(lo, hi);
    Iterate(&randomizer, 0);
}

void TBasicConnections::Propagate(double* netInputs) {
    int nTo = NumTo();
    for (int t = 0; t < nTo; ++t) {
        TIterateObjAggregate aggregate;
        IterateIn(&aggregate, t, FMaskExists);
        netInputs[t] += aggregate.sum;
    }
}

bool TBasicConnections::IsTrainable(int from, int to) { return Exists(from, to); }

void TBasicConnections::Prune(int, int) {
    KAssertFailed("Prune supported by this block kind", __FILE__, __LINE__);
}

void TBasicConnections::Restore(int, int) {
    KAssertFailed("Restore supported by this block kind", __FILE__, __LINE__);
}

void TBasicConnections::SetTrainable(int, int) {
    KAssertFailed("SetTrainable supported by this block kind", __FILE__, __LINE__);
}

void TBasicConnections::SetUntrainable(int, int) {
    KAssertFailed("SetUntrainable supported by this block kind", __FILE__, __LINE__);
}

char TBasicConnections::GetFlags(int, int) { return FMaskAll; }

void TBasicConnections::SetFlags(int, int, char val) {
    KASSERT(val == FMaskAll || val == FMaskExists);
}

void TBasicConnections::InsertFromNeuron(int, double, double, bool) {
    KAssertFailed("InsertFromNeuron supported by this block kind", __FILE__, __LINE__);
}

void TBasicConnections::InsertToNeuron(int, double, double, bool) {
    KAssertFailed("InsertToNeuron supported by this block kind", __FILE__, __LINE__);
}

std::unique_ptr<char[]> TBasicConnections::GetAllFlags() {
    std::unique_ptr<char[]> flags(new char[static_cast<size_t>(GetNumWeights(FMaskExists))]);
    TIterateObjGetFlags reader(flags.get());
    Iterate(&reader, FMaskExists);
    return flags;
}

void TBasicConnections::SetAllFlags(const unsigned char* flags) {
    TIterateObjSetFlags writer(flags);
    Iterate(&writer, FMaskExists);
}

void TBasicConnections::SetAllUntrainable() {
    TIterateObjAllUntrainable freezer;
    Iterate(&freezer, FMaskExists);
}
