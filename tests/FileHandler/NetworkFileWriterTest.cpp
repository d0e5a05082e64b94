#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <streambuf>
#include <string>

#include "FileHandler/NetworkFileTestTools.h"
#include "NeuralNets/TConnectedConnections.h"
#include "NeuralNets/TMLPNetwork.h"
#include "NeuralNets/TPrunedConnections.h"

namespace {

std::string Blanks(int n) { return std::string(static_cast<size_t>(n), ' '); }

// The text from the line starting with from up to the end of the first line
// starting with to.
std::string Section(const std::string& text, const std::string& from, const std::string& to) {
    size_t begin = text.find(from);
    size_t end = text.find('\n', text.find(to, begin));
    if (begin == std::string::npos || end == std::string::npos) return "missing: " + text;
    return text.substr(begin, end + 1 - begin);
}

// A basic network with an input layer 0 of nFrom neurons and a linear layer 1
// of nTo neurons, joined by block (a TConnectedConnections or a
// TPrunedConnections built on it).
struct TwoLayers {
    TwoLayers(int nFrom, int nTo, bool masks) : net(2) {
        net.SetInLayer(0);
        net.SetLayer(0, new TSimpleInputLayer(&net, 0, nFrom));
        net.SetLayer(1, new TSimpleLayer(&net, 1, nTo));
        net.GetLayer(1)->SetActFunction(ActLinear);
        if (masks) {
            block = new TPrunedConnections(&net, 0, 1);
        } else {
            block = new TConnectedConnections(&net, 0, 1);
        }
        net.ReplaceConnections(0, 1, block);
    }
    TBasicNetwork net;
    TBasicConnections* block;
};

}  // namespace

TEST(NetworkFileWriter, MatrixOfAFullyConnectedBlock) {
    TwoLayers two(1, 2, false);
    *two.block->GetWeight(0, 0) = 0.5;
    *two.block->GetWeight(0, 1) = -0.25;
    std::string expected = "[Matrix Weights ]\n"
                           "/* To->" + Blanks(12) + "0" + Blanks(20) + "1" + "  From */\n" +
                           Blanks(17) + "0.5" + " " + Blanks(15) + "-0.25" + " " + " /* 0 */\n" +
                           "[~Matrix]\n";
    EXPECT_EQ(Section(WriteText(&two.net), "[Matrix", "[~Matrix]"), expected);
}

TEST(NetworkFileWriter, MatrixWithTrainableColumns) {
    TwoLayers two(1, 2, true);
    *two.block->GetWeight(0, 0) = 0.5;
    two.block->Prune(0, 1);
    // 1 of 2 weights exists: 1 x 20 = 20 is not below 2 x 7 = 14, a matrix.
    std::string expected = "[Matrix Weights TrainableInfo ]\n"
                           "/* To->" + Blanks(14) + "0" + Blanks(22) + "1" + "  From */\n" +
                           Blanks(17) + "0.5" + " " + "T " + Blanks(19) + "-" + " " + "- " +
                           " /* 0 */\n" + "[~Matrix]\n";
    EXPECT_EQ(Section(WriteText(&two.net), "[Matrix", "[~Matrix]"), expected);
}

TEST(NetworkFileWriter, WeightListBelowThirtyFivePercent) {
    // 4 x 5 = 20 possible weights: 6 existing (6 x 20 = 120 < 20 x 7 = 140)
    // make a list, 7 existing (140, not below) a matrix.
    TwoLayers two(4, 5, true);
    for (int from = 0; from < 4; ++from) {
        for (int to = 0; to < 5; ++to) two.block->Prune(from, to);
    }
    for (int k = 0; k < 6; ++k) two.block->Restore(k % 4, k % 5);  // 0-0 1-1 2-2 3-3 0-4 1-0
    *two.block->GetWeight(1, 0) = 0.5;
    two.block->SetUntrainable(2, 2);
    std::string list = WriteText(&two.net);
    // In the block's order: destination outer, source inner.
    EXPECT_EQ(Section(list, "[WeightList]", "[~WeightList]"),
              "[WeightList]\n"
              "[From=0 To=0 Weight=0.000000000000000 Trainable ]\n"
              "[From=1 To=0 Weight=0.500000000000000 Trainable ]\n"
              "[From=1 To=1 Weight=0.000000000000000 Trainable ]\n"
              "[From=2 To=2 Weight=0.000000000000000 UnTrainable ]\n"
              "[From=3 To=3 Weight=0.000000000000000 Trainable ]\n"
              "[From=0 To=4 Weight=0.000000000000000 Trainable ]\n"
              "[~WeightList]\n");
    EXPECT_EQ(list.find("[Matrix"), std::string::npos);

    two.block->Restore(3, 4);
    std::string matrix = WriteText(&two.net);
    EXPECT_NE(matrix.find("[Matrix Weights TrainableInfo ]"), std::string::npos);
    EXPECT_EQ(matrix.find("[WeightList]"), std::string::npos);
}

TEST(NetworkFileWriter, BlocksWithoutNeuronsOnOneSideAreMatrices) {
    TwoLayers noSource(0, 2, true);
    EXPECT_EQ(Section(WriteText(&noSource.net), "[Matrix", "[~Matrix]"),
              "[Matrix Weights TrainableInfo ]\n"
              "/* To->" + Blanks(14) + "0" + Blanks(22) + "1  From */\n"
              "[~Matrix]\n");
    TwoLayers noDestination(2, 0, false);
    EXPECT_EQ(Section(WriteText(&noDestination.net), "[Matrix", "[~Matrix]"),
              "[Matrix Weights ]\n"
              "/* To->  From */\n"
              " /* 0 */\n"
              " /* 1 */\n"
              "[~Matrix]\n");
}

TEST(NetworkFileWriter, WholeFile) {
    // An MLP with a bias layer 0, 2 inputs, a gain layer 2 whose neurons
    // differ in function and share the gain 1.5, and an output gain layer 3
    // with one function and different gains.
    TMLPNetwork net(3, true);
    net.SetLayer(0, new TSimpleLayer(&net, 0, 1));
    net.GetLayer(0)->SetActFunction(ActBias);
    net.SetLayer(1, new TSimpleInputLayer(&net, 1, 2));
    net.SetLayer(2, new TGainLayer(&net, 2, 2, 1.5));
    net.GetLayer(2)->GetNeuron(0)->SetActFunction(ActSigmoidGain);
    net.GetLayer(2)->GetNeuron(1)->SetActFunction(ActTanh);
    net.SetLayer(3, new TGainLayer(&net, 3, 2, 1.0));
    net.GetLayer(3)->SetActFunction(ActLinearGain);
    double gains[] = {0.25, -100.0};
    net.GetLayer(3)->GetNeuron(0)->SetParameters(&gains[0]);
    net.GetLayer(3)->GetNeuron(1)->SetParameters(&gains[1]);

    auto* bias = new TConnectedConnections(&net, 0, 3);
    net.ReplaceConnections(0, 3, bias);
    *bias->GetWeight(0, 0) = 2.0;
    *bias->GetWeight(0, 1) = -1.0;
    net.Connect(1, 2);  // 1 of 4 weights kept: a list
    TBasicConnections* in = net.GetConnections(1, 2);
    in->Prune(0, 0);
    in->Prune(0, 1);
    in->Prune(1, 1);
    *in->GetWeight(1, 0) = 1234.5;  // wider than 20 characters with 15 decimals
    in->SetUntrainable(1, 0);
    net.Connect(2, 3);
    TBasicConnections* out = net.GetConnections(2, 3);
    *out->GetWeight(0, 0) = 0.5;
    *out->GetWeight(0, 1) = -0.25;
    out->SetUntrainable(0, 1);
    *out->GetWeight(1, 0) = 1e-5;
    *out->GetWeight(1, 1) = 3.0;

    EXPECT_EQ(WriteText(&net),
              "[FormatVersion = 1.0]\n"
              "\n"
              "[NeuralNetwork]\n"
              "[NetworkType = MLP]\n"
              "\n"
              "[NetworkInformation]\n"
              "[NumberOfLayers = 4]\n"
              "[InputLayer = 1]\n"
              "[OutputLayer = 3]\n"
              "[NumberOfInputs = 2]\n"
              "[NumberOfOutputs = 2]\n"
              "[BiasLayer = 0]\n"
              "[~NetworkInformation]\n"
              "\n"
              "[Layer = 0]\n"
              "[LayerType = Simple]\n"
              "[NumberOfNeurons = 1]\n"
              "[All ActivationFunction=bias ]\n"
              "[~Layer]\n"
              "\n"
              "[Layer = 1]\n"
              "[LayerType = Input]\n"
              "[NumberOfNeurons = 2]\n"
              "[All ActivationFunction=linear ]\n"
              "[~Layer]\n"
              "\n"
              "[Layer = 2]\n"
              "[LayerType = Gain]\n"
              "[NumberOfNeurons = 2]\n"
              "[All Gain=1.500000000000000 ]\n"
              "[Neurons]\n"
              "[Neuron=0 ActivationFunction=sigmoid-gain ]\n"
              "[Neuron=1 ActivationFunction=tanh ]\n"
              "[~Neurons]\n"
              "[~Layer]\n"
              "\n"
              "[Layer = 3]\n"
              "[LayerType = Gain]\n"
              "[NumberOfNeurons = 2]\n"
              "[All ActivationFunction=linear-gain ]\n"
              "[Neurons]\n"
              "[Neuron=0 Gain=0.250000000000000 ]\n"
              "[Neuron=1 Gain=-100.000000000000000 ]\n"
              "[~Neurons]\n"
              "[~Layer]\n"
              "\n"
              "[ConnectionLayer]\n"
              "[LayerFrom = 0]\n"
              "[LayerTo = 3]\n"
              "[ConnectionType = FullyConnected]\n"
              "[Attributes UnPrunable UnFreezable ]\n"
              "[Matrix Weights ]\n"
              "/* To->            0                    1  From */\n"
              "                   2                   -1  /* 0 */\n"
              "[~Matrix]\n"
              "[~ConnectionLayer]\n"
              "\n"
              "[ConnectionLayer]\n"
              "[LayerFrom = 1]\n"
              "[LayerTo = 2]\n"
              "[ConnectionType = Pruneable]\n"
              "[Attributes Pruneable Freezable ]\n"
              "[WeightList]\n"
              "[From=1 To=0 Weight=1234.500000000000000 UnTrainable ]\n"
              "[~WeightList]\n"
              "[~ConnectionLayer]\n"
              "\n"
              "[ConnectionLayer]\n"
              "[LayerFrom = 2]\n"
              "[LayerTo = 3]\n"
              "[ConnectionType = Pruneable]\n"
              "[Attributes Pruneable Freezable ]\n"
              "[Matrix Weights TrainableInfo ]\n"
              "/* To->              0                      1  From */\n"
              "                 0.5 T                -0.25 F  /* 0 */\n"
              "               1e-05 T                    3 T  /* 1 */\n"
              "[~Matrix]\n"
              "[~ConnectionLayer]\n"
              "\n"
              "[~NeuralNetwork]\n");
}

TEST(NetworkFileWriter, EmptyLayerZeroNamesTheNullFunction) {
    TMLPNetwork net(2, false);
    net.SetLayer(0, new TSimpleLayer(&net, 0, 0));
    net.SetLayer(1, new TSimpleInputLayer(&net, 1, 1));
    net.SetLayer(2, new TGainLayer(&net, 2, 1, 1.0));
    net.GetLayer(2)->SetActFunction(ActSigmoid);
    std::string text = WriteText(&net);
    EXPECT_EQ(Section(text, "[Layer = 0]", "[~Layer]"),
              "[Layer = 0]\n"
              "[LayerType = Simple]\n"
              "[NumberOfNeurons = 0]\n"
              "[All ActivationFunction=null ]\n"
              "[~Layer]\n");
    EXPECT_EQ(text.find("[BiasLayer"), std::string::npos);
    // And it reads back.
    EXPECT_EQ(WriteText(ReadText(text).get()), text);
}

TEST(NetworkFileWriter, TextDoesNotDependOnTheStreamsFormatting) {
    TwoLayers two(1, 2, false);
    *two.block->GetWeight(0, 0) = 0.5;
    std::ostringstream out;
    out << std::fixed << std::left << std::showpos << std::setfill('*') << std::setprecision(3);
    FileTools tools;
    WriteNetwork(tools, out, &two.net, nullptr);
    EXPECT_EQ(out.str(), WriteText(&two.net));
}

namespace {

// A stream buffer that refuses every character.
struct FullBuffer : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
};

// Layer 0 holds the bias function on two neurons.
struct TwoBiasNeurons {
    TwoBiasNeurons() : net(2) {
        net.SetLayer(0, new TSimpleLayer(&net, 0, 2));
        net.GetLayer(0)->SetActFunction(ActBias);
        net.SetLayer(1, new TSimpleInputLayer(&net, 1, 1));
    }
    TBasicNetwork net;
};

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Files in dir whose names start with prefix.
int CountFiles(const std::string& dir, const std::string& prefix) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename().string().rfind(prefix, 0) == 0) ++count;
    }
    return count;
}

}  // namespace

TEST(NetworkFileWriter, StreamFormReportsBiasLayersAndStreamErrors) {
    TwoBiasNeurons bias;
    std::ostringstream out;
    FileTools tools;
    try {
        WriteNetwork(tools, out, &bias.net, nullptr);
        ADD_FAILURE() << "no error";
    } catch (const FileTools::Error& error) {
        EXPECT_STREQ(error.GetMessage(), "Illegal number of bias nodes");
        EXPECT_EQ(error.GetOutputStream(), &out);
        EXPECT_EQ(error.GetInputStream(), nullptr);
    }

    TwoLayers two(1, 1, false);
    FullBuffer full;
    std::ostream broken(&full);
    try {
        WriteNetwork(tools, broken, &two.net, nullptr);
        ADD_FAILURE() << "no error";
    } catch (const FileTools::Error& error) {
        EXPECT_STREQ(error.GetMessage(), "Cannot write network file");
    }
}

TEST(NetworkFileWriter, FileFormReplacesTheDestinationOnlyWhenComplete) {
    std::string dir = testing::TempDir() + "NetworkFileWriter/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::string path = dir + "net.wgt";
    std::ofstream(path) << "old contents";
    FileTools tools;

    TwoBiasNeurons bias;
    try {
        WriteNetwork(tools, path.c_str(), &bias.net, nullptr);
        ADD_FAILURE() << "no error";
    } catch (const FileTools::Error& error) {
        EXPECT_STREQ(error.GetMessage(), "Illegal number of bias nodes");
        EXPECT_EQ(error.GetOutputStream(), nullptr);  // the temporary's stream is gone
    }
    EXPECT_EQ(Contents(path), "old contents");
    EXPECT_EQ(CountFiles(dir, "net.wgt"), 1);  // no temporary left behind

    TwoLayers two(1, 2, false);
    WriteNetwork(tools, path.c_str(), &two.net, nullptr);
    EXPECT_EQ(Contents(path), WriteText(&two.net));
    EXPECT_EQ(CountFiles(dir, "net.wgt"), 1);

    // A directory in the way: the rename fails and nothing is left behind.
    std::filesystem::create_directory(dir + "taken");
    try {
        WriteNetwork(tools, (dir + "taken").c_str(), &two.net, nullptr);
        ADD_FAILURE() << "no error";
    } catch (const FileTools::Error& error) {
        EXPECT_STREQ(error.GetMessage(), "Cannot write network file");
    }
    EXPECT_EQ(CountFiles(dir, "taken"), 1);

    try {
        WriteNetwork(tools, (dir + "missing/net.wgt").c_str(), &two.net, nullptr);
        ADD_FAILURE() << "no error";
    } catch (const FileTools::Error& error) {
        EXPECT_STREQ(error.GetMessage(), "Error on File Open");
    }
    std::filesystem::remove_all(dir);
}
