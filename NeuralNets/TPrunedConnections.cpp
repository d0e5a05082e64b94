#include "NeuralNets/TPrunedConnections.h"

#include <climits>

#include "KQmessage/KAssert.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TRandom.h"
#include "NeuralNets/WeightMatrix.h"

namespace {

bool Selected(char flags, char required) { return (flags & required) == required; }

}  // namespace

TPrunedConnections::TPrunedConnections(TBasicNetwork* network, int fromLayer, int toLayer)
    : TBasicConnections(network, fromLayer, toLayer),
      numFrom(static_cast<size_t>(NumFrom())),
      numTo(static_cast<size_t>(NumTo())) {
    array_weights.assign(numFrom * numTo, 0.0);
    array_masks.assign(numFrom * numTo, FMaskAll);
    IndexRows();
}

TPrunedConnections::TPrunedConnections(TBasicNetwork* owner, const TPrunedConnections& source)
    : TBasicConnections(owner, source.GetFromLayer(), source.GetToLayer()),
      array_weights(source.array_weights),
      array_masks(source.array_masks),
      numFrom(source.numFrom),
      numTo(source.numTo) {
    IndexRows();
}

TPrunedConnections::~TPrunedConnections() = default;

void TPrunedConnections::IndexRows() {
    WeightMatrix::IndexRows(index_weights, array_weights, numTo, numFrom);
    WeightMatrix::IndexRows(index_masks, array_masks, numTo, numFrom);
}

void TPrunedConnections::CheckShape() const {
    KASSERT(numFrom == static_cast<size_t>(NumFrom()));
    KASSERT(numTo == static_cast<size_t>(NumTo()));
}

void TPrunedConnections::CheckPair(int from, int to) const {
    KASSERT(from >= 0 && static_cast<size_t>(from) < numFrom);
    KASSERT(to >= 0 && static_cast<size_t>(to) < numTo);
}

int TPrunedConnections::GetNumWeights(int mask) {
    CheckShape();
    char required = RequiredFlags(mask);
    size_t count = 0;
    for (char flags : array_masks) {
        if (Selected(flags, required)) count += 1;
    }
    KASSERT(count <= INT_MAX);
    return static_cast<int>(count);
}

int TPrunedConnections::GetWeights(double* buffer, int mask) {
    CheckShape();
    char required = RequiredFlags(mask);
    size_t count = 0;
    for (size_t k = 0; k < array_weights.size(); ++k) {
        if (Selected(array_masks[k], required)) buffer[count++] = array_weights[k];
    }
    KASSERT(count <= INT_MAX);
    return static_cast<int>(count);
}

int TPrunedConnections::SetWeights(const double* buffer, int mask) {
    CheckShape();
    char required = RequiredFlags(mask);
    size_t count = 0;
    for (size_t k = 0; k < array_weights.size(); ++k) {
        if (Selected(array_masks[k], required)) array_weights[k] = buffer[count++];
    }
    KASSERT(count <= INT_MAX);
    return static_cast<int>(count);
}

void TPrunedConnections::Randomize(double lo, double hi) {
    CheckShape();
    for (size_t k = 0; k < array_weights.size(); ++k) {
        if ((array_masks[k] & FMaskTrainable) != 0) array_weights[k] = KRandomDraw(lo, hi);
    }
}

double* TPrunedConnections::GetWeight(int from, int to) {
    CheckPair(from, to);
    return &index_weights[static_cast<size_t>(to)][from];
}

void TPrunedConnections::Propagate(double* netInputs) {
    CheckShape();
    const double* fromValues = GetNetwork()->GetLayer(GetFromLayer())->GetValues();
    // Four to-neurons at a time: four independent sums, each still added in
    // from-neuron order over its existing weights, so the results are those
    // of one row at a time.
    size_t t = 0;
    for (; t + 4 <= numTo; t += 4) {
        const double* r0 = index_weights[t];
        const double* r1 = index_weights[t + 1];
        const double* r2 = index_weights[t + 2];
        const double* r3 = index_weights[t + 3];
        const char* m0 = index_masks[t];
        const char* m1 = index_masks[t + 1];
        const char* m2 = index_masks[t + 2];
        const char* m3 = index_masks[t + 3];
        double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
        for (size_t f = 0; f < numFrom; ++f) {
            const double v = fromValues[f];
            if ((m0[f] & FMaskExists) != 0) s0 = r0[f] * v + s0;
            if ((m1[f] & FMaskExists) != 0) s1 = r1[f] * v + s1;
            if ((m2[f] & FMaskExists) != 0) s2 = r2[f] * v + s2;
            if ((m3[f] & FMaskExists) != 0) s3 = r3[f] * v + s3;
        }
        netInputs[t] = s0 + netInputs[t];
        netInputs[t + 1] = s1 + netInputs[t + 1];
        netInputs[t + 2] = s2 + netInputs[t + 2];
        netInputs[t + 3] = s3 + netInputs[t + 3];
    }
    for (; t < numTo; ++t) {
        const double* row = index_weights[t];
        const char* flags = index_masks[t];
        double sum = 0.0;
        for (size_t f = 0; f < numFrom; ++f) {
            if ((flags[f] & FMaskExists) != 0) sum = row[f] * fromValues[f] + sum;
        }
        netInputs[t] = sum + netInputs[t];
    }
}

bool TPrunedConnections::Exists(int from, int to) {
    return (GetFlags(from, to) & FMaskExists) != 0;
}

bool TPrunedConnections::IsTrainable(int from, int to) {
    return (GetFlags(from, to) & FMaskTrainable) != 0;
}

void TPrunedConnections::Prune(int from, int to) {
    CheckPair(from, to);
    index_masks[static_cast<size_t>(to)][from] = 0;
    index_weights[static_cast<size_t>(to)][from] = 0.0;
}

void TPrunedConnections::Restore(int from, int to) {
    CheckPair(from, to);
    char& flags = index_masks[static_cast<size_t>(to)][from];
    if ((flags & FMaskExists) != 0) return;
    flags = FMaskAll;
    index_weights[static_cast<size_t>(to)][from] = 0.0;
}

void TPrunedConnections::SetTrainable(int from, int to) {
    CheckPair(from, to);
    char& flags = index_masks[static_cast<size_t>(to)][from];
    if ((flags & FMaskExists) != 0) flags = static_cast<char>(flags | FMaskTrainable);
}

void TPrunedConnections::SetUntrainable(int from, int to) {
    CheckPair(from, to);
    char& flags = index_masks[static_cast<size_t>(to)][from];
    flags = static_cast<char>(flags & ~FMaskTrainable);
}

char TPrunedConnections::GetFlags(int from, int to) {
    CheckPair(from, to);
    return index_masks[static_cast<size_t>(to)][from];
}

void TPrunedConnections::SetFlags(int from, int to, char val) {
    CheckPair(from, to);
    index_masks[static_cast<size_t>(to)][from] = val;
}

void TPrunedConnections::BindTo(TIterateObj* v) {
    CheckShape();
    TBasicNetwork* network = GetNetwork();
    v->Bind(network->GetLayer(GetFromLayer()), network->GetLayer(GetToLayer()));
}

void TPrunedConnections::IterateIn(TIterateObj* v, int toNode, int mask) {
    KASSERT(toNode >= 0 && static_cast<size_t>(toNode) < numTo);
    BindTo(v);
    char required = RequiredFlags(mask);
    double* row = index_weights[static_cast<size_t>(toNode)];
    const char* flags = index_masks[static_cast<size_t>(toNode)];
    v->toNode = toNode;
    for (size_t f = 0; f < numFrom; ++f) {
        if (!Selected(flags[f], required)) continue;
        v->fromNode = static_cast<int>(f);
        v->weight = row + f;
        v->trainable = (flags[f] & FMaskTrainable) != 0 ? 1 : 0;
        v->Visit();
    }
}

void TPrunedConnections::IterateOut(TIterateObj* v, int fromNode, int mask) {
    KASSERT(fromNode >= 0 && static_cast<size_t>(fromNode) < numFrom);
    BindTo(v);
    char required = RequiredFlags(mask);
    v->fromNode = fromNode;
    for (size_t t = 0; t < numTo; ++t) {
        char flags = index_masks[t][fromNode];
        if (!Selected(flags, required)) continue;
        v->toNode = static_cast<int>(t);
        v->weight = index_weights[t] + fromNode;
        v->trainable = (flags & FMaskTrainable) != 0 ? 1 : 0;
        v->Visit();
    }
}

void TPrunedConnections::Iterate(TIterateObj* v, int mask) {
    BindTo(v);
    char required = RequiredFlags(mask);
    for (size_t t = 0; t < numTo; ++t) {
        for (size_t f = 0; f < numFrom; ++f) {
            char flags = index_masks[t][f];
            if (!Selected(flags, required)) continue;
            v->toNode = static_cast<int>(t);
            v->fromNode = static_cast<int>(f);
            v->weight = index_weights[t] + f;
            v->trainable = (flags & FMaskTrainable) != 0 ? 1 : 0;
            v->Visit();
        }
    }
}

// The first network's flags select the weights; the other networks are
// copies of the same structure.
void TPrunedConnections::Iterate2(TIterateObj2* v, TBasicNetwork* second, int mask) {
    CheckShape();
    v->Bind(GetNetwork(), second, GetFromLayer(), GetToLayer());
    // Bind checked that the second block is of this class.
    auto* other = static_cast<TPrunedConnections*>(v->conns2);
    other->CheckShape();
    KASSERT(other->numFrom == numFrom && other->numTo == numTo);
    char required = RequiredFlags(mask);
    for (size_t t = 0; t < numTo; ++t) {
        for (size_t f = 0; f < numFrom; ++f) {
            char flags = index_masks[t][f];
            if (!Selected(flags, required)) continue;
            v->toNode = static_cast<int>(t);
            v->fromNode = static_cast<int>(f);
            v->weight1 = index_weights[t] + f;
            v->weight2 = other->index_weights[t] + f;
            v->trainable = (flags & FMaskTrainable) != 0 ? 1 : 0;
            v->Visit();
        }
    }
}

void TPrunedConnections::Iterate3(TIterateObj3* v, TBasicNetwork* second, TBasicNetwork* third,
                                  int mask) {
    CheckShape();
    v->Bind(GetNetwork(), second, third, GetFromLayer(), GetToLayer());
    auto* other2 = static_cast<TPrunedConnections*>(v->conns2);
    auto* other3 = static_cast<TPrunedConnections*>(v->conns3);
    other2->CheckShape();
    other3->CheckShape();
    KASSERT(other2->numFrom == numFrom && other2->numTo == numTo);
    KASSERT(other3->numFrom == numFrom && other3->numTo == numTo);
    char required = RequiredFlags(mask);
    for (size_t t = 0; t < numTo; ++t) {
        for (size_t f = 0; f < numFrom; ++f) {
            char flags = index_masks[t][f];
            if (!Selected(flags, required)) continue;
            v->toNode = static_cast<int>(t);
            v->fromNode = static_cast<int>(f);
            v->weight1 = index_weights[t] + f;
            v->weight2 = other2->index_weights[t] + f;
            v->weight3 = other3->index_weights[t] + f;
            v->trainable = (flags & FMaskTrainable) != 0 ? 1 : 0;
            v->Visit();
        }
    }
}

const char* TPrunedConnections::GetConnectionsNType() const { return "Pruneable"; }

void TPrunedConnections::Destroy() { delete this; }

TBasicConnections* TPrunedConnections::Clone(TBasicNetwork* owner) const {
    return new TPrunedConnections(owner, *this);
}

// Reshaping: the layer has already changed by one neuron; weights and flags
// move together. Only the changed side is compared with the layer, because
// the block from a layer to itself is reshaped on one side at a time.
void TPrunedConnections::RemoveFromNeuron(int node) {
    KASSERT(node >= 0 && static_cast<size_t>(node) < numFrom);
    KASSERT(numFrom - 1 == static_cast<size_t>(NumFrom()));
    size_t at = static_cast<size_t>(node);
    array_weights = WeightMatrix::WithoutColumn(array_weights, numTo, numFrom, at);
    array_masks = WeightMatrix::WithoutColumn(array_masks, numTo, numFrom, at);
    numFrom -= 1;
    IndexRows();
}

void TPrunedConnections::RemoveToNeuron(int node) {
    KASSERT(node >= 0 && static_cast<size_t>(node) < numTo);
    KASSERT(numTo - 1 == static_cast<size_t>(NumTo()));
    size_t at = static_cast<size_t>(node);
    array_weights = WeightMatrix::WithoutRow(array_weights, numTo, numFrom, at);
    array_masks = WeightMatrix::WithoutRow(array_masks, numTo, numFrom, at);
    numTo -= 1;
    IndexRows();
}

void TPrunedConnections::InsertFromNeuron(int node, double lo, double hi, bool attached) {
    KASSERT(node >= 0 && static_cast<size_t>(node) <= numFrom);
    KASSERT(numFrom + 1 == static_cast<size_t>(NumFrom()));
    size_t at = static_cast<size_t>(node);
    array_weights = WeightMatrix::WithColumn(array_weights, numTo, numFrom, at, 0.0);
    array_masks = WeightMatrix::WithColumn(array_masks, numTo, numFrom, at, char(0));
    numFrom += 1;
    IndexRows();
    if (!attached) return;
    for (size_t t = 0; t < numTo; ++t) {
        index_weights[t][at] = KRandomDraw(lo, hi);
        index_masks[t][at] = FMaskAll;
    }
}

void TPrunedConnections::InsertToNeuron(int node, double lo, double hi, bool attached) {
    KASSERT(node >= 0 && static_cast<size_t>(node) <= numTo);
    KASSERT(numTo + 1 == static_cast<size_t>(NumTo()));
    size_t at = static_cast<size_t>(node);
    array_weights = WeightMatrix::WithRow(array_weights, numTo, numFrom, at, 0.0);
    array_masks = WeightMatrix::WithRow(array_masks, numTo, numFrom, at, char(0));
    numTo += 1;
    IndexRows();
    if (!attached) return;
    for (size_t f = 0; f < numFrom; ++f) {
        index_weights[at][f] = KRandomDraw(lo, hi);
        index_masks[at][f] = FMaskAll;
    }
}

double* const* TPrunedConnections::GetWeightRows() {
    CheckShape();
    return index_weights.data();
}

const char* const* TPrunedConnections::GetFlagRows() {
    CheckShape();
    return index_masks.data();
}
