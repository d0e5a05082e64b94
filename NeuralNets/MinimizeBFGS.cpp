#include "NeuralNets/MinimizeBFGS.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "KQmessage/KAssert.h"

namespace {

constexpr double kEps = 3e-14;            // noise floor of the convergence and update tests
constexpr double kMaxStepFactor = 100.0;  // a step may be 100 times the size of x (at least of n)
constexpr std::size_t kNumVectors = 8;    // work vectors of n values besides H

// The work storage of one minimisation, one zero-filled block:
//   H       n*n values, the inverse Hessian approximation stored column by
//           column: element (i, j) lies at H[j*n + i]. Both the products H*v
//           and the update then run along contiguous memory with i as the
//           inner index, so every element is independent in the inner loop
//           (vectorisable) while every sum over j keeps its order.
//   g, dg, hdg, xi, xNew, facXi, fadHdg, faeU   n values each; the last
//           four are the scratch of UpdateInverseHessian once xNew is taken.
// Never empty, so a vector pointer into it is never null (for n = 0 the
// gradient is still asked for).
std::vector<double> AllocateWork(int n) {
    const std::size_t size = static_cast<std::size_t>(n);
    const std::size_t limit = std::vector<double>().max_size();
    if (size != 0 && (size > limit / size || size * size > limit - kNumVectors * size)) {
        throw std::length_error("MinimizeBFGS: no room for the inverse Hessian of " +
                                std::to_string(n) + " parameters");
    }
    return std::vector<double>(std::max<std::size_t>(size * size + kNumVectors * size, 1));
}

// y[i] += column[i] * factor for i = 0 .. n-1.
void AddScaledColumn(std::size_t n, const double* __restrict column, double factor,
                     double* __restrict y) {
    for (std::size_t i = 0; i < n; ++i) y[i] += column[i] * factor;
}

// y := H * v; each y[i] sums H(i, j) * v[j] from 0.0 in increasing j.
void MultiplyH(std::size_t n, const double* H, const double* v, double* y) {
    for (std::size_t i = 0; i < n; ++i) y[i] = 0.0;
    for (std::size_t j = 0; j < n; ++j) AddScaledColumn(n, H + j * n, v[j], y);
}

// The BFGS update of column j of H, and its term of the next product H * g:
//   H(i, j) += ((fac*xi[i]) * xi[j] - (fad*hdg[i]) * hdg[j]) + (fae*u[i]) * u[j]
//   y[i]    += H(i, j) * g[j]
// with facXi[i] = fac*xi[i], fadHdg[i] = fad*hdg[i], faeU[i] = fae*u[i].
void UpdateColumn(std::size_t n, double* __restrict column, const double* __restrict facXi,
                  const double* __restrict fadHdg, const double* __restrict faeU, double xiJ,
                  double hdgJ, double uJ, double gJ, double* __restrict y) {
    for (std::size_t i = 0; i < n; ++i) {
        const double h = column[i] + ((facXi[i] * xiJ - fadHdg[i] * hdgJ) + faeU[i] * uJ);
        column[i] = h;
        y[i] += h * gJ;
    }
}

void PrintProgress(std::ostream& out, int iteration, double value) {
    char line[80];
    std::snprintf(line, sizeof line, "Iteration %d:  Error = %g\n", iteration, value);
    out << line << std::flush;
}

}  // namespace

void UpdateInverseHessian(int n, double* H, const double* g, double* dg, double* hdg, double* xi,
                          double* scratch) {
    KASSERT(n >= 0);
    const std::size_t size = static_cast<std::size_t>(n);
    double* const hg = scratch;  // H * g
    double* const facXi = hg + size;
    double* const fadHdg = facXi + size;
    double* const faeU = fadHdg + size;

    MultiplyH(size, H, dg, hdg);
    double fac = 0.0;
    double fae = 0.0;
    double sumdg = 0.0;
    double sumxi = 0.0;
    for (std::size_t i = 0; i < size; ++i) {
        fac += dg[i] * xi[i];
        fae += dg[i] * hdg[i];
        sumdg += dg[i] * dg[i];
        sumxi += xi[i] * xi[i];
    }

    // Update H only when the step shows enough curvature, and only when
    // dg*H*dg gives a finite reciprocal (a zero would put Inf and NaN
    // into H). Otherwise H stays as it is.
    const bool curvature = fac * fac > kEps * sumdg * sumxi;
    if (curvature && fae != 0.0 && std::isfinite(1.0 / fae)) {
        fac = 1.0 / fac;
        const double fad = 1.0 / fae;
        for (std::size_t i = 0; i < size; ++i) {
            dg[i] = fac * xi[i] - fad * hdg[i];  // u
            facXi[i] = fac * xi[i];
            fadHdg[i] = fad * hdg[i];
            faeU[i] = fae * dg[i];
            hg[i] = 0.0;
        }
        for (std::size_t j = 0; j < size; ++j) {
            UpdateColumn(size, H + j * size, facXi, fadHdg, faeU, xi[j], hdg[j], dg[j], g[j], hg);
        }
    } else {
        MultiplyH(size, H, g, hg);
    }
    // The new direction -H * g.
    for (std::size_t i = 0; i < size; ++i) xi[i] = -hg[i];
}

void MinimizeBFGS(double* x, double tolerance, int* iterations, double* value,
                  TFunctObject* function, std::ostream* progress) {
    KASSERT(iterations != nullptr && value != nullptr);
    KASSERT(function != nullptr && progress != nullptr);
    const int n = function->GetNumParams();
    KASSERT(n >= 0);
    const std::size_t size = static_cast<std::size_t>(n);

    std::vector<double> work = AllocateWork(n);
    double* const H = work.data();
    double* const g = H + size * size;  // gradient at the current point
    double* const dg = g + size;        // previous gradient, its change, then u
    double* const hdg = dg + size;      // H * dg
    double* const xi = hdg + size;      // search direction, then the step taken
    double* const xNew = xi + size;     // accepted point; then scratch of the update
    double* const scratch = xNew;       // 4 * n values: xNew and the three after it

    double fp = function->Evaluate(x, g);
    for (std::size_t i = 0; i < size; ++i) H[i * size + i] = 1.0;
    for (std::size_t i = 0; i < size; ++i) xi[i] = -g[i];
    double sumSq = 0.0;
    for (std::size_t i = 0; i < size; ++i) sumSq += x[i] * x[i];
    const double root = std::sqrt(sumSq);
    const double maxStep = root > n ? kMaxStepFactor * root : kMaxStepFactor * n;

    const int maxIter = *iterations;
    for (long long k = 1; k <= maxIter; ++k) {
        const int its = static_cast<int>(k);
        *iterations = its;
        LineSearch(x, fp, g, xi, xNew, value, maxStep, function);
        PrintProgress(*progress, its, *value);

        // Converged: two successive values agree to the relative tolerance.
        if (2.0 * std::fabs(fp - *value) <= tolerance * (std::fabs(*value) * std::fabs(fp) + kEps)) {
            return;
        }
        fp = *value;

        // Take the step; the change of the gradient along it.
        for (std::size_t i = 0; i < size; ++i) {
            xi[i] = xNew[i] - x[i];
            x[i] = xNew[i];
        }
        for (std::size_t i = 0; i < size; ++i) dg[i] = g[i];
        function->Evaluate(x, g);
        for (std::size_t i = 0; i < size; ++i) dg[i] = g[i] - dg[i];
        UpdateInverseHessian(n, H, g, dg, hdg, xi, scratch);
    }
}
