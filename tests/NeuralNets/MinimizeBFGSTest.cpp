#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "NeuralNets/MinimizeBFGS.h"
#include "NeuralNets/TRecordingFunction.h"

namespace {

// f(x) = x^2, gradient 2x.
double Square(const double* x, double* gradient) {
    if (gradient != nullptr) gradient[0] = 2.0 * x[0];
    return x[0] * x[0];
}

struct RunResult {
    std::string output;
    int iterations;
    double value;
};

RunResult Minimize(TRecordingFunction& function, std::vector<double> x, int maxIter,
             double tolerance = 6e-14) {
    std::ostringstream out;
    RunResult run{"", maxIter, 42.0};
    MinimizeBFGS(x.data(), tolerance, &run.iterations, &run.value, &function, &out);
    run.output = out.str();
    return run;
}

}  // namespace

// f = x^2 from x = 1 (f 1, g 2): H = 1, direction -2, maxStep = 100 * 1.
// Iteration 1: the trial at -1 has f = 1 > 1 - 0.0004; tmp = 4 / (2 * 4) = 0.5,
// the trial at 0 gives 0 and is accepted. Then g = 0, dg = -2, step -1:
// fac = 2, fae = 4, u = -0.5 + 0.5 = 0, H = 1 + 0.5 - 1 = 0.5, direction -0.
// Iteration 2: a zero direction, the line search stays at 0 with value 0 and
// the values agree: converged.
TEST(MinimizeBFGS, SquareConvergesInTheSecondIteration) {
    TRecordingFunction function(1, Square);
    const RunResult run = Minimize(function, {1.0}, 100);
    EXPECT_EQ("Iteration 1:  Error = 0\nIteration 2:  Error = 0\n", run.output);
    EXPECT_EQ(2, run.iterations);
    EXPECT_EQ(0.0, run.value);
    // start (gradient), trials -1 and 0, gradient at 0; none at the end.
    ASSERT_EQ(4u, function.calls.size());
    const double xs[] = {1.0, -1.0, 0.0, 0.0};
    const bool withGradient[] = {true, false, false, true};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(xs[k], function.calls[k].x[0]) << k;
        EXPECT_EQ(withGradient[k], function.calls[k].withGradient) << k;
    }
}

TEST(MinimizeBFGS, OneIterationPrintsOneLine) {
    TRecordingFunction function(1, Square);
    const RunResult run = Minimize(function, {1.0}, 1);
    EXPECT_EQ("Iteration 1:  Error = 0\n", run.output);
    EXPECT_EQ(1, run.iterations);
    EXPECT_EQ(0.0, run.value);
    // The update still runs after the last line search: two gradients.
    EXPECT_EQ(2, function.Count(true));
    EXPECT_EQ(2, function.Count(false));
}

TEST(MinimizeBFGS, IterationLimitBelowOneRunsNoIteration) {
    for (int limit : {0, -3}) {
        TRecordingFunction function(1, Square);
        const RunResult run = Minimize(function, {1.0}, limit);
        EXPECT_EQ("", run.output);
        EXPECT_EQ(limit, run.iterations);
        EXPECT_EQ(42.0, run.value);
        ASSERT_EQ(1u, function.calls.size());  // the start point, with gradient
        EXPECT_TRUE(function.calls[0].withGradient);
    }
}

TEST(MinimizeBFGS, ProgressGoesToStandardOutputByDefault) {
    TRecordingFunction function(1, Scripted({1234567.0, 0.000123456789}, {-1.0}));
    double x = 0.0;
    int iterations = 1;
    double value = 0.0;
    testing::internal::CaptureStdout();
    MinimizeBFGS(&x, 6e-14, &iterations, &value, &function);
    // six significant digits, general format
    EXPECT_EQ("Iteration 1:  Error = 0.000123457\n", testing::internal::GetCapturedStdout());
}

// maxStep = 100 * max(|x|, n). A linear function with gradient -1e6 in its
// last component asks for a step far longer; the first trial lies exactly
// maxStep away from the start along that component.
TEST(MinimizeBFGS, MaxStepFollowsTheStartPoint) {
    struct Case {
        std::vector<double> start;
        double maxStep;
    };
    std::vector<double> small(10, 0.0), large(10, 0.0);
    small[0] = 2.0;   // |x| = 2 < n = 10: 100 * 10
    large[0] = 30.0;  // |x| = sqrt(900 + 1600) = 50: 100 * 50
    large[1] = 40.0;
    const std::vector<Case> cases = {{small, 1000.0}, {large, 5000.0}};
    for (const Case& c : cases) {
        std::vector<double> gradient(10, 0.0);
        gradient[9] = -1e6;
        TRecordingFunction function(10, [&gradient](const double* x, double* g) {
            double sum = 0.0;
            for (int i = 0; i < 10; ++i) {
                sum += gradient[i] * x[i];
                if (g != nullptr) g[i] = gradient[i];
            }
            return sum;
        });
        Minimize(function, c.start, 1);
        ASSERT_GE(function.calls.size(), 2u);
        std::vector<double> trial = c.start;
        trial[9] = c.maxStep;
        EXPECT_EQ(trial, function.calls[1].x) << c.maxStep;
    }
}

// Relative test with the product of the magnitudes: near 0.1 two values must
// agree within 6e-14 * (0.1 * 0.1) / 2 = 3e-16. (A sum 0.1 + 0.1 would allow
// 6e-15.) The tiny gradient makes the first trial acceptable at once.
TEST(MinimizeBFGS, ConvergenceUsesTheProductOfTheValues) {
    struct Case {
        double delta;
        int iterations;
    };
    for (const Case c : {Case{2e-16, 1}, Case{4e-16, 2}}) {
        const double next = 0.1 - c.delta;
        TRecordingFunction function(1, Scripted({0.1, next}, {-1e-6}));
        const RunResult run = Minimize(function, {0.0}, 10);
        EXPECT_EQ(c.iterations, run.iterations) << c.delta;
        EXPECT_EQ(next, run.value) << c.delta;
    }
}

TEST(MinimizeBFGS, NoParametersEndsInTheFirstIteration) {
    TRecordingFunction function(0, Scripted({3.5}, {}));
    int iterations = 5;
    double value = 0.0;
    std::ostringstream out;
    MinimizeBFGS(nullptr, 6e-14, &iterations, &value, &function, &out);
    EXPECT_EQ("Iteration 1:  Error = 3.5\n", out.str());
    EXPECT_EQ(1, iterations);
    EXPECT_EQ(3.5, value);
    ASSERT_EQ(1u, function.calls.size());
    EXPECT_TRUE(function.calls[0].withGradient);  // still asked for, with no components
}

TEST(MinimizeBFGS, UnrepresentableWorkStorageThrowsBeforeEvaluating) {
    TRecordingFunction function(INT_MAX, Scripted({0.0}, {}));
    double x = 0.0;
    int iterations = 1;
    double value = 0.0;
    std::ostringstream out;
    EXPECT_THROW(MinimizeBFGS(&x, 6e-14, &iterations, &value, &function, &out),
                 std::length_error);
    EXPECT_TRUE(function.calls.empty());
}

// Non-finite values: every trial is NaN. Each line search backtracks to its
// smallest step and returns the old point; the run ends at the limit.
TEST(MinimizeBFGS, NaNValuesEndAtTheIterationLimit) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    TRecordingFunction function(1, Scripted({1.0, nan}, {-1.0}));
    const RunResult run = Minimize(function, {0.0}, 3);
    EXPECT_EQ("Iteration 1:  Error = nan\nIteration 2:  Error = nan\nIteration 3:  Error = nan\n",
              run.output);
    EXPECT_EQ(3, run.iterations);
    // Every gradient is taken at the start point: no step was ever accepted.
    for (const auto& call : function.calls) {
        if (call.withGradient) {
            EXPECT_EQ(0.0, call.x[0]);
        }
    }
    EXPECT_EQ(4, function.Count(true));
}

// An indefinite H can make dg * H * dg exactly 0; the update would divide by
// it. Scripted in two dimensions (start (0,0), value 10, g (-1,0)):
//   iteration 1: step (1,0) to value 5, g (-2,1): dg = (-1,1), fac = -1,
//     fae = 2, u = (-0.5,-0.5), H = [[0,1],[1,1]], direction -H*g = (-1,1);
//   iteration 2: step to (0,1), value 4, g (-1,1): dg = (1,0), H*dg = (0,1),
//     fae = 0 while fac^2 = 1 passes the curvature test: H is kept, and the
//     direction -H*g = (-1,-0) leads to the finite trial (-1,1).
TEST(MinimizeBFGS, ZeroCurvatureOfHKeepsH) {
    const std::vector<std::vector<double>> gradients = {{-1, 0}, {-2, 1}, {-1, 1}, {0, 0}};
    int gradientCall = 0;
    int valueCall = 0;
    const double values[] = {5.0, 4.0, 3.0};
    TRecordingFunction function(2, [&](const double*, double* g) {
        if (g == nullptr) return values[valueCall++];
        g[0] = gradients[gradientCall][0];
        g[1] = gradients[gradientCall][1];
        ++gradientCall;
        return 10.0;
    });
    const RunResult run = Minimize(function, {0.0, 0.0}, 3);
    EXPECT_EQ("Iteration 1:  Error = 5\nIteration 2:  Error = 4\nIteration 3:  Error = 3\n",
              run.output);
    ASSERT_EQ(7u, function.calls.size());
    EXPECT_EQ((std::vector<double>{1.0, 0.0}), function.calls[1].x);
    EXPECT_EQ((std::vector<double>{0.0, 1.0}), function.calls[3].x);
    EXPECT_EQ((std::vector<double>{-1.0, 1.0}), function.calls[5].x);
}
