#include "NeuralNets/TrainingChecks.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "DataObject/Data.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TTrainModule.h"
#include "NeuralNets/TrainParams.h"

namespace {

const char* const kErrorFunctions = "ErrorFunction must be MeanSquaredError or CrossEntropy";

std::string Number(long value) { return std::to_string(value); }

// "1 neuron", "3 neurons".
std::string Count(long value, const char* noun) {
    return Number(value) + " " + noun + (value == 1 ? "" : "s");
}

std::string Quoted(const char* text) { return std::string("\"") + text + "\""; }

std::string FunctionName(TBasicNetwork* network, ActFunction fn) {
    return Quoted(network->GetRegistry()->GetName(fn));
}

// Layers of kind "Input" copy the input or write zeros: they never apply
// their function.
bool AppliesFunction(const TBasicLayer* layer) {
    return std::strcmp(layer->GetLayerType(), "Input") != 0;
}

std::string CheckErrorFunction(const char* name) {
    if (name == nullptr || name[0] == '\0') {
        return std::string("No error function given: ") + kErrorFunctions;
    }
    if (ErrorFunctionMode(name) == -1) {
        return "Unknown error function " + Quoted(name) + ": " + kErrorFunctions;
    }
    return "";
}

std::string CheckLayerNumbers(TBasicNetwork* network) {
    const int n = network->GetNumLayers();
    if (n <= 0) return "The network has no layers";
    const std::string count = " (the network has " + Count(n, "layer") + ")";
    if (network->GetInLayer() < 0 || network->GetInLayer() >= n) {
        return "The network's input layer " + Number(network->GetInLayer()) + " does not exist" +
               count;
    }
    if (network->GetOutLayer() < 0 || network->GetOutLayer() >= n) {
        return "The network's output layer " + Number(network->GetOutLayer()) +
               " does not exist" + count;
    }
    for (int i = 0; i < n; ++i) {
        if (network->GetLayer(i) == nullptr) return "Layer " + Number(i) + " of the network is missing";
    }
    return "";
}

// One function per layer, every function evaluable, a derivative rule where
// back-propagation walks weights into the layer, a sigmoid output layer for
// cross-entropy.
std::string CheckLayer(TBasicNetwork* network, int number, bool crossEntropy) {
    TBasicLayer* layer = network->GetLayer(number);
    const std::string name = "Layer " + Number(number);
    const int neurons = layer->GetNumNeurons();
    if (AppliesFunction(layer)) {
        for (int i = 0; i < neurons; ++i) {
            ActFunction fn = layer->GetNeuron(i)->GetActFunction();
            if (fn == ActError || fn == ActNull) {
                return name + " has no usable activation function: neuron " + Number(i) +
                       " holds " + FunctionName(network, fn);
            }
        }
    }
    const ActFunction fn = layer->GetActFunction();
    if (fn == nullptr) {
        ActFunction first = layer->GetNeuron(0)->GetActFunction();
        for (int i = 1; i < neurons; ++i) {
            ActFunction other = layer->GetNeuron(i)->GetActFunction();
            if (other == first) continue;
            return name + " mixes activation functions (" + FunctionName(network, first) +
                   " in neuron 0, " + FunctionName(network, other) + " in neuron " + Number(i) +
                   "): training needs one function per layer";
        }
    }
    if (!TTrainModule::HasDerivativeRule(fn)) {
        for (int from = number - 1; from >= 0; --from) {
            if (!network->GetConnections(from, number)->IsConnected()) continue;
            const std::string fed = " is fed by weights from layer " + Number(from);
            if (neurons == 0) return name + " has no neurons but" + fed;
            return name + fed + ", but its activation function " + FunctionName(network, fn) +
                   " has no derivative for training";
        }
    }
    if (crossEntropy && number == network->GetOutLayer() && fn != ActSigmoid) {
        return "Cross-entropy needs the activation function \"sigmoid\" in the output layer, "
               "but layer " + Number(number) + " uses " + FunctionName(network, fn);
    }
    return "";
}

std::string CheckSizes(TBasicNetwork* network, const Data* data) {
    const int in = network->GetInLayer();
    const int out = network->GetOutLayer();
    const int inputNeurons = network->GetLayer(in)->GetNumNeurons();
    const int outputNeurons = network->GetLayer(out)->GetNumNeurons();
    if (inputNeurons != data->GetNumSelectedInputs()) {
        return "The network's input layer (layer " + Number(in) + ") has " +
               Count(inputNeurons, "neuron") + ", but a data row delivers " +
               Count(data->GetNumSelectedInputs(), "input");
    }
    if (outputNeurons != data->GetNumOutputs()) {
        return "The network's output layer (layer " + Number(out) + ") has " +
               Count(outputNeurons, "neuron") + ", but the data set has " +
               Count(data->GetNumOutputs(), "output");
    }
    if (data->GetNumSelectedOutputs() != data->GetNumOutputs()) {
        return "The data set's output selection delivers " + Number(data->GetNumSelectedOutputs()) +
               " of its " + Number(data->GetNumOutputs()) + " outputs; training needs all of them";
    }
    return "";
}

std::string NotFinite(int row, const char* kind, int column, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return "Data row " + Number(row) + ", " + kind + " column " + Number(column) +
           " (both counted from 0) is not finite: " + text;
}

// Every value a training pass reads: the selected inputs (all inputs without
// a selection) and all outputs of every stored row, oldest row first.
std::string CheckValues(const Data* data) {
    int selected = 0;
    int* columns = nullptr;
    data->GetInputFeatures(&selected, &columns);
    const std::unique_ptr<int[]> selection(columns);
    const int inputs = data->GetNumInputs() > 0 ? data->GetNumInputs() : 0;
    const int outputs = data->GetNumOutputs() > 0 ? data->GetNumOutputs() : 0;
    std::vector<double> inputRow(static_cast<size_t>(inputs) + 1);
    std::vector<double> outputRow(static_cast<size_t>(outputs) + 1);

    for (int k = 0; k < data->GetNumDataRows(); ++k) {
        const int slot = (data->GetFirstRow() + k) % data->GetNumRows();
        data->GetInputRow(slot, inputRow.data());
        data->GetOutputRow(slot, outputRow.data());
        const int readInputs = selection ? selected : inputs;
        for (int i = 0; i < readInputs; ++i) {
            const int column = selection ? selection[static_cast<size_t>(i)] : i;
            const double value = inputRow[static_cast<size_t>(column)];
            if (!std::isfinite(value)) return NotFinite(k, "input", column, value);
        }
        for (int column = 0; column < outputs; ++column) {
            const double value = outputRow[static_cast<size_t>(column)];
            if (!std::isfinite(value)) return NotFinite(k, "output", column, value);
        }
    }
    return "";
}

}  // namespace

std::string CheckTrainingSetup(TBasicNetwork* network, Data* data, const char* errorFunction,
                               TrainingCheckSubject* subject) {
    TrainingCheckSubject ignored;
    if (subject == nullptr) subject = &ignored;
    *subject = TrainingCheckSubject::kNone;
    auto found = [subject](TrainingCheckSubject which, std::string problem) {
        if (!problem.empty()) *subject = which;
        return problem;
    };

    std::string problem = CheckErrorFunction(errorFunction);
    if (!problem.empty()) return found(TrainingCheckSubject::kErrorFunction, problem);
    if (network == nullptr) return found(TrainingCheckSubject::kNetwork, "No network to train");
    if (data == nullptr) return found(TrainingCheckSubject::kDataSet, "No data set to train on");

    problem = CheckLayerNumbers(network);
    if (!problem.empty()) return found(TrainingCheckSubject::kNetwork, problem);
    const bool crossEntropy = ErrorFunctionMode(errorFunction) == kCrossEntropy;
    for (int i = 0; i < network->GetNumLayers(); ++i) {
        problem = CheckLayer(network, i, crossEntropy);
        if (!problem.empty()) return found(TrainingCheckSubject::kNetwork, problem);
    }

    if (data->GetNumRows() <= 0 || data->GetNumDataRows() <= 0) {
        return found(TrainingCheckSubject::kDataSet, "The data set has no rows");
    }
    problem = CheckSizes(network, data);
    if (!problem.empty()) return found(TrainingCheckSubject::kNetworkAndDataSet, problem);
    return found(TrainingCheckSubject::kDataSet, CheckValues(data));
}
