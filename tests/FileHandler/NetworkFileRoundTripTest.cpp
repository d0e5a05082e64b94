// Write -> read -> write: for many networks drawn with a fixed seed, the
// network read back writes the identical text and has the same weights.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "FileHandler/NetworkFileTestTools.h"
#include "NeuralNets/TConnectedConnections.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TMLPNetwork.h"
#include "NeuralNets/TPrunedConnections.h"

namespace {

// Draws the parts of a random network. Weights and gains are multiples of
// 1/1024 below 10^5 in magnitude, so 15 decimals and 15 significant digits
// both carry them exactly.
class TNetworkDraw {
public:
    explicit TNetworkDraw(uint32_t seed) : rng(seed) {}

    NetworkPtr Network() {
        int kind = Below(3);
        int numLayers = 2 + Below(4);
        NetworkPtr net;
        if (kind == 0) {
            net = std::make_unique<TBasicNetwork>(numLayers);
        } else if (kind == 1) {
            net = std::make_unique<TConnectedNetwork>(numLayers);
        } else {
            net = std::make_unique<TMLPNetwork>(numLayers - 1, Below(2) == 0);
        }
        if (kind != 2 && Below(3) == 0) {
            net->SetInLayer(Below(numLayers));
            net->SetOutLayer(Below(numLayers));
        }
        for (int i = 0; i < numLayers; ++i) net->SetLayer(i, Layer(net.get(), i));
        for (int from = 0; from < numLayers; ++from) {
            for (int to = 0; to < numLayers; ++to) {
                // Any pair: forward, skipping layers, backwards or onto itself.
                if (Below(5) < 2) Block(net.get(), from, to, kind == 1 || Below(3) == 0);
            }
        }
        return net;
    }

private:
    int Below(int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); }

    double Value() {
        double value = (Below(8193) - 4096) / 1024.0;
        return Below(10) == 0 ? value * 1000.0 : value;  // some wider than 20 characters
    }

    ActFunction Function(bool gain) {
        static const ActFunction plain[] = {ActLinear, ActSaturatedLinear, ActSigmoid, ActTanh};
        static const ActFunction gains[] = {ActLinearGain, ActSigmoidGain, ActTanhGain};
        if (gain && Below(2) == 0) return gains[Below(3)];
        return plain[Below(4)];
    }

    TBasicLayer* Layer(TBasicNetwork* net, int number) {
        if (number == 0 && Below(3) == 0) {
            auto* bias = new TSimpleLayer(net, 0, 1);
            bias->SetActFunction(ActBias);
            return bias;
        }
        int count = Below(5);
        if (number == net->GetInLayer()) return new TSimpleInputLayer(net, number, count);
        bool gain = Below(2) == 0;
        TBasicLayer* layer = nullptr;
        if (gain) {
            layer = new TGainLayer(net, number, count, Value());
            if (Below(2) == 0) {  // differing gains
                for (int i = 0; i < count; ++i) {
                    double g = Value();
                    layer->GetNeuron(i)->SetParameters(&g);
                }
            }
        } else {
            layer = new TSimpleLayer(net, number, count);
        }
        if (Below(2) == 0) {
            layer->SetActFunction(Function(gain));
        } else {  // mixed functions, one per neuron
            for (int i = 0; i < count; ++i) layer->GetNeuron(i)->SetActFunction(Function(gain));
        }
        return layer;
    }

    void Block(TBasicNetwork* net, int from, int to, bool full) {
        TBasicConnections* block = nullptr;
        if (full) {
            block = new TConnectedConnections(net, from, to);
        } else {
            block = new TPrunedConnections(net, from, to);
        }
        net->ReplaceConnections(from, to, block);
        int absentPercent = full ? 0 : Below(4) * 30;  // 0, 30, 60 or 90 %: lists and matrices
        for (int i = 0; i < net->GetLayer(from)->GetNumNeurons(); ++i) {
            for (int j = 0; j < net->GetLayer(to)->GetNumNeurons(); ++j) {
                *block->GetWeight(i, j) = Value();
                if (full) continue;
                if (Below(100) < absentPercent) {
                    block->Prune(i, j);
                } else if (Below(10) < 3) {
                    block->SetUntrainable(i, j);
                }
            }
        }
    }

    std::mt19937 rng;
};

}  // namespace

TEST(NetworkFileRoundTrip, ReadingWhatWasWrittenGivesTheSameNetwork) {
    TNetworkDraw draw(20240611);
    int lists = 0;
    int matrices = 0;
    for (int n = 0; n < 300; ++n) {
        NetworkPtr original = draw.Network();
        std::string text = WriteText(original.get());
        NetworkPtr copy = ReadText(text);
        ASSERT_EQ(WriteText(copy.get()), text) << "network " << n;
        ASSERT_EQ(Weights(*copy, 0), Weights(*original, 0)) << "network " << n;
        ASSERT_EQ(Weights(*copy, 1), Weights(*original, 1)) << "network " << n;
        for (size_t at = text.find("[WeightList]"); at != std::string::npos;
             at = text.find("[WeightList]", at + 1)) {
            ++lists;
        }
        for (size_t at = text.find("[Matrix"); at != std::string::npos;
             at = text.find("[Matrix", at + 1)) {
            ++matrices;
        }
    }
    // The draw covers both notations.
    EXPECT_GT(lists, 20);
    EXPECT_GT(matrices, 100);
}
