#include "NeuralNets/TFunctNetworkObject.h"

#include "DataObject/Data.h"
#include "KQmessage/KAssert.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TBFGSModule.h"

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
