// The forward pass and the weight-vector copies run once per data row and
// once per evaluation of the error: they must not allocate. This file
// replaces the global operator new of the test program with a counting one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "DataObject/Data.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TBFGSModule.h"
#include "NeuralNets/TMLPNetwork.h"
#include "NeuralNets/TRandom.h"

namespace {

bool countingAllocations = false;
long allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
    if (countingAllocations) allocations += 1;
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void operator delete(void* block) noexcept { std::free(block); }

void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

TEST(RecallAllocation, ForwardPassAndWeightCopiesAllocateNothing) {
    const int sizes[] = {64, 32, 10};
    TMLPNetwork net(3, sizes, true);
    SetRandomState(1);
    net.Randomize(-1.0, 1.0);
    std::vector<double> input(64, 0.25);
    std::vector<double> output(10, 0.0);
    std::vector<double> weights(static_cast<size_t>(net.GetNumWeights(0)));
    ASSERT_EQ(weights.size(), 64u * 32u + 32u * 10u + 32u + 10u);

    allocations = 0;
    countingAllocations = true;
    for (int pattern = 0; pattern < 5; ++pattern) {
        net.Recall(input.data(), output.data());
        net.GetWeights(weights.data(), 0);
        net.SetWeights(weights.data(), 0);
    }
    countingAllocations = false;
    EXPECT_EQ(allocations, 0);

    // The counter works: a copy of the network does allocate.
    countingAllocations = true;
    TBasicNetwork copy(net);
    countingAllocations = false;
    EXPECT_GT(allocations, 0);
}

// An evaluation of the training objective allocates per evaluation (its
// error measure), never per row: the count does not grow with the rows.
long AllocationsPerEvaluation(int rows, bool withGradient) {
    const int sizes[] = {4, 3, 2};
    TMLPNetwork net(3, sizes, true);
    SetRandomState(3);
    net.Randomize(-1.0, 1.0);
    Data data(rows, 4, 2, false);
    data.RewindCursor();
    const double input[] = {0.1, 0.2, 0.3, 0.4}, target[] = {0.0, 1.0};
    for (int r = 0; r < rows; ++r) data.AppendRow(input, target, nullptr);
    TKQstructure params("Params");
    params.SetString("ErrorFunction", "CrossEntropy");
    TBFGSModule module(&net);
    TFunctNetworkObject objective(&module, &data, &params);
    std::vector<double> x(static_cast<size_t>(objective.GetNumParams()));
    std::vector<double> gradient(x.size());
    net.GetWeights(x.data(), 0);
    objective.Evaluate(x.data(), gradient.data());  // sizes the row buffers once

    allocations = 0;
    countingAllocations = true;
    objective.Evaluate(x.data(), withGradient ? gradient.data() : nullptr);
    countingAllocations = false;
    return allocations;
}

TEST(RecallAllocation, ObjectiveAllocatesNothingPerRow) {
    for (bool withGradient : {true, false}) {
        const long few = AllocationsPerEvaluation(3, withGradient);
        EXPECT_EQ(few, AllocationsPerEvaluation(50, withGradient)) << withGradient;
        EXPECT_LE(few, 2) << withGradient;
    }
}

}  // namespace
