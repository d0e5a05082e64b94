#include "NeuralNets/TBFGSModule.h"

#include <algorithm>
#include <cstddef>
#include <iostream>
#include <vector>

#include "DataObject/Data.h"
#include "KQmessage/KAssert.h"
#include "KQmessage/TKQstructure.h"

namespace {

constexpr double kFunctionTolerance = 6e-14;  // relative change that counts as converged

// The network's trainable weights; never empty, so that the pointer is
// valid even without weights.
std::vector<double> CurrentWeights(TBasicNetwork* network, int* count) {
    std::vector<double> x(static_cast<std::size_t>(std::max(network->GetNumWeights(0), 1)));
    *count = network->GetWeights(x.data(), 0);
    return x;
}

}  // namespace

TBFGSModule::TBFGSModule(TBasicNetwork* network) : TTrainModule(network) {}

TBFGSModule::~TBFGSModule() = default;

double TBFGSModule::Train(Data* data, TKQstructure* params, int* iterations) {
    TFunctNetworkObject objective(this, data, params);
    double result = 0.0;
    int count = 0;
    std::vector<double> x = CurrentWeights(network, &count);
    // The minimiser overwrites result in its first iteration; without an
    // iteration this count is what Train returns.
    result = static_cast<double>(count);
    MinimizeBFGS(x.data(), kFunctionTolerance, iterations, &result, &objective);
    // No write-back: every evaluation loaded its point into the network.
    return result;
}

double TBFGSModule::TrainEpoch(Data*, TKQstructure*) {
    std::cerr << "Train single epoch for BFGS not implemented" << std::endl;
    KASSERT(false);
    return 0.0;
}

double TBFGSModule::CalcError(Data* data, TKQstructure* params) {
    TFunctNetworkObject objective(this, data, params);
    int count = 0;
    std::vector<double> x = CurrentWeights(network, &count);
    return objective.Evaluate(x.data(), nullptr);
}

TFunctNetworkObject::TFunctNetworkObject(TBFGSModule* trainer, Data* rows, TKQstructure* parameters)
    : module(trainer), data(rows), params(parameters) {
    KASSERT(module != nullptr && data != nullptr);
    numParams = module->GetNetwork()->GetNumWeights(0);
}

TFunctNetworkObject::~TFunctNetworkObject() = default;

int TFunctNetworkObject::GetNumParams() { return numParams; }

double TFunctNetworkObject::Evaluate(const double* x, double* gradient) {
    const int crossEntropy = ReadErrorFunction(params);
    TKQstructure* penalty = params != nullptr ? params->FindValue("WEIGHTPENALTY") : nullptr;
    const bool usePenalty = penalty != nullptr && KQ::strcasecmp(penalty->GetHead(), "NONE") != 0;

    TBasicNetwork* network = module->GetNetwork();
    network->SetWeights(x, 0);
    std::unique_ptr<TErrorObj> err = NewErrorMeasure(crossEntropy, data->GetNumOutputs());
    if (input.empty()) module->SizeRowBuffers(data, &input, &target);
    data->RewindCursor();
    // The gradient sum starts from zero, whether or not it is asked for.
    module->GetGradientNet()->Randomize(0.0, 0.0);

    AccumulateRows(err.get(), crossEntropy, gradient != nullptr);

    if (gradient != nullptr && usePenalty) module->AddPenaltyGradient(penalty, 1, 1, 1.0);
    if (usePenalty) err->AddPenalty(numParams, x, penalty);
    if (gradient != nullptr) module->GetGradientNet()->GetWeights(gradient, 0);
    return err->GetError();
}

void TFunctNetworkObject::AccumulateRows(TErrorObj* err, int crossEntropy, bool withGradient) {
    const int count = data->GetNumRows();
    for (int row = 0; row < count; ++row) {
        data->GetNextRow(input.data(), target.data(), nullptr);
        module->ClearErrors();
        module->CalcOutputErrors(input.data(), target.data(), err);
        if (withGradient) module->BackPropagate(crossEntropy);
    }
}
