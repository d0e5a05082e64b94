#include <algorithm>
#include <cmath>

#include "KQmessage/KAssert.h"
#include "NeuralNets/MinimizeBFGS.h"

namespace {

constexpr double kSufficientDecrease = 1e-4;  // share of the linear decrease a step must reach
constexpr double kStepTolerance = 1e-7;       // smallest step, relative to the components of x
constexpr double kCubicCap = 0.5;             // a cubic backtrack at least halves the step
constexpr double kStepFloor = 0.1;            // a backtrack keeps at least a tenth of the step

// The minimum of the quadratic through fOld, the slope and the value f of
// the first trial (step 1). Without curvature (zero denominator, only
// possible on a direction that is not downhill) it gives the floor step.
double QuadraticStep(double f, double fOld, double slope) {
    const double denominator = 2.0 * (f - fOld - slope);
    if (denominator == 0.0) return kStepFloor;
    return -slope / denominator;
}

// The minimum of the cubic through fOld, the slope and the last two trials
// (step lambda with value f, step lambda2 with value f2), capped at half of
// lambda. A cubic without a real minimum keeps the previous step tmp; one
// that cannot be formed (a zero denominator) gives the floor step.
double CubicStep(double lambda, double f, double lambda2, double f2, double fOld, double slope,
                 double tmp) {
    const double lambdaSq = lambda * lambda;
    const double lambda2Sq = lambda2 * lambda2;
    const double span = lambda - lambda2;
    if (span == 0.0 || lambdaSq == 0.0 || lambda2Sq == 0.0) return kStepFloor * lambda;

    const double rhs1 = f - fOld - lambda * slope;
    const double rhs2 = f2 - fOld - lambda2 * slope;
    const double a = (rhs1 / lambdaSq - rhs2 / lambda2Sq) / span;
    const double b = (-lambda2 * rhs1 / lambdaSq + lambda * rhs2 / lambda2Sq) / span;
    if (a == 0.0) {
        if (b == 0.0) return kStepFloor * lambda;
        tmp = -slope / (2.0 * b);
    } else {
        const double disc = b * b - 3.0 * a * slope;
        if (disc >= 0.0) tmp = (-b + std::sqrt(disc)) / (3.0 * a);
    }
    if (tmp > kCubicCap * lambda) tmp = kCubicCap * lambda;
    return tmp;
}

void CopyPoint(int n, const double* from, double* to) {
    for (int i = 0; i < n; ++i) to[i] = from[i];
}

}  // namespace

void LineSearch(const double* xOld, double fOld, const double* g, double* p, double* x,
                double* f, double maxStep, TFunctObject* function) {
    KASSERT(function != nullptr && f != nullptr);
    const int n = function->GetNumParams();
    KASSERT(n >= 0);

    // Shorten the step when it exceeds maxStep.
    double sumSq = 0.0;
    for (int i = 0; i < n; ++i) sumSq += p[i] * p[i];
    const double length = std::sqrt(sumSq);
    if (length > maxStep) {
        for (int i = 0; i < n; ++i) p[i] = p[i] * maxStep / length;
    }

    double slope = 0.0;
    for (int i = 0; i < n; ++i) slope += g[i] * p[i];

    // The largest component of the step relative to the size of x.
    double test = 0.0;
    for (int i = 0; i < n; ++i) {
        const double temp = std::fabs(p[i]) / std::max(std::fabs(xOld[i]), 1.0);
        if (temp > test) test = temp;
    }
    // Nothing to search along: every component is zero (or n = 0), or one is
    // infinite. Stay at the old point.
    if (test == 0.0 || std::isinf(test)) {
        CopyPoint(n, xOld, x);
        *f = fOld;
        return;
    }

    const double lambdaMin = kStepTolerance / test;
    double lambda = 1.0;
    double lambda2 = 0.0;
    double f2 = 0.0;
    double tmp = 0.0;
    for (bool firstTrial = true;; firstTrial = false) {
        for (int i = 0; i < n; ++i) x[i] = xOld[i] + lambda * p[i];
        *f = function->Evaluate(x, nullptr);

        // The step became too small to change x: no decrease along p.
        if (lambda < lambdaMin) {
            CopyPoint(n, xOld, x);
            return;
        }
        // Sufficient decrease (a NaN value never satisfies it).
        if (*f <= fOld + kSufficientDecrease * lambda * slope) return;

        if (firstTrial) {
            tmp = QuadraticStep(*f, fOld, slope);
        } else {
            tmp = CubicStep(lambda, *f, lambda2, f2, fOld, slope, tmp);
        }
        lambda2 = lambda;
        f2 = *f;
        // Keep at least the floor step (a NaN model step, from NaN values,
        // falls back to it as well).
        lambda = tmp > kStepFloor * lambda ? tmp : kStepFloor * lambda;
    }
}
