// Training: one evaluation of the objective, with and without gradient, for
// a 64-32-10 sigmoid MLP with bias over 1797 rows of 64 inputs (the size of
// the handwritten digits set), and one quasi-Newton update of H with the
// next direction for the same number of weights (2410).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "DataObject/Data.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TBFGSModule.h"
#include "NeuralNets/TMLPNetwork.h"
#include "NeuralNets/TRandom.h"

namespace {

constexpr int kRows = 1797;
constexpr int kInputs = 64;
constexpr int kHidden = 32;
constexpr int kOutputs = 10;

// Inputs in [0, 1), one-hot targets.
std::unique_ptr<Data> MakeDigits() {
    auto data = std::make_unique<Data>(kRows, kInputs, kOutputs, false);
    data->RewindCursor();
    uint64_t state = 2024;
    std::vector<double> inputs(kInputs);
    std::vector<double> targets(kOutputs);
    for (int r = 0; r < kRows; ++r) {
        for (double& v : inputs) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            v = static_cast<double>(state >> 11) / 9007199254740992.0;
        }
        for (int k = 0; k < kOutputs; ++k) targets[k] = k == r % kOutputs ? 1.0 : 0.0;
        data->AppendRow(inputs.data(), targets.data(), nullptr);
    }
    return data;
}

void Evaluation(benchmark::State& state, bool withGradient) {
    const int sizes[] = {kInputs, kHidden, kOutputs};
    TMLPNetwork net(3, sizes, true);
    SetRandomState(1);
    net.Randomize(-0.5, 0.5);
    std::unique_ptr<Data> data = MakeDigits();
    TKQstructure params("Params");
    params.SetString("ErrorFunction", "MeanSquaredError");
    TBFGSModule module(&net);
    TFunctNetworkObject objective(&module, data.get(), &params);
    const int n = objective.GetNumParams();
    std::vector<double> x(static_cast<size_t>(n));
    std::vector<double> gradient(x.size());
    net.GetWeights(x.data(), 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(objective.Evaluate(x.data(), withGradient ? gradient.data() : nullptr));
        benchmark::ClobberMemory();
    }
    // Time per row and weight.
    state.counters["per_row_weight"] =
        benchmark::Counter(static_cast<double>(kRows) * n,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["weights"] = n;
}

void BM_EvaluateWithGradient(benchmark::State& state) { Evaluation(state, true); }
void BM_EvaluateValueOnly(benchmark::State& state) { Evaluation(state, false); }

// H = identity and a step equal to the gradient change: every product and
// the whole rank-two update run, and H stays the identity (the two
// corrections cancel exactly), so every iteration does the same work.
void BM_UpdateInverseHessian(benchmark::State& state) {
    const int n = kInputs * kHidden + kHidden * kOutputs + kHidden + kOutputs;
    const size_t size = static_cast<size_t>(n);
    std::vector<double> H(size * size, 0.0);
    for (size_t i = 0; i < size; ++i) H[i * size + i] = 1.0;
    std::vector<double> g(size), dg(size), hdg(size), xi(size), scratch(4 * size);
    SetRandomState(5);
    std::vector<double> step(size);
    for (size_t i = 0; i < size; ++i) {
        step[i] = KRandomDraw(-1.0, 1.0);
        g[i] = KRandomDraw(-1.0, 1.0);
    }
    for (auto _ : state) {
        xi = step;
        dg = step;
        UpdateInverseHessian(n, H.data(), g.data(), dg.data(), hdg.data(), xi.data(),
                             scratch.data());
        benchmark::DoNotOptimize(xi.data());
        benchmark::ClobberMemory();
    }
    state.counters["n"] = n;
}

}  // namespace

BENCHMARK(BM_EvaluateWithGradient)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluateValueOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateInverseHessian)->Unit(benchmark::kMillisecond);
