#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "KQmessage/TException.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TBFGSModule.h"
#include "NeuralNets/TMLPNetwork.h"
#include "NetTestTools.h"
#include "TrainTestTools.h"

namespace {

// ---- The objective --------------------------------------------------------

// A bias neuron (layer 0) feeds one output neuron (layer 2) through one
// weight; the input layer takes the data set's single input and feeds
// nothing. One row with target 1.
class OneWeightTest : public ::testing::Test {
protected:
    void Build(ActFunction outputFn, double weight) {
        BuildNetwork(net, {{"Simple", 1, ActBias}, {"Input", 1, ActLinear}, {"Simple", 1, outputFn}},
                     {{0, 2}});
        SetWeightVector(net, {weight});
        module = std::make_unique<TBFGSModule>(&net);
    }

    double Evaluate(double w, double* gradient) {
        TFunctNetworkObject objective(module.get(), data.get(), &params);
        return objective.Evaluate(&w, gradient);
    }

    TBasicNetwork net{3};
    std::unique_ptr<Data> data = MakeData(1, 1, {{0.25}}, {{1.0}});
    TKQstructure params{"Params"};
    std::unique_ptr<TBFGSModule> module;
};

// Net input 0: output 0.5. Value sqrt(0.5^2 / 1 / 1) = 0.5; gradient
// (0.5 - 1) * 0.5 * 0.5 = -0.125.
TEST_F(OneWeightTest, SigmoidMeanSquaredError) {
    Build(ActSigmoid, 0.0);
    params.SetString("ErrorFunction", "MEANSQUAREDERROR");
    double gradient = 0.0;
    EXPECT_EQ(0.5, Evaluate(0.0, &gradient));
    EXPECT_EQ(-0.125, gradient);
}

// -1 * ln(0.5) = ln 2; the delta is output - target = -0.5.
TEST_F(OneWeightTest, CrossEntropyInLowerCase) {
    Build(ActSigmoid, 0.0);
    params.SetString("ErrorFunction", "crossentropy");
    double gradient = 0.0;
    EXPECT_DOUBLE_EQ(std::log(2.0), Evaluate(0.0, &gradient));
    EXPECT_EQ(-0.5, gradient);
}

// Linear output 2 against 1, weight decay 0.5 on w = 2: value
// sqrt((1 + 0.5 * 4) / 1 / 1) = sqrt(3); gradient (2 - 1) * 1 plus
// (0 + 0.5) * 2 * 2 = 3.
TEST_F(OneWeightTest, PenaltyEntersValueAndGradient) {
    Build(ActLinear, 0.0);
    auto* penalty = new TKQstructure("QUADPENALTY");
    penalty->SetString("EPSILON2", "0.5");
    params.AddValue("WEIGHTPENALTY", penalty);
    double gradient = 0.0;
    EXPECT_EQ(std::sqrt(3.0), Evaluate(2.0, &gradient));
    EXPECT_EQ(3.0, gradient);
}

// The cursor is rewound: equal x, equal values. An evaluation without a
// gradient still zeroes the gradient sum, and loads x into the network.
TEST_F(OneWeightTest, EvaluationsRepeatAndLoadTheWeights) {
    Build(ActSigmoid, 0.0);
    double gradient = 0.0;
    const double first = Evaluate(0.75, &gradient);
    EXPECT_NE(0.0, WeightVector(*module->GetGradientNet(), 0)[0]);
    EXPECT_EQ(first, Evaluate(0.75, nullptr));
    EXPECT_EQ((std::vector<double>{0.0}), WeightVector(*module->GetGradientNet(), 0));
    EXPECT_EQ((std::vector<double>{0.75}), WeightVector(net, 0));
    EXPECT_EQ(first, module->CalcError(data.get(), &params));
}

// ---- Train ------------------------------------------------------------------

struct TrainRun {
    std::string output;
    int iterations;
    double result;
};

TrainRun RunTrain(TBFGSModule& module, Data* data, TKQstructure* params, int limit) {
    TrainRun run{"", limit, 0.0};
    CaptureCout capture;
    run.result = module.Train(data, params, &run.iterations);
    run.output = capture.Text();
    return run;
}

// Linear output, target 1, from w = 0: value |w - 1|, gradient w - 1. The
// first trial w = 1 is accepted with value 0; the step then vanishes and the
// second iteration converges. The network keeps the last evaluated point.
TEST_F(OneWeightTest, ConvergesInTheSecondIteration) {
    Build(ActLinear, 0.0);
    params.SetString("ErrorFunction", "MeanSquaredError");
    const TrainRun run = RunTrain(*module, data.get(), &params, 100);
    EXPECT_EQ("Iteration 1:  Error = 0\nIteration 2:  Error = 0\n", run.output);
    EXPECT_EQ(2, run.iterations);
    EXPECT_EQ(0.0, run.result);
    EXPECT_EQ((std::vector<double>{1.0}), WeightVector(net, 0));
}

TEST_F(OneWeightTest, OneIteration) {
    Build(ActLinear, 0.0);
    const TrainRun run = RunTrain(*module, data.get(), &params, 1);
    EXPECT_EQ("Iteration 1:  Error = 0\n", run.output);
    EXPECT_EQ(1, run.iterations);
    EXPECT_EQ(0.0, run.result);
    EXPECT_EQ((std::vector<double>{1.0}), WeightVector(net, 0));
}

// No iteration: the result is the number of trainable weights, the limit
// and the weights stay, nothing is printed.
TEST(BFGSModule, IterationLimitBelowOneReturnsTheWeightCount) {
    const int sizes[] = {2, 2, 1};
    for (int limit : {0, -4}) {
        TMLPNetwork net(3, sizes, true);
        SetWeightVector(net, {1, 2, 3, 4, 5, 6, 7, 8, 9});
        TBFGSModule module(&net);
        auto data = MakeData(2, 1, {{0.0, 1.0}}, {{1.0}});
        TKQstructure params("Params");
        const TrainRun run = RunTrain(module, data.get(), &params, limit);
        EXPECT_EQ("", run.output);
        EXPECT_EQ(limit, run.iterations);
        EXPECT_EQ(9.0, run.result);
        EXPECT_EQ((std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9}), WeightVector(net, 0));
    }
}

// Without trainable weights the minimiser has nothing to move: one
// iteration whose error is that of the network as it is (|0.5 - 1|).
TEST_F(OneWeightTest, NetworkWithoutTrainableWeightsEndsAfterOneIteration) {
    Build(ActLinear, 0.5);
    net.GetConnections(0, 2)->SetUntrainable(0, 0);
    module = std::make_unique<TBFGSModule>(&net);
    const TrainRun run = RunTrain(*module, data.get(), &params, 50);
    EXPECT_EQ("Iteration 1:  Error = 0.5\n", run.output);
    EXPECT_EQ(1, run.iterations);
    EXPECT_EQ(0.5, run.result);
    EXPECT_EQ(0.5, *net.GetConnections(0, 2)->GetWeight(0, 0));
}

TEST_F(OneWeightTest, DataSetErrorsPassThrough) {
    Build(ActLinear, 0.0);
    Data empty(3, 1, 1, false);
    int iterations = 10;
    CaptureCout capture;
    EXPECT_THROW(module->Train(&empty, &params, &iterations), TException);
    EXPECT_EQ("", capture.Text());
}

TEST_F(OneWeightTest, TrainEpochIsNotAvailable) {
    Build(ActLinear, 0.0);
    EXPECT_DEATH(module->TrainEpoch(data.get(), &params),
                 "Train single epoch for BFGS not implemented");
}

// The inverse Hessian of 4.4 million weights needs 8 * n^2, about 155 TB,
// more than any address space: the minimiser's allocation throws before
// anything is evaluated, and the network is left as it was.
TEST(BFGSModule, InverseHessianTooLargeThrows) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reports huge allocations instead of failing them";
#endif
    const int sizes[] = {2200, 2000};
    TMLPNetwork net(2, sizes, false);
    *net.GetConnections(1, 2)->GetWeight(3, 5) = 0.25;
    TBFGSModule module(&net);
    auto data = MakeData(2200, 2000, {std::vector<double>(2200, 0.0)},
                         {std::vector<double>(2000, 0.0)});
    TKQstructure params("Params");
    int iterations = 5;
    CaptureCout capture;
    EXPECT_THROW(module.Train(data.get(), &params, &iterations), std::bad_alloc);
    EXPECT_EQ("", capture.Text());
    EXPECT_EQ(5, iterations);
    EXPECT_EQ(0.25, *net.GetConnections(1, 2)->GetWeight(3, 5));
}

// ---- A short run, against a plain re-computation ----------------------------

// The objective of a 2-2-1 sigmoid MLP with bias over four rows, written out
// by hand in the order the network computes it: each layer's net input
// starts at 0 and receives the bias block's sum, then the input block's sum
// (each sum from 0 in increasing from-neuron order); back-propagation takes
// the blocks into a layer from the highest from-layer down, to-neuron outer,
// from-neuron inner, and adds each row's gradient in row order.
//
// Weight vector: w(b->h0), w(b->h1), w(b->o), w(x0->h0), w(x1->h0),
// w(x0->h1), w(x1->h1), w(h0->o), w(h1->o).
class PlainObjective : public TFunctObject {
public:
    int GetNumParams() override { return 9; }

    double Evaluate(const double* w, double* g) override {
        last.assign(w, w + 9);
        double grad[9] = {0};
        double sum = 0.0;
        for (int r = 0; r < 4; ++r) {
            const double x0 = kInputs[r][0], x1 = kInputs[r][1], t = kTargets[r];
            const double n0 = (w[4] * x1 + (w[3] * x0 + 0.0)) + ((w[0] * 1.0 + 0.0) + 0.0);
            const double n1 = (w[6] * x1 + (w[5] * x0 + 0.0)) + ((w[1] * 1.0 + 0.0) + 0.0);
            const double h0 = Sigmoid(n0), h1 = Sigmoid(n1);
            const double no = (w[8] * h1 + (w[7] * h0 + 0.0)) + ((w[2] * 1.0 + 0.0) + 0.0);
            const double y = Sigmoid(no);
            const double diff = t - y;
            sum += diff * diff;

            const double d = (y - t) * (y * (1.0 - y));
            const double e0 = 0.0 + w[7] * d;
            grad[7] += d * h0;
            const double e1 = 0.0 + w[8] * d;
            grad[8] += d * h1;
            grad[2] += d * 1.0;
            const double d0 = e0 * (h0 * (1.0 - h0));
            const double d1 = e1 * (h1 * (1.0 - h1));
            grad[3] += d0 * x0;
            grad[4] += d0 * x1;
            grad[5] += d1 * x0;
            grad[6] += d1 * x1;
            grad[0] += d0 * 1.0;
            grad[1] += d1 * 1.0;
        }
        if (g != nullptr) {
            for (int i = 0; i < 9; ++i) g[i] = grad[i];
        }
        return std::sqrt((sum / 1) / 4);
    }

    static double Sigmoid(double x) { return 1.0 / (1.0 + std::exp(-x)); }

    static constexpr double kInputs[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    static constexpr double kTargets[4] = {0.1, 0.9, 0.9, 0.1};
    std::vector<double> last;
};

constexpr double PlainObjective::kInputs[4][2];
constexpr double PlainObjective::kTargets[4];

const std::vector<double> kStart = {0.1, -0.2, 0.3, 0.5, -0.4, 0.6, 0.7, -0.8, 0.9};

TEST(BFGSModule, ShortRunMatchesAPlainComputation) {
    for (int limit : {3, 25}) {
        SCOPED_TRACE(limit);
        const int sizes[] = {2, 2, 1};
        TMLPNetwork net(3, sizes, true);
        SetWeightVector(net, kStart);
        TBFGSModule module(&net);
        auto data = MakeData(2, 1, {{0, 0}, {0, 1}, {1, 0}, {1, 1}}, {{0.1}, {0.9}, {0.9}, {0.1}});
        TKQstructure params("Params");
        params.SetString("ErrorFunction", "MeanSquaredError");
        const TrainRun run = RunTrain(module, data.get(), &params, limit);

        PlainObjective plain;
        std::vector<double> x = kStart;
        int iterations = limit;
        double value = 0.0;
        std::ostringstream out;
        MinimizeBFGS(x.data(), 6e-14, &iterations, &value, &plain, &out);

        EXPECT_EQ(out.str(), run.output);
        EXPECT_EQ(iterations, run.iterations);
        EXPECT_EQ(value, run.result);
        EXPECT_EQ(plain.last, WeightVector(net, 0));
        if (limit == 3) {
            EXPECT_EQ("Iteration 1:  Error = 0.404237\n"
                      "Iteration 2:  Error = 0.399687\n"
                      "Iteration 3:  Error = 0.399607\n",
                      run.output);
        }
    }
}

}  // namespace
