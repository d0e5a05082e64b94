// The objective's gradient against central differences of what it is the
// gradient of: one half of the summed squared differences (mean squared
// error) or the cross-entropy sum, plus the weight penalty, computed here
// straight from the network's forward pass.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TBFGSModule.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TRandom.h"
#include "NetTestTools.h"
#include "TrainTestTools.h"

namespace {

struct GradientCase {
    std::string name;
    std::function<std::unique_ptr<TBasicNetwork>()> build;
    bool crossEntropy;
    bool penalty;
};

void SetGains(TBasicNetwork& net, int layer, const std::vector<double>& gains) {
    for (size_t i = 0; i < gains.size(); ++i) {
        static_cast<TGainNeuron*>(net.GetLayer(layer)->GetNeuron(static_cast<int>(i)))
            ->SetGain(gains[i]);
    }
}

// Bias, 3 inputs, 4 sigmoid hidden, 2 linear outputs; the inputs also feed
// the outputs directly. One weight absent, two frozen. The frozen weights
// leave bias and input neurons: a frozen weight carries no error back to its
// from-neuron, so one leaving a hidden neuron would hide part of the
// gradient of the weights below it (LinearNetTest pins that rule).
std::unique_ptr<TBasicNetwork> SkipNetwork() {
    auto net = std::make_unique<TBasicNetwork>(4);
    BuildNetwork(*net,
                 {{"Simple", 1, ActBias}, {"Input", 3, ActLinear}, {"Simple", 4, ActSigmoid},
                  {"Simple", 2, ActLinear}},
                 {{0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}});
    net->Randomize(-1.0, 1.0);
    net->GetConnections(1, 2)->Prune(2, 1);
    net->GetConnections(0, 2)->SetUntrainable(0, 3);
    net->GetConnections(1, 3)->SetUntrainable(0, 1);
    return net;
}

// Bias, 2 inputs, tanh-gain and sigmoid-gain hidden layers, linear-gain
// outputs, with skip connections and a gain per neuron.
std::unique_ptr<TBasicNetwork> GainNetwork() {
    auto net = std::make_unique<TBasicNetwork>(5);
    BuildNetwork(*net,
                 {{"Simple", 1, ActBias}, {"Input", 2, ActLinear}, {"Gain", 3, ActTanhGain},
                  {"Gain", 3, ActSigmoidGain}, {"Gain", 2, ActLinearGain}},
                 {{0, 2}, {1, 2}, {0, 3}, {2, 3}, {1, 3}, {0, 4}, {3, 4}, {2, 4}});
    SetGains(*net, 2, {1.5, 0.5, 2.0});
    SetGains(*net, 3, {0.7, 1.3, 1.0});
    SetGains(*net, 4, {2.0, 0.25});
    net->Randomize(-1.0, 1.0);
    return net;
}

// Fully connected blocks: bias, 3 inputs, 4 tanh hidden, 2 sigmoid outputs.
std::unique_ptr<TBasicNetwork> ConnectedNetwork() {
    auto net = std::make_unique<TConnectedNetwork>(4);
    BuildNetwork(*net,
                 {{"Simple", 1, ActBias}, {"Input", 3, ActLinear}, {"Simple", 4, ActTanh},
                  {"Simple", 2, ActSigmoid}},
                 {{0, 2}, {1, 2}, {0, 3}, {2, 3}, {1, 3}});
    net->Randomize(-1.0, 1.0);
    return net;
}

// What the gradient is the gradient of, at the network's current weights.
double Reference(TBasicNetwork& net, Data& data, bool crossEntropy, const TKQstructure* penalty) {
    const int inputs = net.GetLayer(net.GetInLayer())->GetNumNeurons();
    const int outputs = net.GetLayer(net.GetOutLayer())->GetNumNeurons();
    std::vector<double> in(static_cast<size_t>(inputs)), target(static_cast<size_t>(outputs));
    std::vector<double> out(static_cast<size_t>(outputs));
    double total = 0.0;
    for (int row = 0; row < data.GetNumRows(); ++row) {
        data.GetInputRow(row, in.data());
        data.GetOutputRow(row, target.data());
        net.Recall(in.data(), out.data());
        for (int k = 0; k < outputs; ++k) {
            const double t = target[static_cast<size_t>(k)], y = out[static_cast<size_t>(k)];
            total += crossEntropy ? -t * std::log(y) - (1 - t) * std::log(1 - y)
                                  : 0.5 * (t - y) * (t - y);
        }
    }
    const std::vector<double> w = WeightVector(net, 0);
    return total + TErrorRMSObj(outputs).CalcPenalty(static_cast<int>(w.size()), w.data(), penalty,
                                                     1.0);
}

TEST(GradientCheck, GradientMatchesCentralDifferences) {
    const GradientCase setups[] = {
        {"skip connections, absent and frozen weights", SkipNetwork, false, false},
        {"skip connections with weight penalty", SkipNetwork, false, true},
        {"gain layers", GainNetwork, false, false},
        {"fully connected, cross-entropy", ConnectedNetwork, true, false},
        {"fully connected, cross-entropy with weight penalty", ConnectedNetwork, true, true},
    };
    for (const GradientCase& setup : setups) {
        SCOPED_TRACE(setup.name);
        SetRandomState(11);
        std::unique_ptr<TBasicNetwork> net = setup.build();
        const int inputs = net->GetLayer(net->GetInLayer())->GetNumNeurons();
        const int outputs = net->GetLayer(net->GetOutLayer())->GetNumNeurons();
        Data data(5, inputs, outputs, false);
        data.RewindCursor();
        for (int row = 0; row < 5; ++row) {
            std::vector<double> in, target;
            for (int i = 0; i < inputs; ++i) in.push_back(KRandomDraw(-1.0, 1.0));
            for (int k = 0; k < outputs; ++k) {
                target.push_back(setup.crossEntropy ? KRandomDraw(0.05, 0.95)
                                                    : KRandomDraw(-1.0, 1.0));
            }
            data.AppendRow(in.data(), target.data(), nullptr);
        }
        TKQstructure params("Params");
        params.SetString("ErrorFunction", setup.crossEntropy ? "CrossEntropy" : "MeanSquaredError");
        TKQstructure* penalty = nullptr;
        if (setup.penalty) {
            penalty = new TKQstructure("QUADPENALTY");
            penalty->SetString("EPSILON1", "0.03");
            penalty->SetString("EPSILON2", "0.002");
            penalty->SetString("BETA", "2.5");
            params.AddValue("WEIGHTPENALTY", penalty);
        }

        TBFGSModule module(net.get());
        TFunctNetworkObject objective(&module, &data, &params);
        std::vector<double> x = WeightVector(*net, 0);
        ASSERT_EQ(static_cast<int>(x.size()), objective.GetNumParams());
        std::vector<double> gradient(x.size());
        objective.Evaluate(x.data(), gradient.data());

        const double h = 1e-5;
        for (size_t i = 0; i < x.size(); ++i) {
            std::vector<double> probe = x;
            probe[i] = x[i] + h;
            net->SetWeights(probe.data(), 0);
            const double up = Reference(*net, data, setup.crossEntropy, penalty);
            probe[i] = x[i] - h;
            net->SetWeights(probe.data(), 0);
            const double down = Reference(*net, data, setup.crossEntropy, penalty);
            const double difference = (up - down) / (2 * h);
            EXPECT_NEAR(difference, gradient[i], 1e-8 * std::max(1.0, std::fabs(difference)))
                << "weight " << i;
        }
    }
}

}  // namespace
