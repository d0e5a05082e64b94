// Writes the untrained network files of the bundled examples:
//
//   make_examples <examples folder>
//
// Each network is a complete MLP with a bias layer whose weights are drawn
// with the library's own generator (from a fixed state, so the files are the
// same on every machine) and written with the library's network file writer.

#include <cstdio>
#include <memory>
#include <string>

#include "FileHandler/NetworkFile.h"
#include "NeuralNets/TMLPNetwork.h"
#include "NeuralNets/TRandom.h"

namespace {

struct Example {
    const char* file;      // relative to the examples folder
    int numLayers;         // without the bias layer
    int sizes[4];          // input layer first
    ActFunction hidden;    // function of the hidden layers
    ActFunction output;    // function of the output layer
    uint32_t seed;         // generator state before the draws
    double range;          // weights drawn in [-range, range)
};

const Example kExamples[] = {
    {"xor/xor.wgt", 3, {2, 2, 1}, ActSigmoid, ActSigmoid, 12, 0.5},
    {"iris/iris.wgt", 3, {4, 5, 3}, ActSigmoid, ActSigmoid, 25, 1.0},
    {"regression/sine.wgt", 3, {1, 6, 1}, ActTanh, ActLinear, 26, 1.0},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: make_examples <examples folder>\n");
        return 1;
    }
    const std::string folder = argv[1];
    for (const Example& example : kExamples) {
        TMLPNetwork network(example.numLayers, example.sizes, true);
        for (int layer = 2; layer < example.numLayers; ++layer) {
            network.GetLayer(layer)->SetActFunction(example.hidden);
        }
        network.GetLayer(example.numLayers)->SetActFunction(example.output);
        SetRandomState(example.seed);
        network.Randomize(-example.range, example.range);
        const std::string path = folder + "/" + example.file;
        try {
            FileTools tools;
            WriteNetwork(tools, path.c_str(), &network, nullptr);
        } catch (const FileTools::Error& error) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), error.GetMessage());
            return 1;
        }
        std::printf("wrote %s\n", path.c_str());
    }
    return 0;
}
