#include "NeuralNets/ErrorsAndDeltasWalk.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <typeinfo>

#include "KQmessage/KAssert.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TConnectedConnections.h"
#include "NeuralNets/TPrunedConnections.h"

namespace {

// The storage of one block pair and the three value arrays the walk uses.
// The arrays never overlap: the from-layer differs from the to-layer, and
// the gradient block's storage is its own.
struct Walk {
    std::size_t numFrom;
    std::size_t numTo;
    double* const* weightRows;     // trained network: row t = weights into t
    double* const* gradientRows;   // gradient network, same layout
    const char* const* flagRows;   // trained network's flags, or null
    const double* fromOutputs;     // trained network's values of the from-layer
    double* fromErrors;            // gradient network's values of the from-layer
    const double* toDeltas;        // gradient network's values of the to-layer
};

void WalkRow(std::size_t numFrom, const double* __restrict weights, double* __restrict gradients,
             const double* __restrict outputs, double* __restrict errors, double delta) {
    for (std::size_t f = 0; f < numFrom; ++f) {
        errors[f] += weights[f] * delta;
        gradients[f] += delta * outputs[f];
    }
}

void WalkSelectedRow(std::size_t numFrom, const double* __restrict weights,
                     double* __restrict gradients, const char* __restrict flags,
                     const double* __restrict outputs, double* __restrict errors, double delta) {
    for (std::size_t f = 0; f < numFrom; ++f) {
        if ((flags[f] & FMaskAll) != FMaskAll) continue;
        errors[f] += weights[f] * delta;
        gradients[f] += delta * outputs[f];
    }
}

// Whether every weight of a row of flags exists and is trainable: then the
// row needs no selection (the usual case), and the plain loop vectorises.
// Tested eight flag bytes at a time.
bool AllTrainable(std::size_t numFrom, const char* flags) {
    constexpr std::uint64_t kAllBytes = 0x0303030303030303ULL;  // FMaskAll in every byte
    std::size_t f = 0;
    for (; f + 8 <= numFrom; f += 8) {
        std::uint64_t word;
        std::memcpy(&word, flags + f, sizeof word);
        if ((word & kAllBytes) != kAllBytes) return false;
    }
    for (; f < numFrom; ++f) {
        if ((flags[f] & FMaskAll) != FMaskAll) return false;
    }
    return true;
}

void Run(const Walk& w) {
    for (std::size_t t = 0; t < w.numTo; ++t) {
        const double delta = w.toDeltas[t];
        if (w.flagRows == nullptr || AllTrainable(w.numFrom, w.flagRows[t])) {
            WalkRow(w.numFrom, w.weightRows[t], w.gradientRows[t], w.fromOutputs, w.fromErrors,
                    delta);
        } else {
            WalkSelectedRow(w.numFrom, w.weightRows[t], w.gradientRows[t], w.flagRows[t],
                            w.fromOutputs, w.fromErrors, delta);
        }
    }
}

}  // namespace

bool WalkErrorsAndDeltas(TBasicNetwork* network, TBasicNetwork* gradientNet, int fromLayer,
                         int toLayer) {
    KASSERT(fromLayer != toLayer);
    TBasicConnections* block = network->GetConnections(fromLayer, toLayer);
    TBasicConnections* gradientBlock = gradientNet->GetConnections(fromLayer, toLayer);
    const std::type_info& kind = typeid(*block);
    const bool pruned = kind == typeid(TPrunedConnections);
    if (!pruned && kind != typeid(TConnectedConnections)) return false;
    // A structure copy: the same block class and layer sizes.
    KASSERT(typeid(*gradientBlock) == kind);

    TBasicLayer* from1 = network->GetLayer(fromLayer);
    TBasicLayer* from2 = gradientNet->GetLayer(fromLayer);
    TBasicLayer* to2 = gradientNet->GetLayer(toLayer);
    KASSERT(from1->GetNumNeurons() == from2->GetNumNeurons());
    KASSERT(network->GetLayer(toLayer)->GetNumNeurons() == to2->GetNumNeurons());

    Walk walk;
    walk.numFrom = static_cast<std::size_t>(from1->GetNumNeurons());
    walk.numTo = static_cast<std::size_t>(to2->GetNumNeurons());
    if (pruned) {
        auto* weights = static_cast<TPrunedConnections*>(block);
        walk.weightRows = weights->GetWeightRows();
        walk.flagRows = weights->GetFlagRows();
        walk.gradientRows = static_cast<TPrunedConnections*>(gradientBlock)->GetWeightRows();
    } else {
        walk.weightRows = static_cast<TConnectedConnections*>(block)->GetWeightRows();
        walk.flagRows = nullptr;
        walk.gradientRows = static_cast<TConnectedConnections*>(gradientBlock)->GetWeightRows();
    }
    walk.fromOutputs = from1->GetValues();
    walk.fromErrors = from2->GetValues();
    walk.toDeltas = to2->GetValues();
    Run(walk);
    return true;
}
