#include "NeuralNets/TBFGSModule.h"

#include <algorithm>
#include <cstddef>
#include <iostream>
#include <vector>

#include "KQmessage/KAssert.h"

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
