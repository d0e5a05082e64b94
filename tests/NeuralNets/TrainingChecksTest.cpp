#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TBFGSModule.h"
#include "NeuralNets/TrainingChecks.h"
#include "TrainTestTools.h"

namespace {

using NetworkPtr = std::unique_ptr<TBasicNetwork>;

// Bias (layer 0), 2 inputs (layer 1), 3 sigmoid hidden (layer 2), 1
// sigmoid output (layer 3), standard MLP connections; change adjusts the
// layers before the connections are made.
NetworkPtr Mlp(const std::function<void(std::vector<LayerDesc>&)>& change = nullptr) {
    std::vector<LayerDesc> layers = {{"Simple", 1, ActBias},
                                     {"Input", 2, ActLinear},
                                     {"Gain", 3, ActSigmoid},
                                     {"Gain", 1, ActSigmoid}};
    if (change) change(layers);
    auto net = std::make_unique<TBasicNetwork>(static_cast<int>(layers.size()));
    BuildNetwork(*net, layers, {{0, 2}, {1, 2}, {0, 3}, {2, 3}});
    net->Randomize(-1.0, 1.0);
    return net;
}

NetworkPtr WithNeuronFunction(NetworkPtr net, int layer, int neuron, ActFunction fn) {
    net->GetLayer(layer)->GetNeuron(neuron)->SetActFunction(fn);
    return net;
}

std::unique_ptr<Data> Rows(int inputs, int outputs, int rows = 2) {
    std::vector<std::vector<double>> in, out;
    for (int r = 0; r < rows; ++r) {
        in.push_back(std::vector<double>(static_cast<size_t>(inputs), 0.25 * r));
        out.push_back(std::vector<double>(static_cast<size_t>(outputs), 0.5));
    }
    return MakeData(inputs, outputs, in, out);
}

std::unique_ptr<Data> WithValue(std::unique_ptr<Data> data, int row, bool input, int column,
                                double value) {
    if (input) {
        data->SetInputDatum(row, column, value);
    } else {
        data->SetOutputDatum(row, column, value);
    }
    return data;
}

struct CheckCase {
    const char* name;
    std::function<NetworkPtr()> network;
    std::function<std::unique_ptr<Data>()> data;
    const char* errorFunction;
    std::string expected;
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

TEST(TrainingChecks, MessagesAndAcceptedSetups) {
    const CheckCase cases[] = {
        // Accepted.
        {"mean squared error", [] { return Mlp(); }, [] { return Rows(2, 1); },
         "MeanSquaredError", ""},
        {"cross-entropy in any case", [] { return Mlp(); }, [] { return Rows(2, 1); },
         "crossENTROPY", ""},
        {"no bias neuron (empty layer 0)",
         [] { return Mlp([](std::vector<LayerDesc>& l) { l[0] = {"Simple", 0, nullptr}; }); },
         [] { return Rows(2, 1); }, "MEANSQUAREDERROR", ""},
        {"linear, tanh and gain layers",
         [] {
             return Mlp([](std::vector<LayerDesc>& l) {
                 l[2] = {"Gain", 3, ActTanhGain, 0.5};
                 l[3] = {"Gain", 1, ActLinearGain, 2.0};
             });
         },
         [] { return Rows(2, 1); }, "MeanSquaredError", ""},
        {"a layer without derivative that nothing feeds",
         [] {
             auto net = std::make_unique<TBasicNetwork>(5);
             BuildNetwork(*net,
                          {{"Simple", 1, ActBias}, {"Input", 2, ActLinear},
                           {"Simple", 2, ActTanh}, {"Simple", 1, ActLinear},
                           {"Simple", 2, ActSaturatedLinear}},
                          {{0, 2}, {1, 2}, {2, 3}});
             net->SetOutLayer(3);
             net->Randomize(-1.0, 1.0);
             return net;
         },
         [] { return Rows(2, 1); }, "MeanSquaredError", ""},
        {"feature selection", [] { return Mlp(); },
         [] {
             auto data = WithValue(Rows(3, 1), 0, true, 1, kNaN);  // column 1 is not read
             const int columns[] = {2, 0};
             data->SetInputFeatures(2, columns);
             return data;
         },
         "MeanSquaredError", ""},

        // The error function.
        {"no error function", [] { return Mlp(); }, [] { return Rows(2, 1); }, "",
         "No error function given: ErrorFunction must be MeanSquaredError or CrossEntropy"},
        {"null error function", [] { return Mlp(); }, [] { return Rows(2, 1); }, nullptr,
         "No error function given: ErrorFunction must be MeanSquaredError or CrossEntropy"},
        {"unknown error function", [] { return Mlp(); }, [] { return Rows(2, 1); }, "RMS",
         "Unknown error function \"RMS\": ErrorFunction must be MeanSquaredError or CrossEntropy"},

        // The network's shape.
        {"no layers", [] { return std::make_unique<TBasicNetwork>(0); },
         [] { return Rows(2, 1); }, "MeanSquaredError", "The network has no layers"},
        {"input layer beyond the layers",
         [] {
             auto net = std::make_unique<TBasicNetwork>(1);
             BuildNetwork(*net, {{"Simple", 1, ActLinear}}, {});
             return net;
         },
         [] { return Rows(2, 1); }, "MeanSquaredError",
         "The network's input layer 1 does not exist (the network has 1 layer)"},
        {"missing layer",
         [] {
             auto net = std::make_unique<TBasicNetwork>(3);
             net->SetLayer(0, new TSimpleLayer(net.get(), 0, 1));
             net->SetLayer(1, new TSimpleInputLayer(net.get(), 1, 2));
             return net;
         },
         [] { return Rows(2, 1); }, "MeanSquaredError", "Layer 2 of the network is missing"},

        // Activation functions.
        {"mixed functions in a hidden layer",
         [] { return WithNeuronFunction(Mlp(), 2, 1, ActTanh); }, [] { return Rows(2, 1); },
         "MeanSquaredError",
         "Layer 2 mixes activation functions (\"sigmoid\" in neuron 0, \"tanh\" in neuron 1): "
         "training needs one function per layer"},
        {"mixed functions in the bias layer, which nothing feeds",
         [] {
             return WithNeuronFunction(
                 Mlp([](std::vector<LayerDesc>& l) { l[0] = {"Simple", 2, ActBias}; }), 0, 1,
                 ActLinear);
         },
         [] { return Rows(2, 1); }, "MeanSquaredError",
         "Layer 0 mixes activation functions (\"bias\" in neuron 0, \"linear\" in neuron 1): "
         "training needs one function per layer"},
        {"mixed functions in the input layer",
         [] { return WithNeuronFunction(Mlp(), 1, 0, ActSigmoid); }, [] { return Rows(2, 1); },
         "MeanSquaredError",
         "Layer 1 mixes activation functions (\"sigmoid\" in neuron 0, \"linear\" in neuron 1): "
         "training needs one function per layer"},
        {"function never set",
         [] { return Mlp([](std::vector<LayerDesc>& l) { l[2] = {"Simple", 3, nullptr}; }); },
         [] { return Rows(2, 1); }, "MeanSquaredError",
         "Layer 2 has no usable activation function: neuron 0 holds \"error\""},
        {"fed layer without derivative",
         [] { return Mlp([](std::vector<LayerDesc>& l) { l[2] = {"Simple", 3, ActSaturatedLinear}; }); },
         [] { return Rows(2, 1); }, "MeanSquaredError",
         "Layer 2 is fed by weights from layer 1, but its activation function "
         "\"saturated-linear\" has no derivative for training"},
        {"fed layer without neurons",
         [] { return Mlp([](std::vector<LayerDesc>& l) { l[2] = {"Simple", 0, nullptr}; }); },
         [] { return Rows(2, 1); }, "MeanSquaredError",
         "Layer 2 has no neurons but is fed by weights from layer 1"},
        {"cross-entropy with a linear output",
         [] { return Mlp([](std::vector<LayerDesc>& l) { l[3] = {"Simple", 1, ActLinear}; }); },
         [] { return Rows(2, 1); }, "CrossEntropy",
         "Cross-entropy needs the activation function \"sigmoid\" in the output layer, but layer "
         "3 uses \"linear\""},
        {"cross-entropy with a sigmoid-gain output",
         [] { return Mlp([](std::vector<LayerDesc>& l) { l[3] = {"Gain", 1, ActSigmoidGain}; }); },
         [] { return Rows(2, 1); }, "CrossEntropy",
         "Cross-entropy needs the activation function \"sigmoid\" in the output layer, but layer "
         "3 uses \"sigmoid-gain\""},

        // The data set.
        {"no rows stored", [] { return Mlp(); }, [] { return std::make_unique<Data>(4, 2, 1, false); },
         "MeanSquaredError", "The data set has no rows"},
        {"no row slots", [] { return Mlp(); }, [] { return std::make_unique<Data>(0, 2, 1, false); },
         "MeanSquaredError", "The data set has no rows"},
        {"too many inputs", [] { return Mlp(); }, [] { return Rows(3, 1); }, "MeanSquaredError",
         "The network's input layer (layer 1) has 2 neurons, but a data row delivers 3 inputs"},
        {"too few selected inputs", [] { return Mlp(); },
         [] {
             auto data = Rows(3, 1);
             const int columns[] = {2};
             data->SetInputFeatures(1, columns);
             return data;
         },
         "MeanSquaredError",
         "The network's input layer (layer 1) has 2 neurons, but a data row delivers 1 input"},
        {"outputs differ", [] { return Mlp(); }, [] { return Rows(2, 2); }, "MeanSquaredError",
         "The network's output layer (layer 3) has 1 neuron, but the data set has 2 outputs"},
        {"input not a number", [] { return Mlp(); },
         [] { return WithValue(Rows(2, 1, 3), 1, true, 0, kNaN); }, "MeanSquaredError",
         "Data row 1, input column 0 (both counted from 0) is not finite: nan"},
        {"infinite target", [] { return Mlp(); },
         [] { return WithValue(Rows(2, 1, 3), 2, false, 0, -kInf); }, "MeanSquaredError",
         "Data row 2, output column 0 (both counted from 0) is not finite: -inf"},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        NetworkPtr net = c.network();
        std::unique_ptr<Data> data = c.data();
        EXPECT_EQ(c.expected, CheckTrainingSetup(net.get(), data.get(), c.errorFunction));
        if (!c.expected.empty()) continue;

        // An accepted setup trains without reaching an internal assertion.
        TBFGSModule trainer(net.get());
        TKQstructure params("Params");
        params.SetString("ErrorFunction", c.errorFunction);
        int iterations = 3;
        CaptureCout quiet;
        trainer.Train(data.get(), &params, &iterations);
        EXPECT_EQ(3, iterations);
    }
}

}  // namespace
