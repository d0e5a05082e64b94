#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "KQmessage/TException.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/ErrorsAndDeltasWalk.h"
#include "NeuralNets/TConnectedConnections.h"
#include "NeuralNets/TRandom.h"
#include "NeuralNets/TTrainModule.h"
#include "NetTestTools.h"
#include "TrainTestTools.h"

namespace {

// ---- Deltas ---------------------------------------------------------------

// Layer 2 holds one neuron with the function under test; the bias neuron of
// layer 0 (output 1) feeds it through one weight of 0.5 when connected.
struct DeltaCase {
    const char* name;
    ActFunction fn;
    double gain;
    int crossEntropy;
    double y;         // the neuron's output
    double e;         // the error gathered so far
    double exact;     // the delta with the derivative factor formed first
    double byHand;    // the same, written out
    bool connected;   // whether the bias feeds the neuron
};

TEST(TrainModule, DeltaOfEachActivationFunction) {
    const DeltaCase cases[] = {
        // (0.8 - 1) * 0.8 * 0.2 = -0.032
        {"sigmoid", ActSigmoid, 1.0, 0, 0.8, -0.2, -0.2 * (0.8 * (1.0 - 0.8)), -0.032, true},
        // cross-entropy output: output - target unchanged
        {"sigmoid, cross-entropy", ActSigmoid, 1.0, 1, 0.8, -0.2, -0.2, -0.2, true},
        {"linear", ActLinear, 1.0, 0, 3.0, 2.0, 2.0, 2.0, true},
        // 0.2 * (1 - 0.25) = 0.15
        {"tanh", ActTanh, 1.0, 0, 0.5, 0.2, 0.2 * (1.0 - 0.5 * 0.5), 0.15, true},
        // 1 * ((2 * 0.5) * (1 - 0.5)) = 0.5
        {"sigmoid-gain", ActSigmoidGain, 2.0, 0, 0.5, 1.0, 0.5, 0.5, true},
        // 1 * (2 * (1 - 0.25)) = 1.5
        {"tanh-gain", ActTanhGain, 2.0, 0, 0.5, 1.0, 1.5, 1.5, true},
        // 2 * 3 = 6
        {"linear-gain", ActLinearGain, 3.0, 0, 7.0, 2.0, 6.0, 6.0, true},
        // no derivative rule and nothing feeding the layer: e stays
        {"saturated-linear", ActSaturatedLinear, 1.0, 0, 0.5, 0.3, 0.3, 0.3, false},
        {"bias", ActBias, 1.0, 0, 1.0, 0.3, 0.3, 0.3, false},
    };
    for (const DeltaCase& c : cases) {
        SCOPED_TRACE(c.name);
        TBasicNetwork net(3);
        BuildNetwork(net, {{"Simple", 1, ActBias}, {"Input", 1, ActLinear}, {"Gain", 1, c.fn, c.gain}},
                     {});
        if (c.connected) {
            net.Connect(0, 2);
            SetWeightVector(net, {0.5});
        }
        TTrainModule module(&net);
        net.GetLayer(0)->GetValues()[0] = 1.0;
        net.GetLayer(2)->GetValues()[0] = c.y;
        module.GetGradientNet()->GetLayer(2)->GetValues()[0] = c.e;

        module.BackPropagateLayer(2, c.crossEntropy);

        const double delta = module.GetGradientNet()->GetLayer(2)->GetValues()[0];
        EXPECT_EQ(c.exact, delta);
        EXPECT_NEAR(c.byHand, delta, 1e-15);
        if (c.connected) {
            // The bias weight gains delta * 1; the bias neuron's error 0.5 * delta.
            EXPECT_EQ((std::vector<double>{delta}), WeightVector(*module.GetGradientNet(), 0));
            EXPECT_EQ(0.5 * delta, module.GetGradientNet()->GetLayer(0)->GetValues()[0]);
        }
    }
}

// ---- Output errors and a whole pattern ------------------------------------

// Bias (layer 0), two inputs (layer 1), one linear output (layer 2) fed by
// both; weight vector [w(bias), w(x0), w(x1)].
class LinearNetTest : public ::testing::Test {
protected:
    LinearNetTest() : net(3) {
        BuildNetwork(net, {{"Simple", 1, ActBias}, {"Input", 2, ActLinear}, {"Simple", 1, ActLinear}},
                     {{0, 2}, {1, 2}});
        SetWeightVector(net, {0.5, 2.0, -1.0});
    }

    TBasicNetwork net;
};

// Output 0.5 + 2*3 - 1*4 = 2.5 against target 1: error 1.5; the RMS measure
// sees (1 - 2.5)^2 = 2.25.
TEST_F(LinearNetTest, OutputErrorIsOutputMinusTarget) {
    TTrainModule module(&net);
    const double input[] = {3.0, 4.0};
    const double target[] = {1.0};
    TErrorRMSObj err(1);
    module.CalcOutputErrors(input, target, &err);
    EXPECT_EQ(1.5, module.GetGradientNet()->GetLayer(2)->GetValues()[0]);
    EXPECT_EQ(1.5, err.GetError());  // sqrt(2.25 / 1 / 1)
}

// Two patterns add up: deltas 1.5 (input (3, 4)) and -1 (input (1, 1):
// 0.5 + 2 - 1 = 1.5 against 2.5). Gradient of w(bias) 1.5 - 1 = 0.5, of
// w(x0) 1.5*3 - 1*1 = 3.5, of w(x1) 1.5*4 - 1*1 = 5.
TEST_F(LinearNetTest, TrainPatternAddsToTheGradient) {
    TTrainModule module(&net);
    const double in1[] = {3.0, 4.0}, t1[] = {1.0};
    const double in2[] = {1.0, 1.0}, t2[] = {2.5};
    module.TrainPattern(in1, t1, kMeanSquaredError, nullptr);
    module.TrainPattern(in2, t2, kMeanSquaredError, nullptr);
    EXPECT_EQ((std::vector<double>{0.5, 3.5, 5.0}), WeightVector(*module.GetGradientNet(), 0));
    // The input errors of the last pattern: w * delta = 2 * -1 and -1 * -1.
    const double* errors = module.GetGradientNet()->GetLayer(1)->GetValues();
    EXPECT_EQ(-2.0, errors[0]);
    EXPECT_EQ(1.0, errors[1]);
}

// A frozen weight receives no gradient (its cell in the copy keeps the
// copied weight) and its from-neuron receives no error through it.
TEST_F(LinearNetTest, FrozenWeightGetsNoGradientAndPassesNoError) {
    net.GetConnections(1, 2)->SetUntrainable(0, 0);  // w(x0) = 2.0
    TTrainModule module(&net);
    const double input[] = {3.0, 4.0}, target[] = {1.0};
    module.TrainPattern(input, target, kMeanSquaredError, nullptr);
    // delta 1.5: w(bias) gains 1.5, w(x1) gains 1.5 * 4 = 6.
    EXPECT_EQ((std::vector<double>{1.5, 6.0}), WeightVector(*module.GetGradientNet(), 0));
    EXPECT_EQ(2.0, *module.GetGradientNet()->GetConnections(1, 2)->GetWeight(0, 0));
    const double* errors = module.GetGradientNet()->GetLayer(1)->GetValues();
    EXPECT_EQ(0.0, errors[0]);   // nothing through the frozen w(x0)
    EXPECT_EQ(-1.5, errors[1]);  // -1 * 1.5
}

// ---- Penalty derivatives --------------------------------------------------

struct PenaltyCase {
    const char* head;
    const char* keyword1;
    const char* value1;
    const char* keyword2;
    const char* value2;
    int numerator;
    int denominator;
    double scale;
    std::vector<double> gradient;  // for the weights (2, -2, 0)
};

TEST(TrainModule, PenaltyGradients) {
    const PenaltyCase cases[] = {
        // weight decay: (0 + 0.01) * 2 * w = 0.04 for w = 2
        {"QUADPENALTY", "EPSILON2", "0.01", nullptr, nullptr, 1, 1, 1.0, {0.04, -0.04, 0.0}},
        // coefDecay = ((0.01 * 2) * 1) / 4 = 0.005: 0.005 * 2 * 2 = 0.02
        {"QUADPENALTY", "EPSILON2", "0.01", nullptr, nullptr, 1, 4, 2.0, {0.02, -0.02, 0.0}},
        // weight elimination, beta 1: 0.5 / (4 + 1)^2 * 2 * 2 = 0.08
        {"QuadPenalty", "EPSILON1", "0.5", "BETA", "1", 1, 1, 1.0, {0.08, -0.08, 0.0}},
        // beta 0.25 (d = 4, den = 2): (0.5 * 0.25) / 4 * 2 * 2 = 0.125
        {"QUADPENALTY", "EPSILON1", "0.5", "BETA", "0.25", 1, 1, 1.0, {0.125, -0.125, 0.0}},
        // LWF: sign(w) * 0.1 * (0.1 / 1)
        {"LWF", "FORGETTINGRATE", "0.1", nullptr, nullptr, 7, 3, 1.0, {0.1 * 0.1, -0.1 * 0.1, 0.0}},
        // LWF ignores LEARNINGRATE; scale 0.5: 0.1 * (0.1 / 0.5) = 0.02
        {"LWF", "FORGETTINGRATE", "0.1", "LEARNINGRATE", "9", 1, 1, 0.5, {0.1 * 0.2, -0.1 * 0.2, 0.0}},
    };
    for (const PenaltyCase& c : cases) {
        SCOPED_TRACE(std::string(c.head) + " " + c.keyword1 + " " + c.value1);
        TBasicNetwork net(3);
        BuildNetwork(net, {{"Simple", 0, nullptr}, {"Input", 3, ActLinear}, {"Simple", 1, ActLinear}},
                     {{1, 2}});
        SetWeightVector(net, {2.0, -2.0, 0.0});
        TTrainModule module(&net);
        TKQstructure penalty(c.head);
        penalty.SetString(c.keyword1, c.value1);
        if (c.keyword2 != nullptr) penalty.SetString(c.keyword2, c.value2);
        module.AddPenaltyGradient(&penalty, c.numerator, c.denominator, c.scale);
        const std::vector<double> gradient = WeightVector(*module.GetGradientNet(), 0);
        ASSERT_EQ(3u, gradient.size());
        for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(c.gradient[i], gradient[i], 1e-16) << i;
    }
}

TEST(TrainModule, PenaltyCoefficientThatIsNoNumberThrows) {
    TBasicNetwork net(3);
    BuildNetwork(net, {{"Simple", 0, nullptr}, {"Input", 1, ActLinear}, {"Simple", 1, ActLinear}},
                 {{1, 2}});
    TTrainModule module(&net);
    TKQstructure penalty("QUADPENALTY");
    penalty.SetString("EPSILON2", "small");
    EXPECT_THROW(module.AddPenaltyGradient(&penalty, 1, 1, 1.0), TKQstructure::Error);
}

// ---- Steps ------------------------------------------------------------------

TEST_F(LinearNetTest, StepWeightsWithAndWithoutMomentum) {
    TTrainModule module(&net);
    SetWeightVector(*module.GetGradientNet(), {1.0, -2.0, 4.0});
    // w -= 0.5 * g: (0.5 - 0.5, 2 + 1, -1 - 2); changeNet untouched.
    module.StepWeights(0.5, 0.0);
    EXPECT_EQ((std::vector<double>{0.0, 3.0, -3.0}), WeightVector(net, 0));
    EXPECT_EQ((std::vector<double>{0.0, 0.0, 0.0}), WeightVector(*module.GetChangeNet(), 0));

    // change = -0.5 * g + 0.5 * 0, then -0.5 * g + 0.5 * change:
    // first (-0.5, 1, -2), then (-0.75, 1.5, -3).
    module.StepWeights(0.5, 0.5);
    EXPECT_EQ((std::vector<double>{-0.5, 1.0, -2.0}), WeightVector(*module.GetChangeNet(), 0));
    module.StepWeights(0.5, 0.5);
    EXPECT_EQ((std::vector<double>{-0.75, 1.5, -3.0}), WeightVector(*module.GetChangeNet(), 0));
    EXPECT_EQ((std::vector<double>{-1.25, 5.5, -8.0}), WeightVector(net, 0));
}

// ---- The epoch loop -----------------------------------------------------------

// Plain gradient descent with learning rate 0.5, counting its updates.
class DescentTrainer : public TTrainModule {
public:
    using TTrainModule::TTrainModule;
    void UpdateWeights(TKQstructure*) override {
        ++updates;
        StepWeights(0.5, 0.0);
    }
    int updates = 0;
};

// One weight w from the bias to a linear output; two rows with targets 1
// and 3.
class EpochTest : public ::testing::Test {
protected:
    EpochTest() : net(3), data(MakeData(1, 1, {{0.0}, {0.0}}, {{1.0}, {3.0}})) {
        BuildNetwork(net, {{"Simple", 1, ActBias}, {"Input", 1, ActLinear}, {"Simple", 1, ActLinear}},
                     {{0, 2}});
    }

    TBasicNetwork net;
    std::unique_ptr<Data> data;
    TKQstructure params{"Params"};
};

// Per pattern from w = 0: row 1 errs by 1, gradient -1, w = 0.5; row 2 errs
// by 2.5, gradient -2.5, w = 1.75. Error sqrt((1 + 6.25) / 1 / 2).
TEST_F(EpochTest, PerPatternUpdatesAfterEveryRow) {
    DescentTrainer trainer(&net);
    EXPECT_EQ(std::sqrt(7.25 / 2.0), trainer.TrainEpoch(data.get(), &params));
    EXPECT_EQ(2, trainer.updates);
    EXPECT_EQ((std::vector<double>{1.75}), WeightVector(net, 0));
    // The missing penalty is stored as "NONE".
    ASSERT_NE(nullptr, params.FindValue("WEIGHTPENALTY"));
    EXPECT_STREQ("NONE", params.FindValue("WEIGHTPENALTY")->GetHead());
}

// Batch from w = 0: gradient -1 - 3 = -4, w = 2. Error sqrt((1 + 9) / 2).
TEST_F(EpochTest, BatchUpdatesOnce) {
    params.SetString("batch", "true");
    DescentTrainer trainer(&net);
    EXPECT_EQ(std::sqrt(5.0), trainer.TrainEpoch(data.get(), &params));
    EXPECT_EQ(1, trainer.updates);
    EXPECT_EQ((std::vector<double>{2.0}), WeightVector(net, 0));
}

// Batch from w = 1 with weight decay 0.25 (LEARNINGRATE 1 as scale): the
// rows give 0 and -2, the penalty (2/2 * 0.25) * 2 * 1 = 0.5, so the
// gradient is -1.5 and w = 1.75. The error adds the penalty of the new
// weight, 0.25 * 1.75^2 = 0.765625: sqrt((0 + 4 + 0.765625) / 2).
TEST_F(EpochTest, BatchWithPenalty) {
    SetWeightVector(net, {1.0});
    params.SetString("BATCH", "TRUE");
    params.SetString("LEARNINGRATE", "1");
    auto* penalty = new TKQstructure("QUADPENALTY");
    penalty->SetString("EPSILON2", "0.25");
    params.AddValue("WEIGHTPENALTY", penalty);
    DescentTrainer trainer(&net);
    EXPECT_EQ(std::sqrt(4.765625 / 2.0), trainer.TrainEpoch(data.get(), &params));
    EXPECT_EQ((std::vector<double>{1.75}), WeightVector(net, 0));
}

// A data set without stored rows fails in the data set; nothing leaks.
TEST_F(EpochTest, EmptyDataSetThrows) {
    Data empty(2, 1, 1, false);
    DescentTrainer trainer(&net);
    EXPECT_THROW(trainer.TrainEpoch(&empty, &params), TException);
    EXPECT_EQ(0, trainer.updates);
}

// Epoch errors scripted per call.
class ScriptedTrainer : public TTrainModule {
public:
    ScriptedTrainer(TBasicNetwork* network, std::vector<double> errors)
        : TTrainModule(network), script(std::move(errors)) {}
    double TrainEpoch(Data*, TKQstructure*) override { return script[calls++]; }
    std::vector<double> script;
    size_t calls = 0;
};

TEST_F(EpochTest, TrainStopsBelowTheThreshold) {
    params.SetString("THRESHOLD", "0.5");
    ScriptedTrainer first(&net, {0.4});
    int epochs = 10;
    EXPECT_EQ(0.4, first.Train(data.get(), &params, &epochs));
    EXPECT_EQ(0, epochs);  // the zero-based index of the epoch

    ScriptedTrainer third(&net, {0.9, 0.5, 0.3, 0.1});
    epochs = 10;
    EXPECT_EQ(0.3, third.Train(data.get(), &params, &epochs));
    EXPECT_EQ(2, epochs);
    EXPECT_EQ(3u, third.calls);
}

TEST_F(EpochTest, TrainRunsEveryEpochWithoutThreshold) {
    ScriptedTrainer trainer(&net, {0.9, 0.5, 0.3});
    int epochs = 3;
    EXPECT_EQ(0.3, trainer.Train(data.get(), &params, &epochs));
    EXPECT_EQ(3, epochs);
    EXPECT_EQ(3u, trainer.calls);

    epochs = 0;
    EXPECT_EQ(0.0, trainer.Train(data.get(), &params, &epochs));
    EXPECT_EQ(3u, trainer.calls);
}

TEST_F(EpochTest, UpdateWeightsOfTheBaseModuleIsAProgrammingError) {
    TTrainModule module(&net);
    EXPECT_DEATH(module.TrainEpoch(data.get(), &params), "Assertion failed: false");
}

// ---- The direct back-propagation walk ---------------------------------------

// The direct loop and the visitor give the same bits: errors of the
// from-layer and the gradient block, on a prunable block with absent and
// frozen weights and on a fully connected block.
TEST(TrainModule, DirectWalkMatchesTheVisitorBitForBit) {
    for (bool fully : {false, true}) {
        SCOPED_TRACE(fully ? "FullyConnected" : "Pruneable");
        TBasicNetwork net(2);
        BuildNetwork(net, {{"Simple", 11, ActSigmoid}, {"Simple", 4, ActTanh}}, {});
        if (fully) {
            net.ReplaceConnections(0, 1, new TConnectedConnections(&net, 0, 1));
        } else {
            net.Connect(0, 1);
        }
        SetRandomState(7);
        net.Randomize(-2.0, 2.0);
        if (!fully) {
            // Rows 0, 1 and 3 need the selection (within the first eight
            // weights and beyond them); row 2 holds only trainable weights.
            net.GetConnections(0, 1)->Prune(1, 0);
            net.GetConnections(0, 1)->SetUntrainable(9, 3);
            net.GetConnections(0, 1)->SetFlags(4, 1, FMaskTrainable);  // trainable, absent
        }
        for (int i = 0; i < 11; ++i) net.GetLayer(0)->GetValues()[i] = KRandomDraw(-1.0, 1.0);

        TBasicNetwork direct(net);
        for (int layer = 0; layer < 2; ++layer) {
            double* values = direct.GetLayer(layer)->GetValues();
            for (int i = 0; i < direct.GetLayer(layer)->GetNumNeurons(); ++i) {
                values[i] = KRandomDraw(-3.0, 3.0);
            }
        }
        TBasicNetwork visited(direct);  // the copy leaves the values at 0
        for (int layer = 0; layer < 2; ++layer) {
            const int n = direct.GetLayer(layer)->GetNumNeurons();
            std::memcpy(visited.GetLayer(layer)->GetValues(), direct.GetLayer(layer)->GetValues(),
                        sizeof(double) * static_cast<size_t>(n));
        }

        const double before = direct.GetLayer(0)->GetValues()[0];
        ASSERT_TRUE(WalkErrorsAndDeltas(&net, &direct, 0, 1));
        EXPECT_NE(before, direct.GetLayer(0)->GetValues()[0]);
        TIterateObj2ErrorsAndDeltas visitor;
        net.GetConnections(0, 1)->Iterate2(&visitor, &visited, 0);

        for (int f = 0; f < 11; ++f) {
            EXPECT_EQ(visited.GetLayer(0)->GetValues()[f], direct.GetLayer(0)->GetValues()[f]);
            for (int t = 0; t < 4; ++t) {
                EXPECT_EQ(*visited.GetConnections(0, 1)->GetWeight(f, t),
                          *direct.GetConnections(0, 1)->GetWeight(f, t))
                    << f << " -> " << t;
            }
        }
    }
}

// Empty blocks and blocks of other classes are left to the visitor.
TEST(TrainModule, DirectWalkDeclinesOtherBlocks) {
    TBasicNetwork net(2);
    BuildNetwork(net, {{"Simple", 2, ActLinear}, {"Simple", 2, ActLinear}}, {});
    TBasicNetwork copy(net);
    EXPECT_FALSE(WalkErrorsAndDeltas(&net, &copy, 0, 1));
}

}  // namespace
