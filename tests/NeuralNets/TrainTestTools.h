#ifndef TESTS_NEURALNETS_TRAINTESTTOOLS_H
#define TESTS_NEURALNETS_TRAINTESTTOOLS_H

#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DataObject/Data.h"
#include "NeuralNets/TBasicNetwork.h"

// One layer of a test network: its kind ("Simple", "Gain" or "Input"), its
// size, its activation function and, for gain layers, the gain.
struct LayerDesc {
    const char* kind;
    int size;
    ActFunction fn;
    double gain = 1.0;
};

// Stores the layers into net (created with as many layers) and connects the
// pairs (from, to) with net's Connect.
inline void BuildNetwork(TBasicNetwork& net, const std::vector<LayerDesc>& layers,
                         const std::vector<std::pair<int, int>>& pairs) {
    for (size_t i = 0; i < layers.size(); ++i) {
        const LayerDesc& desc = layers[i];
        const int number = static_cast<int>(i);
        TBasicLayer* layer = nullptr;
        if (std::string(desc.kind) == "Gain") {
            layer = new TGainLayer(&net, number, desc.size, desc.gain);
        } else if (std::string(desc.kind) == "Input") {
            layer = new TSimpleInputLayer(&net, number, desc.size);
        } else {
            layer = new TSimpleLayer(&net, number, desc.size);
        }
        net.SetLayer(number, layer);
        if (desc.fn != nullptr) layer->SetActFunction(desc.fn);
    }
    for (const auto& pair : pairs) net.Connect(pair.first, pair.second);
}

// A data set of the given rows, appended in order.
inline std::unique_ptr<Data> MakeData(int inputs, int outputs,
                                      const std::vector<std::vector<double>>& in,
                                      const std::vector<std::vector<double>>& out) {
    auto data = std::make_unique<Data>(static_cast<int>(in.size()), inputs, outputs, false);
    data->RewindCursor();
    for (size_t r = 0; r < in.size(); ++r) data->AppendRow(in[r].data(), out[r].data(), nullptr);
    return data;
}

inline void SetWeightVector(TBasicNetwork& net, std::vector<double> w) {
    net.SetWeights(w.data(), 0);
}

// Captures standard output while it lives.
class CaptureCout {
public:
    CaptureCout() : saved(std::cout.rdbuf(text.rdbuf())) {}
    ~CaptureCout() { std::cout.rdbuf(saved); }
    std::string Text() const { return text.str(); }

private:
    std::ostringstream text;
    std::streambuf* saved;
};

#endif
