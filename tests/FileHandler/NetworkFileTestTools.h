#ifndef TESTS_FILEHANDLER_NETWORKFILETESTTOOLS_H
#define TESTS_FILEHANDLER_NETWORKFILETESTTOOLS_H

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FileHandler/NetworkFile.h"
#include "NeuralNets/TBasicNetwork.h"

using NetworkPtr = std::unique_ptr<TBasicNetwork>;

inline NetworkPtr ReadText(const std::string& text) {
    std::istringstream in(text);
    FileTools tools;
    return NetworkPtr(ReadNetwork(tools, in, nullptr));
}

inline std::string WriteText(TBasicNetwork* network) {
    std::ostringstream out;
    FileTools tools;
    WriteNetwork(tools, out, network, nullptr);
    return out.str();
}

struct ReadFailure {
    std::string message;
    int line;
};

// The message and line of the error that reading text throws.
inline ReadFailure FailureOf(const std::string& text) {
    try {
        ReadText(text);
    } catch (const FileTools::Error& error) {
        return {error.GetMessage(), error.GetLine()};
    }
    return {"no error", 0};
}

inline std::vector<double> Weights(TBasicNetwork& network, int mask) {
    std::vector<double> w(static_cast<size_t>(network.GetNumWeights(mask)));
    network.GetWeights(w.data(), mask);
    return w;
}

// The start of a network file up to the layer blocks.
inline std::string Head(const std::string& type, const std::string& information) {
    return "[NeuralNetwork]\n[NetworkType = " + type + "]\n[NetworkInformation]\n" + information +
           "\n[~NetworkInformation]\n";
}

#endif
