#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "RunProgram.h"

namespace {

// A linear 2-1 network without bias whose two weights are frozen:
// output = a * x0 + 0.5 * x1.
std::string LinearNetwork(const char* a) {
    return std::string(
               "[NeuralNetwork] [NetworkType = MLP]\n"
               "[NetworkInformation] [NumberOfLayers = 3] [~NetworkInformation]\n"
               "[Layer = 0] [LayerType = Simple] [NumberOfNeurons = 0] [ActivationFunction = null] "
               "[~Layer]\n"
               "[Layer = 1] [LayerType = Input] [NumberOfNeurons = 2] [ActivationFunction = linear] "
               "[~Layer]\n"
               "[Layer = 2] [LayerType = Simple] [NumberOfNeurons = 1] [ActivationFunction = linear] "
               "[~Layer]\n"
               "[ConnectionLayer] [LayerFrom = 1] [LayerTo = 2] [ConnectionType = Pruneable]\n"
               "[Matrix Weights TrainableInfo] ") +
           a + " F 0.5 F [~Matrix] [~ConnectionLayer]\n[~NeuralNetwork]\n";
}

const char* kXorRun =
    "Iteration 1:  Error = 0.501046\n"
    "Iteration 2:  Error = 0.49976\n"
    "Iteration 3:  Error = 0.499756\n"
    "3 0.499756\n";

}  // namespace

// Runs in a fresh directory holding the XOR example's network and data.
class DriverRun : public testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempDirectory();
        const std::string examples = std::string(KESTRAN_SOURCE_DIR) + "/examples/";
        WriteTextFile(dir + "/xor.wgt", ReadTextFile(examples + "xor/xor.wgt"));
        WriteTextFile(dir + "/xor.dat", ReadTextFile(examples + "xor/xor.dat"));
        WriteTextFile(dir + "/sine.wgt", ReadTextFile(examples + "regression/sine.wgt"));
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    ProgramRun Run(const std::string& parameters) {
        WriteTextFile(dir + "/run.par", parameters);
        return RunProgram({"run.par"}, dir);
    }
    std::string File(const std::string& name) { return ReadTextFile(dir + "/" + name); }
    bool Exists(const std::string& name) { return FileExists(dir + "/" + name); }
    std::string dir;
};

TEST_F(DriverRun, TrainsPrintsTheResultAndWritesTheDefaultDestination) {
    ProgramRun run = Run("WeightFile : xor.wgt TrainingFile : xor.dat Epochs : 3 "
                         "ErrorFunction : MeanSquaredError");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kXorRun);
    EXPECT_EQ(run.err, "");
    ASSERT_TRUE(Exists("trained.wgt"));
    EXPECT_NE(File("trained.wgt"), File("xor.wgt"));

    // Training goes on from the written network.
    run = Run("WeightFile : trained.wgt TrainingFile : xor.dat Epochs : 1 "
              "ErrorFunction : meansquarederror DestinationFile : again.wgt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.substr(0, 22), "Iteration 1:  Error = ");
    EXPECT_TRUE(Exists("again.wgt"));
}

TEST_F(DriverRun, FeatureSelectionPicksTheNamedInputColumns) {
    // Column 1 is noise; columns 2 and 0 (in that order) are the XOR inputs
    // swapped, which XOR does not notice.
    WriteTextFile(dir + "/wide.dat",
                  "[DataSet] [Rows = 4] [Inputs = 3] [ExpectedOutputs = 1] [Data]\n"
                  "0 9 0  0\n1 8 0  1\n0 7 1  1\n1 6 1  0\n[~Data] [~DataSet]\n");
    ProgramRun run = Run("WeightFile : xor.wgt TrainingFile : wide.dat Epochs : 3 "
                         "ErrorFunction : MeanSquaredError #Features : 2 Features : 2 0");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kXorRun);
    EXPECT_EQ(run.err, "");
}

TEST_F(DriverRun, IterationLimitBelowOneKeepsTheWeights) {
    ProgramRun run = Run("WeightFile : xor.wgt TrainingFile : xor.dat Epochs : -1 "
                         "ErrorFunction : CrossEntropy DestinationFile : same.wgt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "-1 9\n");  // no iteration; the result is the number of weights
    EXPECT_EQ(File("same.wgt"), File("xor.wgt"));
}

TEST_F(DriverRun, NetworkWithoutTrainableWeightsEndsAfterOneIteration) {
    WriteTextFile(dir + "/frozen.wgt", LinearNetwork("0.25"));
    ProgramRun run = Run("WeightFile : frozen.wgt TrainingFile : xor.dat Epochs : 5 "
                         "ErrorFunction : MeanSquaredError");
    // Outputs 0, 0.5, 0.25, 0.75 against 0, 1, 1, 0: sqrt(1.375 / 4) = 0.586302.
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Iteration 1:  Error = 0.586302\n1 0.586302\n");
    EXPECT_TRUE(Exists("trained.wgt"));
}

TEST_F(DriverRun, FailuresAreReportedBeforeAnythingIsWritten) {
    WriteTextFile(dir + "/huge.wgt", LinearNetwork("1e308"));
    WriteTextFile(dir + "/empty.dat",
                  "[DataSet] [Rows = 0] [Inputs = 2] [ExpectedOutputs = 1] [Data] [~Data] "
                  "[~DataSet]");
    WriteTextFile(dir + "/nan.dat", "[DataSet] [Rows = 2] [Inputs = 2] [ExpectedOutputs = 1]\n"
                                    "[Data]\n0 0  0\n1 nan  1\n[~Data] [~DataSet]\n");
    WriteTextFile(dir + "/broken.dat", "[DataSet] [Rows = 2] [Inputs = 2] [ExpectedOutputs = 1]\n"
                                       "[Data]\n0 0  0\n1 x  1\n[~Data] [~DataSet]\n");
    WriteTextFile(dir + "/header.dat", "[DataSet] [Rows = 1] [Inputs = 2] [GeneratedOutputs = 1]\n"
                                       "[Data]\n0 0  0\n[~Data] [~DataSet]\n");
    WriteTextFile(dir + "/broken.wgt", "[NeuralNetwork]\n[NetworkType = MLP]\n"
                                       "[NetworkInformation]\n[NumberOfLayers = x]\n");
    const std::string base = "TrainingFile : xor.dat Epochs : 3 ";
    struct Case {
        std::string parameters;
        std::string out;
        std::string err;
    } cases[] = {
        {"WeightFile : missing.wgt " + base + "ErrorFunction : MeanSquaredError",
         "Error on File Open\n", "missing.wgt: Error on File Open\n"},
        {"WeightFile : broken.wgt " + base + "ErrorFunction : MeanSquaredError",
         "integer-expected\n", "broken.wgt:4: integer-expected\n"},
        {"WeightFile : xor.wgt TrainingFile : none.dat Epochs : 3 ErrorFunction : CrossEntropy", "",
         "Unable to open data file none.dat\n"},
        {"WeightFile : xor.wgt TrainingFile : header.dat Epochs : 3 ErrorFunction : CrossEntropy",
         "", "Unable to open data file header.dat\n"},
        {"WeightFile : xor.wgt TrainingFile : broken.dat Epochs : 3 ErrorFunction : CrossEntropy",
         "number-expected\n", "broken.dat:4: number-expected\n"},
        {"WeightFile : xor.wgt " + base, "",
         "Parameter file run.par: No error function given: ErrorFunction must be "
         "MeanSquaredError or CrossEntropy\n"},
        {"WeightFile : xor.wgt " + base + "ErrorFunction : Hinge", "",
         "Parameter file run.par: Unknown error function \"Hinge\": ErrorFunction must be "
         "MeanSquaredError or CrossEntropy\n"},
        {"WeightFile : sine.wgt " + base + "ErrorFunction : CrossEntropy", "",
         "Network file sine.wgt: Cross-entropy needs the activation function \"sigmoid\" in the "
         "output layer, but layer 3 uses \"linear\"\n"},
        {"WeightFile : sine.wgt " + base + "ErrorFunction : MeanSquaredError", "",
         "Network file sine.wgt and data file xor.dat: The network's input layer (layer 1) has 1 "
         "neuron, but a data row delivers 2 inputs\n"},
        {"WeightFile : xor.wgt " + base + "ErrorFunction : MeanSquaredError #Features : 2 "
         "Features : 0 2",
         "", "Feature column 2 is not an input column of data file xor.dat (it has 2 inputs, "
             "numbered from 0)\n"},
        {"WeightFile : xor.wgt TrainingFile : empty.dat Epochs : 3 ErrorFunction : CrossEntropy",
         "", "Data file empty.dat: The data set has no rows\n"},
        {"WeightFile : xor.wgt TrainingFile : nan.dat Epochs : 3 ErrorFunction : CrossEntropy", "",
         "Data file nan.dat: Data row 1, input column 1 (both counted from 0) is not finite: nan\n"},
        {"WeightFile : huge.wgt " + base + "ErrorFunction : MeanSquaredError", "",
         "The error at the start weights of network file huge.wgt is not finite (inf)\n"},
    };
    for (const Case& c : cases) {
        ProgramRun run = Run(c.parameters + " DestinationFile : out.wgt");
        EXPECT_EQ(run.status, 1) << c.parameters;
        EXPECT_EQ(run.out, c.out) << c.parameters;
        EXPECT_EQ(run.err, c.err) << c.parameters;
        EXPECT_FALSE(Exists("out.wgt")) << c.parameters;
    }
}

TEST_F(DriverRun, UnwritableDestinationIsAFailure) {
    ProgramRun run = Run("WeightFile : xor.wgt TrainingFile : xor.dat Epochs : 3 "
                         "ErrorFunction : MeanSquaredError DestinationFile : nowhere/out.wgt");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, std::string(kXorRun) + "Error on File Open\n");
    EXPECT_EQ(run.err, "nowhere/out.wgt: Error on File Open\n");
}
