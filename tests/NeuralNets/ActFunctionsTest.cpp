#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TRandom.h"
#include "NetTestTools.h"

namespace {

// Evaluates fn on the single neuron of a gain layer with the given gain.
double Evaluate(ActFunction fn, double x, double gain = 1.0) {
    LayerHolder layer(new TGainLayer(nullptr, 0, 1, gain));
    fn(layer->GetNeuron(0), x);
    return layer->GetValues()[0];
}

struct FnCase {
    const char* name;
    ActFunction fn;
    double x;
    double gain;
    double expected;
};

const double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(ActFunctions, OutputsForNetInputs) {
    const FnCase cases[] = {
        {"bias ignores its input", ActBias, 12.5, 1.0, 1.0},
        {"linear", ActLinear, -3.25, 1.0, -3.25},
        {"saturated-linear at 1", ActSaturatedLinear, 1.0, 1.0, 1.0},
        {"saturated-linear at 0", ActSaturatedLinear, 0.0, 1.0, 0.0},
        {"saturated-linear at 0.5", ActSaturatedLinear, 0.5, 1.0, 0.5},
        {"saturated-linear at 7", ActSaturatedLinear, 7.0, 1.0, 1.0},
        {"saturated-linear at -3", ActSaturatedLinear, -3.0, 1.0, 0.0},
        {"saturated-linear at NaN", ActSaturatedLinear, NaN, 1.0, 0.0},
        {"sigmoid at 0", ActSigmoid, 0.0, 1.0, 0.5},
        {"sigmoid below -500", ActSigmoid, -500.000001, 1.0, 1e-300},
        {"tanh at 0", ActTanh, 0.0, 1.0, 0.0},
        {"linear-gain 2 * 3", ActLinearGain, 3.0, 2.0, 6.0},
        // e^(-(-1 * 1000)) overflows to infinity: 1 / (1 + inf) = 0.
        {"sigmoid-gain has no threshold", ActSigmoidGain, 1000.0, -1.0, 0.0},
        {"tanh-gain 4 * 0", ActTanhGain, 0.0, 4.0, 0.0},
    };
    for (const FnCase& c : cases) {
        EXPECT_EQ(Evaluate(c.fn, c.x, c.gain), c.expected) << c.name;
    }
}

TEST(ActFunctions, SigmoidAtThresholdUsesTheFormula) {
    // 1 / (1 + e^500) is about 7.1e-218, far above the 1e-300 floor.
    double out = Evaluate(ActSigmoid, -500.0);
    EXPECT_EQ(out, 1.0 / (1.0 + std::exp(500.0)));
    EXPECT_GT(out, 7.0e-218);
    EXPECT_LT(out, 7.2e-218);
}

TEST(ActFunctions, GainFunctionsWithGainOneMatchPlainOnes) {
    for (double x : {-500.0, -2.5, -0.1, 0.0, 0.7, 3.0, 40.0}) {
        EXPECT_EQ(Evaluate(ActLinearGain, x), Evaluate(ActLinear, x)) << x;
        EXPECT_EQ(Evaluate(ActSigmoidGain, x), Evaluate(ActSigmoid, x)) << x;
        EXPECT_EQ(Evaluate(ActTanhGain, x), Evaluate(ActTanh, x)) << x;
    }
    // tanh-gain with gain 2 at 0.5 is tanh(1).
    EXPECT_EQ(Evaluate(ActTanhGain, 0.5, 2.0), std::tanh(1.0));
}

TEST(ActFunctions, OnlyTheThreeGainFunctionsNeedAGain) {
    const ActFunction gainFns[] = {ActLinearGain, ActSigmoidGain, ActTanhGain};
    const ActFunction plainFns[] = {ActError, ActNull,    ActBias, ActLinear,
                                    ActSaturatedLinear,   ActSigmoid, ActTanh};
    for (ActFunction fn : gainFns) EXPECT_TRUE(IsGainFunction(fn));
    for (ActFunction fn : plainFns) EXPECT_FALSE(IsGainFunction(fn));
}

TEST(ActFunctionsDeathTest, ErrorAndNullStopTheProgram) {
    EXPECT_DEATH(Evaluate(ActError, 1.0), "Assertion failed: neuron evaluated before");
    EXPECT_DEATH(Evaluate(ActNull, 1.0), "Assertion failed: ActNull is never evaluated");
}

TEST(FnRegistry, DefaultsInOrderAndLookupIgnoresCase) {
    TFnRegistry registry;
    registry.RegisterDefaults();
    EXPECT_EQ(registry.GetCount(), 10);
    EXPECT_EQ(registry.GetFunction("TANH"), ActTanh);
    EXPECT_EQ(registry.GetFunction("Tanh"), ActTanh);
    EXPECT_EQ(registry.GetFunction("sIgMoId-GAIN"), ActSigmoidGain);
    EXPECT_STREQ(registry.GetName(ActTanh), "tanh");
    EXPECT_STREQ(registry.GetName(ActSaturatedLinear), "saturated-linear");
    EXPECT_STREQ(registry.GetName(ActError), "error");
    // An unknown name is reported to the caller, not guessed.
    EXPECT_EQ(registry.GetFunction("softmax"), nullptr);
    EXPECT_EQ(registry.GetFunction(""), nullptr);
}

void Extra(TBasicNeuron*, double) {}

TEST(FnRegistry, GrowsByDoublingAndKeepsEarlierEntries) {
    TFnRegistry registry;
    registry.RegisterDefaults();
    const char* tanhName = registry.GetName(ActTanh);
    const std::string names[] = {"f11", "f12", "f13", "f14", "f15", "f16"};
    for (const std::string& name : names) registry.Register(Extra, name.c_str());
    EXPECT_EQ(registry.GetCapacity(), 16);
    registry.Register(Extra, "f17");  // the seventeenth entry
    EXPECT_EQ(registry.GetCount(), 17);
    EXPECT_EQ(registry.GetCapacity(), 32);
    EXPECT_EQ(registry.GetFunction("linear"), ActLinear);
    EXPECT_EQ(registry.GetFunction("F17"), Extra);
    EXPECT_EQ(registry.GetName(ActTanh), tanhName);  // names do not move when the array grows
    EXPECT_STREQ(tanhName, "tanh");
}

TEST(FnRegistry, IndexOperatorFindsOrAppendsANullEntry) {
    TFnRegistry registry;
    registry.RegisterDefaults();
    EXPECT_EQ(registry["SIGMOID"], ActSigmoid);
    EXPECT_EQ(registry.GetCount(), 10);
    EXPECT_EQ(registry["custom"], nullptr);
    EXPECT_EQ(registry.GetCount(), 11);
    registry["custom"] = Extra;
    EXPECT_EQ(registry.GetFunction("CUSTOM"), Extra);
}

TEST(FnRegistryDeathTest, DuplicatesAndUnknownFunctionsAreProgrammingErrors) {
    TFnRegistry registry;
    registry.RegisterDefaults();
    EXPECT_DEATH(registry.Register(Extra, "LINEAR"), "Assertion failed: Find\\(name\\) < 0");
    EXPECT_DEATH(registry.GetName(Extra), "Assertion failed: found >= 0");
}

TEST(Random, FifteenBitGeneratorSequence) {
    SetRandomState(1);
    // 1 * 214013 + 2531011 = 2745024; 2745024 >> 16 = 41.
    // 2745024 * 214013 + 2531011 = 3357800067 (mod 2^32); >> 16 = 51235;
    // & 0x7FFF = 18467.
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) EXPECT_EQ(KRandom(), value);
}

TEST(Random, DrawFormula) {
    SetRandomState(1);
    // r = 41: -1 + (41 / 32767) * 2 = -1 + 82 / 32767.
    EXPECT_DOUBLE_EQ(KRandomDraw(-1.0, 1.0), -1.0 + 82.0 / 32767.0);

    // From state 0xF01BF641 the next state is 0x7FFF0000, so r = 32767, which
    // reduces to 0: the draw is exactly lo and never hi.
    SetRandomState(0xF01BF641u);
    EXPECT_EQ(KRandomDraw(2.0, 5.0), 2.0);

    // Equal bounds give lo and leave the sequence untouched.
    SetRandomState(77);
    EXPECT_EQ(KRandomDraw(0.5, 0.5), 0.5);
    EXPECT_EQ(GetRandomState(), 77u);
}

TEST(NeuronFunctionGuards, GainLayersAcceptGainFunctionsEvenWhenEmpty) {
    LayerHolder gain(new TGainLayer(nullptr, 0, 0, 1.0));
    gain->SetActFunction(ActSigmoidGain);
    EXPECT_EQ(gain->GetActFunction(), ActSigmoidGain);
    EXPECT_TRUE(gain->HasGainNeurons());
    LayerHolder simple(new TSimpleLayer(nullptr, 0, 0));
    EXPECT_FALSE(simple->HasGainNeurons());
}

TEST(NeuronFunctionGuardsDeathTest, PlainNeuronsNeverHoldGainOrNullFunctions) {
    LayerHolder simple(new TSimpleLayer(nullptr, 0, 2));
    EXPECT_DEATH(simple->SetActFunction(ActSigmoidGain),
                 "Assertion failed: !IsGainFunction\\(fn\\) \\|\\| gainNeurons");
    EXPECT_DEATH(simple->GetNeuron(1)->SetActFunction(ActTanhGain),
                 "Assertion failed: !IsGainFunction\\(fn\\) \\|\\| GetNumParameters\\(\\) > 0");
    EXPECT_DEATH(simple->SetActFunction(nullptr), "Assertion failed: fn != nullptr");
    EXPECT_DEATH(simple->GetNeuron(0)->SetActFunction(nullptr), "Assertion failed: fn != nullptr");
    // An empty simple layer refuses too: a neuron inserted later would lack a gain.
    LayerHolder empty(new TSimpleLayer(nullptr, 0, 0));
    EXPECT_DEATH(empty->SetActFunction(ActLinearGain), "Assertion failed");
}

}  // namespace
