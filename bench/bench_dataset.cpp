// Data set files: writing and reading back a training set of 20000 rows of
// 100 inputs and 10 outputs, and one pass of sequential reads over it.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FileHandler/Filer.h"

namespace {

constexpr int kRows = 20000;
constexpr int kInputs = 100;
constexpr int kOutputs = 10;

// Values in [-1, 1) with full precision, so every value is written with 15
// significant digits, as normalised training data is.
std::unique_ptr<Data> MakeTrainingSet() {
    auto data = std::make_unique<Data>(kRows, kInputs, kOutputs, false);
    uint64_t state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0 * 2.0 - 1.0;
    };
    std::vector<double> inputs(kInputs);
    std::vector<double> outputs(kOutputs);
    for (int r = 0; r < kRows; ++r) {
        for (double& v : inputs) v = next();
        for (double& v : outputs) v = next();
        data->AppendRow(inputs.data(), outputs.data(), nullptr);
    }
    return data;
}

std::string BenchFile() {
    return (std::filesystem::temp_directory_path() /
            ("kestran_bench_dataset_" + std::to_string(::getpid()) + ".dat"))
        .string();
}

void BM_WriteDataSet(benchmark::State& state) {
    std::unique_ptr<Data> data = MakeTrainingSet();
    std::string file = BenchFile();
    FileTools tools;
    for (auto _ : state) {
        if (WriteDataSet(tools, file.c_str(), data.get(), nullptr, nullptr) != SUCCESS) {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(file)));
    std::filesystem::remove(file);
}

void BM_ReadDataSet(benchmark::State& state) {
    std::unique_ptr<Data> data = MakeTrainingSet();
    std::string file = BenchFile();
    FileTools tools;
    WriteDataSet(tools, file.c_str(), data.get(), nullptr, nullptr);
    for (auto _ : state) {
        Data* read = nullptr;
        if (ReadDataSet(tools, file.c_str(), &read) != SUCCESS) {
            state.SkipWithError("read failed");
            break;
        }
        delete read;
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(file)));
    std::filesystem::remove(file);
}

// One training pass: rewind, then GetNextRow for every row.
void BM_WalkRows(benchmark::State& state) {
    std::unique_ptr<Data> data = MakeTrainingSet();
    std::vector<double> inputs(kInputs);
    std::vector<double> outputs(kOutputs);
    for (auto _ : state) {
        data->RewindCursor();
        for (int r = 0; r < kRows; ++r) data->GetNextRow(inputs.data(), outputs.data(), nullptr);
        benchmark::DoNotOptimize(inputs.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

}  // namespace

BENCHMARK(BM_WriteDataSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDataSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkRows)->Unit(benchmark::kMicrosecond);
