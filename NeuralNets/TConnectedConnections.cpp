#include "NeuralNets/TConnectedConnections.h"

#include <climits>

#include "KQmessage/KAssert.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TRandom.h"
#include "NeuralNets/WeightMatrix.h"

TConnectedConnections::TConnectedConnections(TBasicNetwork* network, int fromLayer, int toLayer)
    : TBasicConnections(network, fromLayer, toLayer),
      numFrom(static_cast<size_t>(NumFrom())),
      numTo(static_cast<size_t>(NumTo())) {
    array_weights.assign(numFrom * numTo, 0.0);
    IndexRows();
}

TConnectedConnections::TConnectedConnections(TBasicNetwork* owner,
                                             const TConnectedConnections& source)
    : TBasicConnections(owner, source.GetFromLayer(), source.GetToLayer()),
      array_weights(source.array_weights),
      numFrom(source.numFrom),
      numTo(source.numTo) {
    IndexRows();
}

TConnectedConnections::~TConnectedConnections() = default;

void TConnectedConnections::IndexRows() {
    WeightMatrix::IndexRows(index_weights, array_weights, numTo, numFrom);
}

void TConnectedConnections::CheckShape() const {
    KASSERT(numFrom == static_cast<size_t>(NumFrom()));
    KASSERT(numTo == static_cast<size_t>(NumTo()));
}

int TConnectedConnections::GetNumWeights(int) {
    CheckShape();
    KASSERT(array_weights.size() <= INT_MAX);
    return static_cast<int>(array_weights.size());
}

int TConnectedConnections::GetWeights(double* buffer, int mask) {
    int count = GetNumWeights(mask);
    for (size_t f = 0; f < numFrom; ++f) {
        for (size_t t = 0; t < numTo; ++t) *buffer++ = index_weights[t][f];
    }
    return count;
}

int TConnectedConnections::SetWeights(const double* buffer, int mask) {
    int count = GetNumWeights(mask);
    for (size_t f = 0; f < numFrom; ++f) {
        for (size_t t = 0; t < numTo; ++t) index_weights[t][f] = *buffer++;
    }
    return count;
}

void TConnectedConnections::Randomize(double lo, double hi) {
    CheckShape();
    for (double& w : array_weights) w = KRandomDraw(lo, hi);
}

double* TConnectedConnections::GetWeight(int from, int to) {
    KASSERT(from >= 0 && static_cast<size_t>(from) < numFrom);
    KASSERT(to >= 0 && static_cast<size_t>(to) < numTo);
    return &index_weights[static_cast<size_t>(to)][from];
}

void TConnectedConnections::Propagate(double* netInputs) {
    CheckShape();
    const double* fromValues = GetNetwork()->GetLayer(GetFromLayer())->GetValues();
    // Four to-neurons at a time: four independent sums, each still added in
    // from-neuron order, so the results are those of one row at a time.
    size_t t = 0;
    for (; t + 4 <= numTo; t += 4) {
        const double* r0 = index_weights[t];
        const double* r1 = index_weights[t + 1];
        const double* r2 = index_weights[t + 2];
        const double* r3 = index_weights[t + 3];
        double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
        for (size_t f = 0; f < numFrom; ++f) {
            const double v = fromValues[f];
            s0 = r0[f] * v + s0;
            s1 = r1[f] * v + s1;
            s2 = r2[f] * v + s2;
            s3 = r3[f] * v + s3;
        }
        netInputs[t] = s0 + netInputs[t];
        netInputs[t + 1] = s1 + netInputs[t + 1];
        netInputs[t + 2] = s2 + netInputs[t + 2];
        netInputs[t + 3] = s3 + netInputs[t + 3];
    }
    for (; t < numTo; ++t) {
        const double* row = index_weights[t];
        double sum = 0.0;
        for (size_t f = 0; f < numFrom; ++f) sum = row[f] * fromValues[f] + sum;
        netInputs[t] = sum + netInputs[t];
    }
}

bool TConnectedConnections::Exists(int, int) { return true; }

void TConnectedConnections::Restore(int, int) {}

void TConnectedConnections::SetTrainable(int, int) {}

void TConnectedConnections::BindTo(TIterateObj* v) {
    CheckShape();
    TBasicNetwork* network = GetNetwork();
    v->Bind(network->GetLayer(GetFromLayer()), network->GetLayer(GetToLayer()));
}

void TConnectedConnections::IterateIn(TIterateObj* v, int toNode, int) {
    KASSERT(toNode >= 0 && static_cast<size_t>(toNode) < numTo);
    BindTo(v);
    v->toNode = toNode;
    double* row = index_weights[static_cast<size_t>(toNode)];
    for (size_t f = 0; f < numFrom; ++f) {
        v->fromNode = static_cast<int>(f);
        v->weight = row + f;
        v->trainable = 1;
        v->Visit();
    }
}

void TConnectedConnections::IterateOut(TIterateObj* v, int fromNode, int) {
    KASSERT(fromNode >= 0 && static_cast<size_t>(fromNode) < numFrom);
    BindTo(v);
    v->fromNode = fromNode;
    for (size_t t = 0; t < numTo; ++t) {
        v->toNode = static_cast<int>(t);
        v->weight = index_weights[t] + fromNode;
        v->trainable = 1;
        v->Visit();
    }
}

void TConnectedConnections::Iterate(TIterateObj* v, int) {
    BindTo(v);
    for (size_t t = 0; t < numTo; ++t) {
        for (size_t f = 0; f < numFrom; ++f) {
            v->toNode = static_cast<int>(t);
            v->fromNode = static_cast<int>(f);
            v->weight = index_weights[t] + f;
            v->trainable = 1;
            v->Visit();
        }
    }
}

void TConnectedConnections::Iterate2(TIterateObj2* v, TBasicNetwork* second, int) {
    CheckShape();
    v->Bind(GetNetwork(), second, GetFromLayer(), GetToLayer());
    // Bind checked that the second block is of this class.
    auto* other = static_cast<TConnectedConnections*>(v->conns2);
    other->CheckShape();
    KASSERT(other->numFrom == numFrom && other->numTo == numTo);
    for (size_t t = 0; t < numTo; ++t) {
        for (size_t f = 0; f < numFrom; ++f) {
            v->toNode = static_cast<int>(t);
            v->fromNode = static_cast<int>(f);
            v->weight1 = index_weights[t] + f;
            v->weight2 = other->index_weights[t] + f;
            v->trainable = 1;
            v->Visit();
        }
    }
}

void TConnectedConnections::Iterate3(TIterateObj3* v, TBasicNetwork* second, TBasicNetwork* third,
                                     int) {
    CheckShape();
    v->Bind(GetNetwork(), second, third, GetFromLayer(), GetToLayer());
    auto* other2 = static_cast<TConnectedConnections*>(v->conns2);
    auto* other3 = static_cast<TConnectedConnections*>(v->conns3);
    other2->CheckShape();
    other3->CheckShape();
    KASSERT(other2->numFrom == numFrom && other2->numTo == numTo);
    KASSERT(other3->numFrom == numFrom && other3->numTo == numTo);
    for (size_t t = 0; t < numTo; ++t) {
        for (size_t f = 0; f < numFrom; ++f) {
            v->toNode = static_cast<int>(t);
            v->fromNode = static_cast<int>(f);
            v->weight1 = index_weights[t] + f;
            v->weight2 = other2->index_weights[t] + f;
            v->weight3 = other3->index_weights[t] + f;
            v->trainable = 1;
            v->Visit();
        }
    }
}

const char* TConnectedConnections::GetConnectionsNType() const { return "FullyConnected"; }

void TConnectedConnections::Destroy() { delete this; }

TBasicConnections* TConnectedConnections::Clone(TBasicNetwork* owner) const {
    return new TConnectedConnections(owner, *this);
}

// Reshaping: the layer has already changed by one neuron; the storage
// follows. Only the changed side is compared with the layer, because the
// block from a layer to itself is reshaped on one side at a time.
void TConnectedConnections::RemoveFromNeuron(int node) {
    KASSERT(node >= 0 && static_cast<size_t>(node) < numFrom);
    KASSERT(numFrom - 1 == static_cast<size_t>(NumFrom()));
    array_weights = WeightMatrix::WithoutColumn(array_weights, numTo, numFrom,
                                                static_cast<size_t>(node));
    numFrom -= 1;
    IndexRows();
}

void TConnectedConnections::RemoveToNeuron(int node) {
    KASSERT(node >= 0 && static_cast<size_t>(node) < numTo);
    KASSERT(numTo - 1 == static_cast<size_t>(NumTo()));
    array_weights =
        WeightMatrix::WithoutRow(array_weights, numTo, numFrom, static_cast<size_t>(node));
    numTo -= 1;
    IndexRows();
}

void TConnectedConnections::InsertFromNeuron(int node, double lo, double hi, bool attached) {
    KASSERT(attached);
    KASSERT(node >= 0 && static_cast<size_t>(node) <= numFrom);
    KASSERT(numFrom + 1 == static_cast<size_t>(NumFrom()));
    array_weights = WeightMatrix::WithColumn(array_weights, numTo, numFrom,
                                             static_cast<size_t>(node), 0.0);
    numFrom += 1;
    IndexRows();
    for (size_t t = 0; t < numTo; ++t) index_weights[t][node] = KRandomDraw(lo, hi);
}

void TConnectedConnections::InsertToNeuron(int node, double lo, double hi, bool attached) {
    KASSERT(attached);
    KASSERT(node >= 0 && static_cast<size_t>(node) <= numTo);
    KASSERT(numTo + 1 == static_cast<size_t>(NumTo()));
    array_weights =
        WeightMatrix::WithRow(array_weights, numTo, numFrom, static_cast<size_t>(node), 0.0);
    numTo += 1;
    IndexRows();
    double* row = index_weights[static_cast<size_t>(node)];
    for (size_t f = 0; f < numFrom; ++f) row[f] = KRandomDraw(lo, hi);
}

double* const* TConnectedConnections::GetWeightRows() {
    CheckShape();
    return index_weights.data();
}
