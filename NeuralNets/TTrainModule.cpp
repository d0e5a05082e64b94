#include "NeuralNets/TTrainModule.h"

#include <algorithm>
#include <cstddef>

#include "KQmessage/KAssert.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/ErrorsAndDeltasWalk.h"

namespace {

double Gain(TBasicLayer* layer, int i) {
    // Only gain neurons may hold the "-gain" functions (the setters enforce
    // it), so the cast is exact.
    return static_cast<const TGainNeuron*>(layer->GetNeuron(i))->GetGain();
}

// Walks every connected block of network, the from-layer outer and the
// to-layer inner, with v against gradientNet.
void WalkAllBlocks(TBasicNetwork* network, TBasicNetwork* gradientNet, TIterateObj2* v) {
    const int n = network->GetNumLayers();
    for (int from = 0; from < n; ++from) {
        for (int to = 0; to < n; ++to) {
            TBasicConnections* block = network->GetConnections(from, to);
            if (block->IsConnected()) block->Iterate2(v, gradientNet, 0);
        }
    }
}

}  // namespace

TTrainModule::TTrainModule(TBasicNetwork* trained) : network(trained) {
    KASSERT(network != nullptr);
    auto gradients = std::make_unique<TBasicNetwork>(*network);
    gradients->Randomize(0.0, 0.0);
    auto changes = std::make_unique<TBasicNetwork>(*network);
    changes->Randomize(0.0, 0.0);
    gradientNet = std::move(gradients);
    changeNet = std::move(changes);
    const int out = network->GetOutLayer();
    outputs.assign(static_cast<std::size_t>(network->GetLayer(out)->GetNumNeurons()), 0.0);
}

TTrainModule::~TTrainModule() {
    gradientNet.reset();
    changeNet.reset();
}

void TTrainModule::ClearErrors() {
    const int n = gradientNet->GetNumLayers();
    for (int i = 0; i < n; ++i) {
        TBasicLayer* layer = gradientNet->GetLayer(i);
        std::fill(layer->GetValues(), layer->GetValues() + layer->GetNumNeurons(), 0.0);
    }
}

void TTrainModule::CalcOutputErrors(const double* input, const double* target, TErrorObj* err) {
    TBasicLayer* errors = gradientNet->GetLayer(network->GetOutLayer());
    const int n = errors->GetNumNeurons();
    if (outputs.size() < static_cast<std::size_t>(n)) outputs.resize(static_cast<std::size_t>(n));
    network->Recall(input, outputs.data());
    if (err != nullptr) err->AddPattern(target, outputs.data());
    double* e = errors->GetValues();
    for (int i = 0; i < n; ++i) e[i] = outputs[static_cast<std::size_t>(i)] - target[i];
}

bool TTrainModule::HasDerivativeRule(ActFunction fn) {
    return fn == ActLinear || fn == ActLinearGain || fn == ActSigmoid || fn == ActSigmoidGain ||
           fn == ActTanh || fn == ActTanhGain;
}

// The derivative of each function, expressed through the neuron's output y
// and formed before it multiplies the error.
bool TTrainModule::FormDeltas(int layerNumber, int crossEntropy) {
    TBasicLayer* layer = gradientNet->GetLayer(layerNumber);
    double* e = layer->GetValues();
    const double* y = network->GetLayer(layerNumber)->GetValues();
    const int n = layer->GetNumNeurons();
    const ActFunction fn = layer->GetActFunction();
    KASSERT(fn != nullptr);  // back-propagation needs one function per layer

    if (crossEntropy == kCrossEntropy && layerNumber == network->GetOutLayer()) {
        // The sigmoid's derivative cancels against that of the cross-entropy:
        // the deltas are output - target as they stand.
        KASSERT(fn == ActSigmoid);
        return true;
    }
    if (fn == ActLinear) return true;
    if (fn == ActLinearGain) {
        for (int i = 0; i < n; ++i) e[i] = e[i] * Gain(layer, i);
    } else if (fn == ActSigmoid) {
        for (int i = 0; i < n; ++i) e[i] = e[i] * (y[i] * (1.0 - y[i]));
    } else if (fn == ActTanh) {
        for (int i = 0; i < n; ++i) e[i] = e[i] * (1.0 - y[i] * y[i]);
    } else if (fn == ActSigmoidGain) {
        for (int i = 0; i < n; ++i) e[i] = e[i] * ((Gain(layer, i) * y[i]) * (1.0 - y[i]));
    } else if (fn == ActTanhGain) {
        for (int i = 0; i < n; ++i) e[i] = e[i] * (Gain(layer, i) * (1.0 - y[i] * y[i]));
    } else {
        return false;  // bias, saturated-linear, error, null: no derivative rule
    }
    return true;
}

void TTrainModule::BackPropagateLayer(int layer, int crossEntropy) {
    const bool hasDerivative = FormDeltas(layer, crossEntropy);
    for (int from = layer - 1; from >= 0; --from) {
        TBasicConnections* block = network->GetConnections(from, layer);
        if (!block->IsConnected()) continue;
        KASSERT(hasDerivative);  // a layer fed by weights needs a derivative rule
        if (!WalkErrorsAndDeltas(network, gradientNet.get(), from, layer)) {
            TIterateObj2ErrorsAndDeltas visitor;
            block->Iterate2(&visitor, gradientNet.get(), 0);
        }
    }
}

void TTrainModule::BackPropagate(int crossEntropy) {
    for (int layer = network->GetNumLayers() - 1; layer >= 0; --layer) {
        BackPropagateLayer(layer, crossEntropy);
    }
}

void TTrainModule::TrainPattern(const double* input, const double* target, int crossEntropy,
                                TErrorObj* err) {
    ClearErrors();
    CalcOutputErrors(input, target, err);
    BackPropagate(crossEntropy);
}

void TTrainModule::AddPenaltyGradient(TKQstructure* penalty, int numerator, int denominator,
                                      double scale) {
    KASSERT(penalty != nullptr);
    if (KQ::strcasecmp(penalty->GetHead(), "QUADPENALTY") == 0) {
        KASSERT(denominator != 0);
        const double eps1 = ReadRealParam(penalty, "EPSILON1", 0.0);
        const double eps2 = ReadRealParam(penalty, "EPSILON2", 0.0);
        const double beta = ReadRealParam(penalty, "BETA", 1.0);
        TIterateObj2CalcPenaltyTerm visitor(((eps1 * scale) * numerator) / denominator,
                                            ((eps2 * scale) * numerator) / denominator, beta);
        WalkAllBlocks(network, gradientNet.get(), &visitor);
    } else if (KQ::strcasecmp(penalty->GetHead(), "LWF") == 0) {
        const double forgettingRate = ReadRealParam(penalty, "FORGETTINGRATE", 0.0);
        TIterateObjLWFCalcPenaltyTerm visitor(forgettingRate, forgettingRate / scale);
        WalkAllBlocks(network, gradientNet.get(), &visitor);
    } else {
        KASSERT(false);  // callers pass only "QUADPENALTY" and "LWF"
    }
}
