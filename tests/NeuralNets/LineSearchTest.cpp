#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "NeuralNets/MinimizeBFGS.h"
#include "NeuralNets/TRecordingFunction.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// One line search; returns the accepted point, leaves its value in f.
std::vector<double> Search(TRecordingFunction& function, const std::vector<double>& xOld,
                           double fOld, const std::vector<double>& g, std::vector<double>& p,
                           double maxStep, double& f) {
    std::vector<double> x(xOld.size(), -99.0);
    LineSearch(xOld.data(), fOld, g.data(), p.data(), x.data(), &f, maxStep, &function);
    return x;
}

// The first component of every trial point.
std::vector<double> Trials(const TRecordingFunction& function) {
    std::vector<double> trials;
    for (const auto& call : function.calls) {
        EXPECT_FALSE(call.withGradient);
        trials.push_back(call.x.empty() ? 0.0 : call.x[0]);
    }
    return trials;
}

}  // namespace

// From xOld = 0 with fOld = 1, g = 1 and p = -2 (slope -2): trial k lies at
// x = -2 * lambda_k and gets the k-th scripted value.
TEST(LineSearch, StepChoice) {
    struct Case {
        const char* name;
        std::vector<double> values;
        std::vector<double> trials;
    };
    const std::vector<Case> cases = {
        {"full step accepted with one evaluation", {0.5}, {-2.0}},
        // 1 + 0.0001 * 1 * -2 is accepted: the test is <=
        {"sufficient decrease exactly", {1.0 + 0.0001 * 1.0 * -2.0}, {-2.0}},
        // tmp = 2 / (2 * (1.5 - 1 + 2)) = 0.4
        {"quadratic step", {1.5, 0.5}, {-2.0, -0.8}},
        // tmp = 2 / (2 * (10 - 1 + 2)) = 0.0909 is below the floor 0.1
        {"floor step", {10.0, 0.5}, {-2.0, -0.2}},
        // rhs1 = 1.2 - 1 + 0.8 = 1, rhs2 = 1.5 - 1 + 2 = 2.5,
        // a = (1/0.16 - 2.5) / (0.4 - 1) = -6.25, b = (-1/0.16 + 0.4*2.5) / -0.6 = 8.75,
        // disc = 8.75^2 - 3 * -6.25 * -2 = 39.0625 = 6.25^2,
        // tmp = (-8.75 + 6.25) / (3 * -6.25) = 2/15, between 0.04 and the cap 0.2
        {"cubic step", {1.5, 1.2, 0.5}, {-2.0, -0.8, -2.0 * (2.0 / 15.0)}},
    };
    for (const Case& c : cases) {
        TRecordingFunction function(1, Scripted(c.values, {}));
        std::vector<double> p = {-2.0};
        double f = 0.0;
        const std::vector<double> x = Search(function, {0.0}, 1.0, {1.0}, p, 100.0, f);
        const std::vector<double> trials = Trials(function);
        ASSERT_EQ(c.trials.size(), trials.size()) << c.name;
        for (std::size_t k = 0; k < trials.size(); ++k) {
            EXPECT_DOUBLE_EQ(c.trials[k], trials[k]) << c.name << ", trial " << k;
        }
        EXPECT_EQ(trials.back(), x[0]) << c.name;
        EXPECT_EQ(c.values[trials.size() - 1], f) << c.name;
    }

    // Just above the sufficient decrease: rejected.
    TRecordingFunction function(1, Scripted({std::nextafter(1.0 + 0.0001 * 1.0 * -2.0, 1.0), 0.5}, {}));
    std::vector<double> p = {-2.0};
    double f = 0.0;
    Search(function, {0.0}, 1.0, {1.0}, p, 100.0, f);
    EXPECT_EQ(2u, function.calls.size());
}

TEST(LineSearch, ShortensALongStepToMaxStep) {
    // |(300, 400)| = 500 > 100: p = (300*100/500, 400*100/500) = (60, 80).
    TRecordingFunction function(2, Scripted({-1000.0}, {}));
    std::vector<double> p = {300.0, 400.0};
    double f = 0.0;
    const std::vector<double> x = Search(function, {1.0, 2.0}, 0.0, {-1.0, -1.0}, p, 100.0, f);
    EXPECT_EQ((std::vector<double>{60.0, 80.0}), p);
    EXPECT_EQ((std::vector<double>{61.0, 82.0}), x);

    // Multiply, then divide: 7 * 1 / sqrt(50) = 0.9899494936611665, where
    // 7 * (1 / sqrt(50)) would round to 0.9899494936611666.
    std::vector<double> r = {1.0, 7.0};
    TRecordingFunction rounding(2, Scripted({-1000.0}, {}));
    Search(rounding, {0.0, 0.0}, 0.0, {-1.0, -1.0}, r, 1.0, f);
    EXPECT_EQ(0.9899494936611665, r[1]);

    // A step exactly maxStep long is left as it is.
    std::vector<double> q = {300.0, 400.0};
    TRecordingFunction same(2, Scripted({-1000.0}, {}));
    Search(same, {0.0, 0.0}, 0.0, {-1.0, -1.0}, q, 500.0, f);
    EXPECT_EQ((std::vector<double>{300.0, 400.0}), q);
}

TEST(LineSearch, WithoutDecreaseReturnsTheOldPointAndTheLastTrialValue) {
    // A NaN value never passes the test; the steps fall in tenths, 1, 0.1, ...,
    // 1e-8, and 1e-8 is the first below lambdaMin = 1e-7 / 2: nine trials.
    TRecordingFunction function(1, Scripted({kNaN}, {}));
    std::vector<double> p = {-2.0};
    double f = 0.0;
    const std::vector<double> x = Search(function, {0.5}, 1.0, {1.0}, p, 100.0, f);
    EXPECT_EQ(9u, function.calls.size());
    EXPECT_EQ(0.5, x[0]);
    EXPECT_TRUE(std::isnan(f));
}

TEST(LineSearch, NoUsableDirectionStaysAtTheOldPointWithoutEvaluating) {
    struct Case {
        const char* name;
        std::vector<double> p;
        double maxStep;
    };
    const std::vector<Case> cases = {
        {"no parameters", {}, 100.0},
        {"zero direction", {0.0, -0.0}, 100.0},
        {"infinite component", {kInf, 1.0}, kInf},
        // shortening turns (inf, 1) into (NaN, 0): no usable component left
        {"infinite component shortened", {kInf, 1.0}, 100.0},
    };
    for (const Case& c : cases) {
        const int n = static_cast<int>(c.p.size());
        TRecordingFunction function(n, Scripted({-5.0}, {}));
        const std::vector<double> xOld(c.p.size(), 3.0);
        std::vector<double> p = c.p;
        double f = 0.0;
        const std::vector<double> x =
            Search(function, xOld, 7.0, std::vector<double>(c.p.size(), 1.0), p, c.maxStep, f);
        EXPECT_TRUE(function.calls.empty()) << c.name;
        EXPECT_EQ(xOld, x) << c.name;
        EXPECT_EQ(7.0, f) << c.name;
    }
}

// Directions that go uphill (as an indefinite H can give) find no decrease;
// the search must still end, at the old point, with finite steps throughout.
TEST(LineSearch, UphillDirectionsEnd) {
    struct Case {
        const char* name;
        std::function<double(double)> f;
        double slope;
        std::vector<double> firstTrials;
    };
    const std::vector<Case> cases = {
        // f(1) = 0.5: tmp = -1 / (2 * (0.5 - 0 - 1)) = 1, the same step again;
        // the two trials at 1 give no cubic (zero denominator): floor 0.1.
        {"concave", [](double x) { return x - x * x / 2.0; }, 1.0, {1.0, 1.0, 0.1}},
        // f(1) = 2.5: tmp = -2 / (2 * (2.5 - 1 - 2)) = 2. At 2, f = 4: a = 0.25,
        // b = -0.75, disc = 0.5625 - 1.5 < 0: tmp keeps 2, capped at 1. At 1
        // again disc < 0: tmp keeps 1, capped at 0.5.
        {"cubic without minimum",
         [](double x) { return 1.0 + 2.0 * x - 0.75 * x * x + 0.25 * x * x * x; }, 2.0,
         {1.0, 2.0, 1.0, 0.5}},
        // f - fOld - slope = 0 and then a = b = 0: floor steps.
        {"linear", [](double x) { return x; }, 1.0, {1.0, 0.1, 0.01}},
    };
    for (const Case& c : cases) {
        TRecordingFunction function(1, [&c](const double* x, double*) { return c.f(x[0]); });
        std::vector<double> p = {1.0};
        double f = 0.0;
        const std::vector<double> x = Search(function, {0.0}, c.f(0.0), {c.slope}, p, 100.0, f);
        const std::vector<double> trials = Trials(function);
        ASSERT_GE(trials.size(), c.firstTrials.size()) << c.name;
        for (std::size_t k = 0; k < c.firstTrials.size(); ++k) {
            EXPECT_DOUBLE_EQ(c.firstTrials[k], trials[k]) << c.name << ", trial " << k;
        }
        for (double t : trials) EXPECT_TRUE(std::isfinite(t)) << c.name;
        EXPECT_LT(trials.size(), 40u) << c.name;
        EXPECT_EQ(0.0, x[0]) << c.name;
    }
}
