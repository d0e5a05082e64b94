// The epoch loop of TTrainModule and its gradient-descent step.

#include <algorithm>
#include <cstddef>
#include <vector>

#include "DataObject/Data.h"
#include "KQmessage/KAssert.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TTrainModule.h"

void TTrainModule::StepWeights(double learningRate, double momentum) {
    const int n = network->GetNumLayers();
    for (int from = 0; from < n; ++from) {
        for (int to = 0; to < n; ++to) {
            TBasicConnections* block = network->GetConnections(from, to);
            if (!block->IsConnected()) continue;
            if (momentum != 0.0) {
                TIterateObj3UpdateMomentum visitor(learningRate, momentum);
                block->Iterate3(&visitor, gradientNet.get(), changeNet.get(), 0);
            } else {
                TIterateObj2Update visitor(learningRate);
                block->Iterate2(&visitor, gradientNet.get(), 0);
            }
        }
    }
}

void TTrainModule::UpdateWeights(TKQstructure*) {
    KASSERT(false);  // a subclass that runs the epoch loop provides the update
}

double TTrainModule::TrainEpoch(Data* data, TKQstructure* params) {
    KASSERT(data != nullptr && params != nullptr);
    const bool batch = ParamEquals(params, "BATCH", "TRUE");
    const int crossEntropy = ReadErrorFunction(params);
    const double learningRate = ReadRealParam(params, "LEARNINGRATE", 1.0);
    TKQstructure* penalty = params->FindValue("WEIGHTPENALTY");
    if (penalty == nullptr) {
        params->AddValue("WEIGHTPENALTY", new TKQstructure("NONE"));
        penalty = params->FindValue("WEIGHTPENALTY");
    }
    const bool usePenalty = KQ::strcasecmp(penalty->GetHead(), "NONE") != 0;

    std::unique_ptr<TErrorObj> err = NewErrorMeasure(crossEntropy, data->GetNumOutputs());
    std::vector<double> input;
    std::vector<double> target;
    SizeRowBuffers(data, &input, &target);
    data->RewindCursor();
    const int count = data->GetNumRows();

    if (batch) {
        gradientNet->Randomize(0.0, 0.0);
        for (int row = 0; row < count; ++row) {
            data->GetNextRow(input.data(), target.data(), nullptr);
            TrainPattern(input.data(), target.data(), crossEntropy, err.get());
        }
        // A data set without rows gives no gradient to step along (and the
        // penalty's share count / count would be 0 / 0).
        if (count > 0) {
            if (usePenalty) AddPenaltyGradient(penalty, count, count, learningRate);
            UpdateWeights(params);
        }
    } else {
        for (int row = 0; row < count; ++row) {
            gradientNet->Randomize(0.0, 0.0);
            data->GetNextRow(input.data(), target.data(), nullptr);
            TrainPattern(input.data(), target.data(), crossEntropy, err.get());
            if (usePenalty) AddPenaltyGradient(penalty, 1, count, learningRate);
            UpdateWeights(params);
        }
    }

    if (usePenalty) {
        std::vector<double> weights(static_cast<std::size_t>(std::max(network->GetNumWeights(0), 1)));
        const int numWeights = network->GetWeights(weights.data(), 0);
        err->AddPenalty(numWeights, weights.data(), penalty);
    }
    return err->GetError();
}

double TTrainModule::Train(Data* data, TKQstructure* params, int* epochs) {
    KASSERT(epochs != nullptr);
    const double threshold = ReadRealParam(params, "THRESHOLD", 0.0);
    double error = 0.0;
    for (int i = 0; i < *epochs; ++i) {
        error = TrainEpoch(data, params);
        if (error < threshold) {
            *epochs = i;
            return error;
        }
    }
    return error;
}

void TTrainModule::SizeRowBuffers(const Data* data, std::vector<double>* input,
                                  std::vector<double>* target) const {
    const int inputNeurons = network->GetLayer(network->GetInLayer())->GetNumNeurons();
    const int outputNeurons = network->GetLayer(network->GetOutLayer())->GetNumNeurons();
    const int inputs =
        std::max({data->GetNumInputs(), data->GetNumSelectedInputs(), inputNeurons, 1});
    const int outputs = std::max({data->GetNumOutputs(), outputNeurons, 1});
    input->assign(static_cast<std::size_t>(inputs), 0.0);
    target->assign(static_cast<std::size_t>(outputs), 0.0);
}
