#ifndef TESTS_NEURALNETS_NETTESTTOOLS_H
#define TESTS_NEURALNETS_NETTESTTOOLS_H

#include <memory>
#include <tuple>
#include <vector>

#include "NeuralNets/TBasicNetwork.h"

// Owns a free-standing layer in a test.
using LayerHolder = std::unique_ptr<TBasicLayer, TDestroyer>;

// Stores a TSimpleLayer of sizes[i] neurons at every position i of net.
inline void StoreSimpleLayers(TBasicNetwork& net, const std::vector<int>& sizes) {
    for (size_t i = 0; i < sizes.size(); ++i) {
        int number = static_cast<int>(i);
        net.SetLayer(number, new TSimpleLayer(&net, number, sizes[i]));
    }
}

// Records every visit as (fromNode, toNode, trainable, weight address).
struct RecordVisits : TIterateObj {
    void Visit() override { visits.emplace_back(fromNode, toNode, trainable, weight); }
    std::vector<std::tuple<int, int, int, double*>> visits;
};

inline std::vector<double> WeightVector(TBasicNetwork& net, int mask) {
    std::vector<double> w(static_cast<size_t>(net.GetNumWeights(mask)));
    net.GetWeights(w.data(), mask);
    return w;
}

#endif
