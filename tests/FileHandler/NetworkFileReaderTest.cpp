#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "FileHandler/NetworkFileTestTools.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TMLPNetwork.h"

namespace {

// An MLP with an empty layer 0, two inputs and one sigmoid output neuron.
const char* const SmallMlp =
    "[NeuralNetwork]\n"
    "[NetworkType = MLP]\n"
    "[NetworkInformation] [NumberOfLayers = 3] [~NetworkInformation]\n"
    "[Layer = 0] [LayerType = Simple] [NumberOfNeurons = 0] [ActivationFunction = null] [~Layer]\n"
    "[Layer = 1] [LayerType = Input] [NumberOfNeurons = 2] [ActivationFunction = linear] [~Layer]\n"
    "[Layer = 2] [LayerType = Gain] [NumberOfNeurons = 1] [ActivationFunction = sigmoid-gain]"
    " [ALL Gain = 1.0] [~Layer]\n"
    "[ConnectionLayer] [LayerFrom = 1] [LayerTo = 2] [ConnectionType = FullyConnected]"
    " [Matrix Weights] 0.5 -0.25 [~Matrix] [~ConnectionLayer]\n"
    "[~NeuralNetwork]\n";

// Layers 0 (1 bias neuron), 1 (2 inputs) and 2 (3 sigmoid neurons) of a
// basic network, ready for connection layers.
std::string ThreeLayers(const std::string& connections) {
    return Head("Basic", "[NumberOfLayers = 3]") +
           "[Layer = 0] [LayerType = Simple] [NumberOfNeurons = 1] [ActivationFunction = bias]"
           " [~Layer]\n"
           "[Layer = 1] [LayerType = Input] [NumberOfNeurons = 2] [~Layer]\n"
           "[Layer = 2] [LayerType = Simple] [NumberOfNeurons = 3] [ActivationFunction = sigmoid]"
           " [~Layer]\n" +
           connections + "[~NeuralNetwork]\n";
}

std::string Pruneable12(const std::string& sections) {
    return ThreeLayers(
        "[ConnectionLayer] [LayerFrom = 1] [LayerTo = 2] [ConnectionType = Pruneable]\n" +
        sections + "\n[~ConnectionLayer]\n");
}

double Gain(TBasicNetwork& net, int layer, int neuron) {
    double gain = 0.0;
    net.GetLayer(layer)->GetNeuron(neuron)->GetParameters(&gain);
    return gain;
}

}  // namespace

TEST(NetworkFileReader, ReadsTheSmallMlp) {
    NetworkPtr net = ReadText(SmallMlp);
    EXPECT_STREQ(net->GetNetworkType(), "MLP");
    EXPECT_FALSE(static_cast<TMLPNetwork*>(net.get())->HasBias());
    ASSERT_EQ(net->GetNumLayers(), 3);
    EXPECT_EQ(net->GetInLayer(), 1);  // defaults
    EXPECT_EQ(net->GetOutLayer(), 2);
    EXPECT_STREQ(net->GetLayer(0)->GetLayerType(), "Simple");
    EXPECT_EQ(net->GetLayer(0)->GetNumNeurons(), 0);
    EXPECT_STREQ(net->GetLayer(1)->GetLayerType(), "Input");
    EXPECT_EQ(net->GetLayer(1)->GetActFunction(), &ActLinear);
    EXPECT_STREQ(net->GetLayer(2)->GetLayerType(), "Gain");
    EXPECT_EQ(net->GetLayer(2)->GetActFunction(), &ActSigmoidGain);
    EXPECT_EQ(Gain(*net, 2, 0), 1.0);
    EXPECT_STREQ(net->GetConnections(1, 2)->GetConnectionsNType(), "FullyConnected");
    EXPECT_EQ(Weights(*net, 1), (std::vector<double>{0.5, -0.25}));
    EXPECT_EQ(net->GetNumWeights(0), 2);  // the only block
}

TEST(NetworkFileReader, FormatVersionIsConsumedAndChecked) {
    EXPECT_EQ(ReadText(std::string("[FormatVersion = 1.0]\n") + SmallMlp)->GetNumLayers(), 3);
    // Anywhere a statement is read outside continuation mode.
    std::string inside = SmallMlp;
    inside.insert(inside.find("[Layer = 1]"), "[FormatVersion = 0.5]");
    EXPECT_EQ(ReadText(inside)->GetNumLayers(), 3);
    EXPECT_EQ(FailureOf(std::string("[FormatVersion = 1.1]\n") + SmallMlp).message,
              "Illegal Format Version");
}

TEST(NetworkFileReader, InformationBlockDefaultsAndBiasFlag) {
    struct Case {
        const char* type;
        const char* information;
        int inLayer;
        int outLayer;
        bool bias;
    } cases[] = {
        {"mlp", "[NumberOfLayers = 3]", 1, 2, false},
        {"MLP", "[NumberOfLayers = 3] [BiasLayer = 0]", 1, 2, false},
        {"Mlp", "[NumberOfLayers = 3] [BiasLayer = 1]", 1, 2, true},
        {"MLP", "[NumberOfLayers = 3] [OutputLayer = -4] [InputLayer = 0]", 0, 2, false},
        {"MLP", "[NumberOfLayers = 3] [OutputLayer = 1] [InputLayer = 2]", 2, 1, false},
    };
    for (const Case& c : cases) {
        std::string text = Head(c.type, c.information) +
                           "[Layer = 0] [LayerType = Simple] [NumberOfNeurons = 0] [~Layer]\n"
                           "[Layer = 1] [LayerType = Input] [NumberOfNeurons = 2] [~Layer]\n"
                           "[Layer = 2] [LayerType = Input] [NumberOfNeurons = 2] [~Layer]\n"
                           "[~NeuralNetwork]";
        NetworkPtr net = ReadText(text);
        EXPECT_EQ(net->GetInLayer(), c.inLayer) << c.information;
        EXPECT_EQ(net->GetOutLayer(), c.outLayer) << c.information;
        EXPECT_EQ(static_cast<TMLPNetwork*>(net.get())->HasBias(), c.bias) << c.information;
    }
}

TEST(NetworkFileReader, LayerWideParametersWithAndWithoutAll) {
    // Parameter names match without regard to letter case, with or without ALL.
    for (const char* statement : {"[ALL Gain = 0.5]", "[gain = 0.5]", "[All GAIN=0.5]"}) {
        std::string text = Head("Basic", "[NumberOfLayers = 2] [InputLayer = 0]") +
                           "[Layer = 0] [LayerType = Input] [NumberOfNeurons = 1] [~Layer]\n"
                           "[Layer = 1] [LayerType = Gain] [NumberOfNeurons = 2]" +
                           statement +
                           " [ALL ActivationFunction = tanh-gain] [~Layer]\n[~NeuralNetwork]";
        NetworkPtr net = ReadText(text);
        EXPECT_EQ(Gain(*net, 1, 0), 0.5) << statement;
        EXPECT_EQ(Gain(*net, 1, 1), 0.5) << statement;
        EXPECT_EQ(net->GetLayer(1)->GetActFunction(), &ActTanhGain);
    }
}

TEST(NetworkFileReader, NeuronsBlockCarriesParametersOverInFileOrder) {
    // Neuron 2 comes after neuron 0 in the file and keeps its gain 0.5;
    // neuron 1 gives its own.
    std::string text = Head("Basic", "[NumberOfLayers = 2] [InputLayer = 0]") +
                       "[Layer = 0] [LayerType = Input] [NumberOfNeurons = 1] [~Layer]\n"
                       "[Layer = 1] [LayerType = Gain] [NumberOfNeurons = 3]\n"
                       "[Neurons]\n"
                       "[Neuron = 0 Gain=0.5 ActivationFunction=tanh-gain]\n"
                       "[Neuron = 2 ActivationFunction=SIGMOID]\n"
                       "[Neuron = 1 activationfunction=linear GAIN=2]\n"
                       "[~Neurons] [~Layer]\n[~NeuralNetwork]";
    NetworkPtr net = ReadText(text);
    TBasicLayer* layer = net->GetLayer(1);
    EXPECT_EQ(Gain(*net, 1, 0), 0.5);
    EXPECT_EQ(Gain(*net, 1, 1), 2.0);
    EXPECT_EQ(Gain(*net, 1, 2), 0.5);
    EXPECT_EQ(layer->GetNeuron(0)->GetActFunction(), &ActTanhGain);
    EXPECT_EQ(layer->GetNeuron(1)->GetActFunction(), &ActLinear);
    EXPECT_EQ(layer->GetNeuron(2)->GetActFunction(), &ActSigmoid);
    EXPECT_EQ(layer->GetActFunction(), nullptr);
}

TEST(NetworkFileReader, LayerFunctionWinsOverNeuronFunctions) {
    std::string text = Head("Basic", "[NumberOfLayers = 2] [InputLayer = 0]") +
                       "[Layer = 0] [LayerType = Input] [NumberOfNeurons = 1] [~Layer]\n"
                       "[Layer = 1] [LayerType = Simple] [NumberOfNeurons = 2]"
                       " [ActivationFunction = tanh]\n"
                       "[Neurons] [Neuron = 1 ActivationFunction=sigmoid] [Neuron = 0] [~Neurons]\n"
                       "[~Layer]\n[~NeuralNetwork]";
    NetworkPtr net = ReadText(text);
    EXPECT_EQ(net->GetLayer(1)->GetNeuron(0)->GetActFunction(), &ActTanh);
    EXPECT_EQ(net->GetLayer(1)->GetNeuron(1)->GetActFunction(), &ActTanh);
}

TEST(NetworkFileReader, MatrixTokenCountIsExact) {
    // 2 source x 3 destination neurons x 2 columns = 12 tokens, source outer,
    // destination inner, columns innermost.
    const std::string twelve = "0.5 T -1 F 2 T  - - 4 t 5 f";
    NetworkPtr net =
        ReadText(Pruneable12("[Matrix Weights TrainableInfo] " + twelve + " [~Matrix]"));
    TBasicConnections* block = net->GetConnections(1, 2);
    EXPECT_EQ(*block->GetWeight(0, 0), 0.5);
    EXPECT_EQ(*block->GetWeight(0, 1), -1.0);
    EXPECT_FALSE(block->IsTrainable(0, 1));
    EXPECT_FALSE(block->Exists(1, 0));
    EXPECT_EQ(*block->GetWeight(1, 2), 5.0);
    EXPECT_FALSE(block->IsTrainable(1, 2));
    // Existing weights: 5; trainable among them: 0->0, 0->2, 1->1.
    EXPECT_EQ(net->GetNumWeights(1), 5);
    EXPECT_EQ(net->GetNumWeights(0), 3);

    EXPECT_EQ(FailureOf(Pruneable12("[Matrix Weights TrainableInfo] 0.5 T -1 F 2 T - - 4 t 5"
                                    " [~Matrix]"))
                  .message,
              "Token Expected");
    EXPECT_EQ(
        FailureOf(Pruneable12("[Matrix Weights TrainableInfo] " + twelve + " 7 [~Matrix]")).message,
        "End Tag expected");
    // Without columns the matrix holds no tokens.
    EXPECT_EQ(ReadText(Pruneable12("[Matrix] [~Matrix]"))->GetNumWeights(1), 0);
    EXPECT_EQ(FailureOf(Pruneable12("[Matrix] 1 [~Matrix]")).message, "End Tag expected");
}

TEST(NetworkFileReader, MatrixColumnsActInTheOrderListed) {
    // TrainableInfo before Weights: F first freezes a weight that does not
    // exist yet (no effect), then the weight token restores it trainable.
    // Weights before TrainableInfo: the weight exists when F arrives.
    NetworkPtr before =
        ReadText(Pruneable12("[Matrix TrainableInfo Weights] F 0.5 T 1 T 1 T 1 T 1 T 1 [~Matrix]"));
    EXPECT_TRUE(before->GetConnections(1, 2)->IsTrainable(0, 0));
    NetworkPtr after =
        ReadText(Pruneable12("[Matrix Weights TrainableInfo] 0.5 F 1 T 1 T 1 T 1 T 1 T [~Matrix]"));
    EXPECT_FALSE(after->GetConnections(1, 2)->IsTrainable(0, 0));
    // Any trainable entry is allowed for a weight that does not exist, and a
    // weight column may appear twice (the later token wins: 0->0 comes back
    // as 3, 0->1 is removed again).
    NetworkPtr absent =
        ReadText(Pruneable12("[Matrix Weights TrainableInfo Weights] - x 3  1 T -  - - -"
                             "  - ? -  - - -  - - - [~Matrix]"));
    EXPECT_EQ(*absent->GetConnections(1, 2)->GetWeight(0, 0), 3.0);
    EXPECT_EQ(absent->GetNumWeights(1), 1);
}

TEST(NetworkFileReader, WeightListsInAnyItemOrder) {
    NetworkPtr net =
        ReadText(Pruneable12("[WeightList]\n"
                             "[To=1 From=0]\n"
                             "[UnTrainable Weight=-2.5 To=2 From=1]\n"
                             "[Weight=1e-3 From=1 To=0 Trainable]\n"
                             "[~WeightList]"));
    TBasicConnections* block = net->GetConnections(1, 2);
    EXPECT_TRUE(block->Exists(0, 1));
    EXPECT_EQ(*block->GetWeight(0, 1), 0.0);
    EXPECT_TRUE(block->IsTrainable(0, 1));
    EXPECT_FALSE(block->IsTrainable(1, 2));
    // Mask 1 in the block's order (destination outer): 1->0, 0->1, 1->2.
    EXPECT_EQ(Weights(*net, 1), (std::vector<double>{1e-3, 0.0, -2.5}));
    EXPECT_EQ(Weights(*net, 0), (std::vector<double>{1e-3, 0.0}));
}

TEST(NetworkFileReader, PruneableBlockWithoutSectionsHasNoWeights) {
    NetworkPtr net = ReadText(Pruneable12("[Attributes Pruneable Freezable]"));
    EXPECT_TRUE(net->GetConnections(1, 2)->IsConnected());
    EXPECT_EQ(net->GetNumWeights(1), 0);
}

TEST(NetworkFileReader, LaterSectionsOverwriteEarlierOnes) {
    NetworkPtr net = ReadText(ThreeLayers(
        "[ConnectionLayer] [LayerFrom = 1] [LayerTo = 2] [ConnectionType = fullyconnected]\n"
        "[Matrix Weights] 1 2 3 4 5 6 [~Matrix]\n"
        "[WeightList] [From=1 To=2 Weight=9] [From=0 To=0] [~WeightList]\n"
        "[~ConnectionLayer]\n"));
    // Fully connected: source outer, destination inner.
    EXPECT_EQ(Weights(*net, 0), (std::vector<double>{0, 2, 3, 4, 5, 9}));
}

TEST(NetworkFileReader, EndOfInputRules) {
    EXPECT_EQ(ReadText(std::string(SmallMlp) + " /* trailing comment */ \n")->GetNumLayers(), 3);
    EXPECT_EQ(FailureOf(std::string(SmallMlp) + "[Layer = 1]").message, "End Tag expected");
    EXPECT_EQ(FailureOf(std::string(SmallMlp) + "0").message, "End Tag expected");
    std::string cut = SmallMlp;
    cut.erase(cut.find("[~NeuralNetwork]"));
    EXPECT_EQ(FailureOf(cut).message, "Unexpected end of file");
}

TEST(NetworkFileReader, UnknownWeightListKeywordIsEchoedOnItsOwnLine) {
    testing::internal::CaptureStdout();
    ReadFailure failure = FailureOf(Pruneable12("[WeightList] [From=0 Frozen To=1] [~WeightList]"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Frozen\n");
    EXPECT_EQ(failure.message, "Unknown keyword in weights list");
}

TEST(NetworkFileReader, ErrorsCarryTheLineWhereTheyWereFound) {
    std::string text = SmallMlp;  // eight lines
    text.insert(text.find("[~NeuralNetwork]"),
                "\n[ConnectionLayer] [LayerFrom = 0] [LayerTo = 2]\n"
                "[ConnectionType = FullyConnected]\n"
                "/* 0 outputs */ [~ConnectionLayer]\n"
                "[ConnectionLayer]\n[LayerFrom = 1] [LayerTo = 2]\n"
                "[ConnectionType = Pruneable] [~ConnectionLayer]\n");
    ReadFailure failure = FailureOf(text);
    EXPECT_EQ(failure.message, "Connections already defined");
    EXPECT_EQ(failure.line, 14);
    // A layer function is checked once the layer exists, and the error points
    // at the statement that named it.
    ReadFailure gain = FailureOf(Head("Basic", "[NumberOfLayers = 2]") +
                                 "[Layer = 1]\n[ActivationFunction = tanh-gain]\n"
                                 "[LayerType = Simple]\n[NumberOfNeurons = 2]\n[~Layer]");
    EXPECT_EQ(gain.message, "Activation function needs gain neurons");
    EXPECT_EQ(gain.line, 7);
}

TEST(NetworkFileReader, FileForm) {
    FileTools tools;
    try {
        ReadNetwork(tools, "/nonexistent/net.wgt", nullptr);
        ADD_FAILURE() << "no error";
    } catch (const FileTools::Error& error) {
        EXPECT_STREQ(error.GetMessage(), "Error on File Open");
        EXPECT_EQ(error.GetInputStream(), nullptr);
    }

    std::string path = testing::TempDir() + "NetworkFileReader.wgt";
    std::ofstream(path, std::ios::binary) << SmallMlp;
    NetworkPtr net(ReadNetwork(tools, path.c_str(), nullptr));
    EXPECT_EQ(net->GetNumLayers(), 3);

    // Errors found in the file keep their line but name no stream: the
    // file's stream is gone when they arrive.
    std::ofstream(path, std::ios::binary) << "\n\n[NeuralNetwork] [Layer = 1]";
    try {
        ReadNetwork(tools, path.c_str(), new TKQstructure("reply"));
        ADD_FAILURE() << "no error";
    } catch (const FileTools::Error& error) {
        EXPECT_STREQ(error.GetMessage(), "[NETWORKTYPE = <string>] expectedLayer");
        EXPECT_EQ(error.GetLine(), 3);
        EXPECT_EQ(error.GetInputStream(), nullptr);
    }
    std::remove(path.c_str());
}
