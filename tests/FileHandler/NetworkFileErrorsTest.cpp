// Malformed network files: each is rejected with its message, never with an
// assertion, a crash or a leak (the sanitizer build checks the last two).

#include <gtest/gtest.h>

#include <string>

#include "FileHandler/NetworkFileTestTools.h"

namespace {

const std::string L0 =
    "[Layer = 0] [LayerType = Simple] [NumberOfNeurons = 1] [ActivationFunction = bias] [~Layer]\n";
const std::string L1 = "[Layer = 1] [LayerType = Input] [NumberOfNeurons = 2] [~Layer]\n";
const std::string L2 =
    "[Layer = 2] [LayerType = Gain] [NumberOfNeurons = 3] [ActivationFunction = sigmoid-gain]"
    " [All Gain = 1] [~Layer]\n";
const std::string End = "[~NeuralNetwork]\n";

// A basic network of three layers with the given information statements.
std::string Net(const std::string& information, const std::string& body) {
    return Head("Basic", information) + body + End;
}

std::string Layers(const std::string& layer2) {
    return Net("[NumberOfLayers = 3]", L0 + L1 + layer2);
}

// Layer 2 of three neurons with the given header and contents.
std::string Layer2(const std::string& contents) {
    return Layers("[Layer = 2]" + contents + "[~Layer]\n");
}

std::string Connection(const std::string& header, const std::string& sections) {
    return Net("[NumberOfLayers = 3]", L0 + L1 + L2 + "[ConnectionLayer] " + header + "\n" +
                                           sections + "\n[~ConnectionLayer]\n");
}

// Weight sections of a block from layer 1 (2 neurons) to layer 2 (3 neurons).
std::string Block(const std::string& type, const std::string& sections) {
    return Connection("[LayerFrom = 1] [LayerTo = 2] [ConnectionType = " + type + "]", sections);
}

// The text up to where marker starts: the input ends there.
std::string Cut(const std::string& text, const std::string& marker) {
    return text.substr(0, text.find(marker));
}

}  // namespace

TEST(NetworkFileErrors, EachMalformedFileHasItsMessage) {
    const std::string gainLayer = "[LayerType = Gain] [NumberOfNeurons = 3]";
    const std::string simpleLayer = "[LayerType = Simple] [NumberOfNeurons = 3]";
    const std::string sigmoid = " [ActivationFunction = sigmoid]";
    struct Case {
        std::string text;
        const char* message;
    } cases[] = {
        // Structure and information block.
        {"[Network]", "[NEURALNETWORK] expected"},
        {"[NeuralNetwork] [NetworkInformation]",
         "[NETWORKTYPE = <string>] expectedNetworkInformation"},
        {"[NeuralNetwork] [NetworkType = Basic] [Layer = 0]", "[NETWORKINFORMATION] expected"},
        {Net("[NumberOfLayers = x]", ""), "integer-expected"},
        {Net("[NumberOfLayers = 3] [Foo = 1]", ""), "Unknown keyword"},
        {Net("[NumberOfLayers = 3] [Foo = bar]", ""), "integer-expected"},
        {Net("[NumberOfLayers = 3 InputLayer = 1]", ""), "Too complicated statement"},
        {Net("[NumberOfLayers = 99999999999]", ""), "Integer out of range"},
        {Net("[InputLayer = 1]", ""), "Must specify number of layers"},
        {Net("[NumberOfLayers = 1]", ""), "Input layer out of range"},
        {Net("[NumberOfLayers = 0]", ""), "Input layer out of range"},
        {Net("[NumberOfLayers = 3] [InputLayer = 3]", ""), "Input layer out of range"},
        {Net("[NumberOfLayers = 3] [InputLayer = -1]", ""), "Input layer out of range"},
        {Net("[NumberOfLayers = 3] [OutputLayer = 3]", ""), "Output layer out of range"},
        {Net("[NumberOfLayers = 1025]", ""), "Too many layers"},
        {Head("Sparse", "[NumberOfLayers = 3]"), "Unknown network type"},
        {Net("[NumberOfLayers = 3] [NumberOfInputs = 3]", L0 + L1),
         "wrong number inputs in header"},
        {Net("[NumberOfLayers = 3] [NumberOfOutputs = 2]", L0 + L1 + L2),
         "wrong number outputs in header"},
        // Layer blocks.
        {Net("[NumberOfLayers = 3]", "[Layer = 3]"), "Layer number out of range"},
        {Net("[NumberOfLayers = 3]", "[Layer = -1]"), "Layer number out of range"},
        {Net("[NumberOfLayers = 3]", "[Layer = one]"), "integer-expected"},
        {Net("[NumberOfLayers = 3]", L0 + L1 + L1), "Layer already defined"},
        {Net("[NumberOfLayers = 3]", L0 + L2), "Layer not defined"},
        {Net("[NumberOfLayers = 3]", L0 + L1), "Layer not defined"},
        {Layer2(gainLayer + " [ALL]"), "[ALL] is incomplete statment"},
        {Layer2(gainLayer + " [ALL Gain]"), "Required syntax is [ALL <keyword>=<val>]"},
        {Layer2(gainLayer + " [ALL Gain = 1 Bias = 2]"), "Too complicated statement"},
        {Layer2("[LayerType = Gain] [NumberOfNeurons = 3 Gain = 1]"), "Too complicated statement"},
        {Layer2("[LayerType = Dense] [NumberOfNeurons = 3]"), "Unknown layer type"},
        {Layer2("[LayerType = Gain] [NumberOfNeurons = -2]"), "Negative number of neurons"},
        {Layer2("[LayerType = Gain]"), "Layer type or number of neurons missing"},
        {Layer2("[NumberOfNeurons = 3] [Neurons] [Neuron = 0] [~Neurons]"),
         "Layer type or number of neurons missing"},
        {Layer2("[LayerType = Gain] [Gain = 1] [NumberOfNeurons = 3]"),
         "Neuron parameter before the layer is created"},
        {Layer2(gainLayer + " [Bias = 1]"), "Unknown neuron parameter"},
        {Layer2(simpleLayer + " [ALL Gain = 1]"), "Unknown neuron parameter"},
        {Layer2("[LayerType = Gain] [NumberOfNeurons = 0] [Gain = 1]"), "Unknown neuron parameter"},
        {Layer2(gainLayer + " [Gain = high]"), "number-expected"},
        {Layer2(simpleLayer + " [ActivationFunction = softmax]"), "Unknown activation function"},
        {Layer2(simpleLayer + " [ActivationFunction = linear-gain]"),
         "Activation function needs gain neurons"},
        {Layer2(simpleLayer + " [ActivationFunction = error]"),
         "Activation function not usable on neurons"},
        {Layer2(simpleLayer + " [ActivationFunction = null]"),
         "Activation function not usable on neurons"},
        {Layer2(gainLayer + sigmoid), "Incomplete Layer information"},
        {Layer2(simpleLayer), "No activation function defined"},
        {Layer2(simpleLayer + " [NumberOfNeurons = 4]" + sigmoid),
         "Number of neurons changed after the layer was created"},
        {Layer2(simpleLayer + " [LayerType = Gain]" + sigmoid),
         "Layer type changed after the layer was created"},
        {Layer2(simpleLayer + sigmoid + " [Weights]"), "End Tag expected"},
        // Neurons blocks.
        {Layer2(simpleLayer + sigmoid + " [Neurons] [Neuron = 3] [~Neurons]"),
         "Neuron index out of range"},
        {Layer2(simpleLayer + sigmoid + " [Neurons] [Neuron = -1] [~Neurons]"),
         "Neuron index out of range"},
        {Layer2(simpleLayer + sigmoid + " [Neurons] [Neuron = 0] [Neuron = 0] [~Neurons]"),
         "repeated neuron"},
        {Layer2(gainLayer + sigmoid + " [Neurons] [Neuron = 0 Gain] [~Neurons]"),
         "Equals clause expected in neuron parameter"},
        {Layer2(simpleLayer + " [Neurons] [Neuron = 0 ActivationFunction=tanh] [Neuron = 1]"
                              " [~Neurons]"),
         "No activation function defined"},
        {Layer2(simpleLayer + sigmoid + " [Neurons] [Neuron = 0] [Neuron = 2] [~Neurons]"),
         "Neuron not defined"},
        {Layer2(simpleLayer + sigmoid + " [Neurons] [Neuron = 0 ActivationFunction=relu]"),
         "Unknown activation function"},
        {Layer2(simpleLayer + " [Neurons] [Neuron = 0 ActivationFunction=tanh-gain]"),
         "Activation function needs gain neurons"},
        {Layer2(gainLayer + sigmoid + " [Neurons] [Neuron = 0 Bias=2]"),
         "Unknown neuron parameter"},
        {Layer2(gainLayer + sigmoid + " [Neurons] [Neuron = 0 Gain=x]"), "number-expected"},
        // Connection layers.
        {Connection("[LayerFrom = 1] [LayerTo = 2] [Foo = 1]", ""),
         "Unknown keyword in connections"},
        {Connection("[LayerFrom = 1] [LayerTo = 2 ConnectionType = Pruneable]", ""),
         "Too complicated statement"},
        {Connection("[LayerFrom = 1] [ConnectionType = Pruneable]", ""),
         "Insufficient information to construct layer"},
        {Connection("[LayerFrom = 1] [LayerTo = 2] [ConnectionType = Sparse]", ""),
         "Insufficient information to construct layer"},
        {Connection("[LayerFrom = 3] [LayerTo = 2] [ConnectionType = Pruneable]", ""),
         "Layer number out of range"},
        {Connection("[LayerFrom = 1] [LayerTo = -2] [ConnectionType = Pruneable]", ""),
         "Layer number out of range"},
        {Block("Pruneable",
               "[~ConnectionLayer] [ConnectionLayer] [LayerFrom = 1] [LayerTo = 2]"
               " [ConnectionType = FullyConnected]"),
         "Connections already defined"},
        {Block("Pruneable", "[Matrix Weights = 1]"), "Keyword expected in matrix parameter"},
        {Block("Pruneable", "[Matrix Weights Weight]"), "Unknown matrix attribute"},
        {Block("Pruneable", "[Matrix W W W W W W W W W W]"), "Unknown matrix attribute"},
        {Block("Pruneable",
               "[Matrix Weights Weights Weights Weights Weights Weights Weights"
               " Weights TrainableInfo TrainableInfo]"),
         "Too many matrix columns"},
        {Block("Pruneable", "[Matrix Weights] 1 2 3 4 5 [~Matrix]"), "Token Expected"},
        {Block("Pruneable", "[Matrix Weights] 1 2 3 4 5 6 7 [~Matrix]"), "End Tag expected"},
        {Block("Pruneable", "[Matrix Weights] 1 2 [Attributes] 4 5 6 [~Matrix]"), "Token Expected"},
        {Block("Pruneable", "[Matrix Weights] 1 2 abc 4 5 6 [~Matrix]"), "number-expected"},
        {Block("Pruneable", "[Matrix Weights TrainableInfo] 1 X 1 T 1 T 1 T 1 T 1 T [~Matrix]"),
         "Trainable entry must be T or F"},
        {Block("FullyConnected", "[Matrix Weights] 1 2 - 4 5 6 [~Matrix]"),
         "Weight cannot be removed from a fully connected block"},
        {Block("FullyConnected",
               "[Matrix Weights TrainableInfo] 1 T 2 F 3 T 4 T 5 T 6 T [~Matrix]"),
         "Weight cannot be frozen in a fully connected block"},
        {Block("FullyConnected", "[Matrix TrainableInfo] T T - T T T [~Matrix]"),
         "Trainable entry must be T or F"},
        {Block("FullyConnected", "[WeightList] [From=0 To=0 UnTrainable] [~WeightList]"),
         "Weight cannot be frozen in a fully connected block"},
        {Block("Pruneable", "[WeightList] [From=0 To=0 Bias=1] [~WeightList]"),
         "Unknown keyword in weights list"},
        {Block("Pruneable", "[WeightList] [From=0 Weight=1] [~WeightList]"),
         "Insufficient information in weights list"},
        {Block("Pruneable", "[WeightList] [From=2 To=0] [~WeightList]"),
         "Neuron index out of range"},
        {Block("Pruneable", "[WeightList] [From=1 To=3] [~WeightList]"),
         "Neuron index out of range"},
        {Block("Pruneable", "[WeightList] [From=0 To=0 Weight=heavy] [~WeightList]"),
         "number-expected"},
        {Block("Pruneable", "[WeightList] [From=0 To=0] 5 [~WeightList]"), "End Tag expected"},
        // A block too large for the int that counts weights (50000 x 50000)
        // is refused before it is allocated.
        {Net("[NumberOfLayers = 3]",
             L0 + "[Layer = 1] [LayerType = Input] [NumberOfNeurons = 50000] [~Layer]\n" +
                 "[Layer = 2] [LayerType = Simple] [NumberOfNeurons = 50000] [All"
                 " ActivationFunction = linear] [~Layer]\n" +
                 "[ConnectionLayer] [LayerFrom = 1] [LayerTo = 2] [ConnectionType = Pruneable]"
                 " [~ConnectionLayer]\n"),
         "Connection block too large"},
        // 20000 x 20000 fits the int but would commit 3.6 GB for nothing.
        {Net("[NumberOfLayers = 3]",
             L0 + "[Layer = 1] [LayerType = Input] [NumberOfNeurons = 20000] [~Layer]\n" +
                 "[Layer = 2] [LayerType = Simple] [NumberOfNeurons = 20000] [All"
                 " ActivationFunction = linear] [~Layer]\n" +
                 "[ConnectionLayer] [LayerFrom = 1] [LayerTo = 2] [ConnectionType = Pruneable]"
                 " [~ConnectionLayer]\n"),
         "Connection block too large"},
        // End of input.
        {Layers(L2) + "[Layer = 1]", "End Tag expected"},
        {Cut(Layers(L2), "[NumberOfNeurons = 3]"), "Unexpected end of file"},
        {Cut(Layer2(gainLayer + sigmoid + " [Neurons] [Neuron = 0 Gain=1] [~Neurons]"), "Gain=1"),
         "Unexpected end of file"},
        {Cut(Block("Pruneable", "[Matrix Weights TrainableInfo]"), "TrainableInfo"),
         "Unexpected end of file"},
        {Cut(Block("Pruneable", "[Matrix Weights] 1 2 3 4 5 6 [~Matrix]"), "4 5"),
         "Unexpected end of file"},
        {Cut(Block("Pruneable", "[WeightList] [From=0 To=0] [~WeightList]"), "To=0"),
         "Unexpected end of file"},
        {Cut(Block("Pruneable", "[Attributes Pruneable Freezable]"), "Freezable"),
         "Unexpected end of file"},
        {Layers(L2) + "[~Layer]", "Unexpected End Tag"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FailureOf(c.text).message, c.message) << c.text;
    }
}
