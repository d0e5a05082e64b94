#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TConnectedConnections.h"
#include "NeuralNets/TPrunedConnections.h"
#include "NeuralNets/TRandom.h"
#include "NetTestTools.h"

namespace {

using Visit = std::tuple<int, int, int, double*>;  // from, to, trainable, weight

// The first n draws in [lo, hi) from state, and the state after them.
std::vector<double> Draws(uint32_t state, int n, double lo, double hi, uint32_t* after) {
    SetRandomState(state);
    std::vector<double> draws;
    for (int i = 0; i < n; ++i) draws.push_back(KRandomDraw(lo, hi));
    *after = GetRandomState();
    return draws;
}

// Layers 0 (2 neurons), 1 (3 neurons) and 2 (2 neurons) are hidden, so the
// network may reshape them; layer 3 is both input and output layer.
class BlockTest : public ::testing::Test {
protected:
    BlockTest() : net(4) {
        StoreSimpleLayers(net, {2, 3, 2, 1});
        net.SetInLayer(3);
        net.SetOutLayer(3);
    }

    template <class Block>
    Block* Place(int from, int to) {
        Block* block = new Block(&net, from, to);
        net.ReplaceConnections(from, to, block);
        return block;
    }

    // w(f -> t) = 10 f + t.
    static void Number(TBasicConnections* block, int nFrom, int nTo) {
        for (int f = 0; f < nFrom; ++f) {
            for (int t = 0; t < nTo; ++t) *block->GetWeight(f, t) = 10.0 * f + t;
        }
    }

    static std::vector<double> Weights(TBasicConnections* block, int mask) {
        std::vector<double> w(static_cast<size_t>(block->GetNumWeights(mask)));
        EXPECT_EQ(block->GetWeights(w.data(), mask), static_cast<int>(w.size()));
        return w;
    }

    TBasicNetwork net;
};

TEST_F(BlockTest, EmptyBlockHasNoWeightsAndVisitsNothing) {
    TBasicConnections* empty = net.GetConnections(0, 1);
    EXPECT_FALSE(empty->IsConnected());
    EXPECT_STREQ(empty->GetConnectionsNType(), "Empty");
    double buffer[1] = {-7.0};
    for (int mask : {0, 1, 3}) {
        EXPECT_EQ(empty->GetNumWeights(mask), 0);
        EXPECT_EQ(empty->GetWeights(buffer, mask), 0);
        EXPECT_EQ(empty->SetWeights(buffer, mask), 0);
    }
    EXPECT_EQ(buffer[0], -7.0);
    double netInputs[3] = {5.0, 5.0, 5.0};
    empty->Propagate(netInputs);
    EXPECT_EQ(netInputs[2], 5.0);
    EXPECT_FALSE(empty->Exists(0, 0));
    EXPECT_EQ(empty->GetFlags(1, 2), FMaskAll);
    empty->SetFlags(1, 2, FMaskExists);  // accepted, nothing stored

    RecordVisits v;
    empty->Iterate(&v, FMaskExists);
    empty->IterateIn(&v, 0, FMaskExists);
    empty->IterateOut(&v, 0, FMaskExists);
    EXPECT_TRUE(v.visits.empty());
    EXPECT_EQ(v.fromLayerPtr, nullptr);  // not even bound

    TBasicNetwork other(4);
    std::unique_ptr<TBasicConnections, TDestroyer> copy(empty->Clone(&other));
    EXPECT_STREQ(copy->GetConnectionsNType(), "Empty");
    EXPECT_EQ(copy->GetNetwork(), &other);
    EXPECT_EQ(copy->GetFromLayer(), 0);
    EXPECT_EQ(copy->GetToLayer(), 1);
}

TEST_F(BlockTest, EmptyBlockDeathTest) {
    TBasicConnections* empty = net.GetConnections(0, 1);
    EXPECT_DEATH(empty->GetWeight(0, 0), "Assertion failed: GetWeight on a block with weights");
    EXPECT_DEATH(empty->SetFlags(0, 0, 0), "Assertion failed: val == FMaskAll \\|\\| val == FMaskExists");
    EXPECT_DEATH(empty->Prune(0, 0), "Assertion failed: Prune supported");
    EXPECT_DEATH(empty->Restore(0, 0), "Assertion failed: Restore supported");
}

TEST_F(BlockTest, FullyConnectedWeightVectorIsFromNeuronOuter) {
    auto* block = Place<TConnectedConnections>(0, 1);  // 2 x 3
    EXPECT_STREQ(block->GetConnectionsNType(), "FullyConnected");
    for (int mask : {0, 1, 3}) EXPECT_EQ(Weights(block, mask), std::vector<double>(6, 0.0));
    Number(block, 2, 3);
    EXPECT_EQ(Weights(block, 0), (std::vector<double>{0, 1, 2, 10, 11, 12}));

    const double fresh[] = {-1, -2, -3, -4, -5, -6};
    EXPECT_EQ(block->SetWeights(fresh, 0), 6);
    EXPECT_EQ(*block->GetWeight(0, 2), -3.0);
    EXPECT_EQ(*block->GetWeight(1, 0), -4.0);
}

TEST_F(BlockTest, FullyConnectedVisitsInStorageOrder) {
    auto* block = Place<TConnectedConnections>(0, 1);
    RecordVisits all;
    block->Iterate(&all, 0);
    std::vector<Visit> expected;
    for (int t = 0; t < 3; ++t) {
        for (int f = 0; f < 2; ++f) expected.emplace_back(f, t, 1, block->GetWeight(f, t));
    }
    EXPECT_EQ(all.visits, expected);
    EXPECT_EQ(all.conns, block);
    EXPECT_EQ(all.fromValues, net.GetLayer(0)->GetValues());

    RecordVisits out;
    block->IterateOut(&out, 1, 0);
    EXPECT_EQ(out.visits, (std::vector<Visit>{Visit(1, 0, 1, block->GetWeight(1, 0)),
                                              Visit(1, 1, 1, block->GetWeight(1, 1)),
                                              Visit(1, 2, 1, block->GetWeight(1, 2))}));
    RecordVisits in;
    block->IterateIn(&in, 2, 0);
    EXPECT_EQ(in.visits, (std::vector<Visit>{Visit(0, 2, 1, block->GetWeight(0, 2)),
                                             Visit(1, 2, 1, block->GetWeight(1, 2))}));
}

TEST_F(BlockTest, FullyConnectedFlagsAreFixed) {
    auto* block = Place<TConnectedConnections>(0, 1);
    *block->GetWeight(1, 1) = 4.0;
    block->SetFlags(1, 1, FMaskExists);
    block->SetFlags(1, 1, FMaskAll);
    block->Restore(1, 1);
    block->SetTrainable(1, 1);
    EXPECT_EQ(block->GetFlags(1, 1), FMaskAll);
    EXPECT_TRUE(block->Exists(1, 1));
    EXPECT_TRUE(block->IsTrainable(1, 1));
    EXPECT_EQ(*block->GetWeight(1, 1), 4.0);
    EXPECT_EQ(block->GetNumWeights(FMaskExists), 6);
}

TEST_F(BlockTest, FullyConnectedDeathTest) {
    auto* block = Place<TConnectedConnections>(0, 1);
    EXPECT_DEATH(block->Prune(0, 0), "Assertion failed: Prune supported");
    EXPECT_DEATH(block->SetUntrainable(0, 0), "Assertion failed: SetUntrainable supported");
    EXPECT_DEATH(block->SetFlags(0, 0, FMaskTrainable), "Assertion failed: val == FMaskAll");
    EXPECT_DEATH(net.AddNeuron(0, 0, -1.0, 1.0, false), "Assertion failed: attached");
}

TEST_F(BlockTest, PropagateAddsWeightedSums) {
    auto* block = Place<TConnectedConnections>(0, 1);
    for (int f = 0; f < 2; ++f) {
        for (int t = 0; t < 3; ++t) *block->GetWeight(f, t) = 1.0;
    }
    net.GetLayer(0)->GetValues()[0] = 1.0;
    net.GetLayer(0)->GetValues()[1] = 2.0;
    double netInputs[3] = {5.0, 5.0, 5.0};
    block->Propagate(netInputs);  // 5 + 1 * 1 + 1 * 2
    EXPECT_EQ(netInputs[0], 8.0);
    EXPECT_EQ(netInputs[1], 8.0);
    EXPECT_EQ(netInputs[2], 8.0);
}

// Into to-neuron 0 of a 3 x 2 block: weights (1, 1e16, -1e16), values 1.
// From-neuron ascending: 1, then 1e16 + 1 rounds to 1e16, then 0. Summed the
// other way round the result would be 1.
template <class Block>
void ExpectSumInFromNeuronOrder(TBasicNetwork& net, Block* block) {
    const double into0[] = {1.0, 1e16, -1e16};
    for (int f = 0; f < 3; ++f) {
        *block->GetWeight(f, 0) = into0[f];
        *block->GetWeight(f, 1) = 0.5;
        net.GetLayer(1)->GetValues()[f] = 1.0;
    }
    double fast[2] = {0.0, 0.25};
    double visited[2] = {0.0, 0.25};
    block->Propagate(fast);
    block->TBasicConnections::Propagate(visited);
    EXPECT_EQ(fast[0], 0.0);
    EXPECT_EQ(fast[1], 1.75);  // 0.5 * 3 + 0.25
    EXPECT_EQ(visited[0], fast[0]);
    EXPECT_EQ(visited[1], fast[1]);
}

TEST_F(BlockTest, ForwardSumRunsFromNeuronAscendingInBothBlocks) {
    ExpectSumInFromNeuronOrder(net, Place<TConnectedConnections>(1, 0));
    ExpectSumInFromNeuronOrder(net, Place<TPrunedConnections>(1, 0));
}

TEST_F(BlockTest, RandomizeDrawsOncePerWeightInStorageOrder) {
    auto* block = Place<TConnectedConnections>(0, 1);
    SetRandomState(99);
    block->Randomize(0.5, 0.5);
    EXPECT_EQ(Weights(block, 0), std::vector<double>(6, 0.5));
    EXPECT_EQ(GetRandomState(), 99u);  // equal bounds draw nothing

    uint32_t after = 0;
    std::vector<double> draws = Draws(99, 6, -1.0, 1.0, &after);
    SetRandomState(99);
    block->Randomize(-1.0, 1.0);
    EXPECT_EQ(GetRandomState(), after);
    int k = 0;
    for (int t = 0; t < 3; ++t) {
        for (int f = 0; f < 2; ++f) EXPECT_EQ(*block->GetWeight(f, t), draws[k++]);
    }
    for (double w : draws) {
        EXPECT_GE(w, -1.0);
        EXPECT_LT(w, 1.0);
    }
}

TEST_F(BlockTest, FullyConnectedFollowsItsLayers) {
    auto* block = Place<TConnectedConnections>(0, 1);
    Number(block, 2, 3);
    net.RemoveNeuron(1, 0);  // to-neuron 0 goes
    EXPECT_EQ(Weights(block, 0), (std::vector<double>{1, 2, 11, 12}));

    uint32_t after = 0;
    std::vector<double> draws = Draws(5, 2, -1.0, 1.0, &after);
    SetRandomState(5);
    net.AddNeuron(0, 1, -1.0, 1.0, true);  // new from-neuron 1 in a 3 x 2 block
    EXPECT_EQ(GetRandomState(), after);
    // Old column 0 stays, old column 1 moves to 2, column 1 is drawn in
    // to-neuron order.
    EXPECT_EQ(Weights(block, 0), (std::vector<double>{1, 2, draws[0], draws[1], 11, 12}));
}

TEST_F(BlockTest, PrunableBlockFlags) {
    auto* block = Place<TPrunedConnections>(0, 2);  // 2 x 2
    EXPECT_STREQ(block->GetConnectionsNType(), "Pruneable");
    EXPECT_EQ(block->GetNumWeights(0), 4);
    EXPECT_EQ(block->GetNumWeights(FMaskExists), 4);
    for (int f = 0; f < 2; ++f) {
        for (int t = 0; t < 2; ++t) EXPECT_EQ(block->GetFlags(f, t), FMaskAll);
    }

    *block->GetWeight(1, 0) = 3.0;
    block->Prune(1, 0);
    EXPECT_FALSE(block->Exists(1, 0));
    EXPECT_EQ(*block->GetWeight(1, 0), 0.0);
    EXPECT_EQ(block->GetNumWeights(0), 3);
    EXPECT_EQ(block->GetNumWeights(FMaskExists), 3);
    block->SetTrainable(1, 0);  // an absent weight stays absent
    EXPECT_EQ(block->GetFlags(1, 0), 0);

    *block->GetWeight(0, 1) = 0.25;
    block->SetUntrainable(0, 1);
    EXPECT_EQ(block->GetNumWeights(FMaskExists), 3);
    EXPECT_EQ(block->GetNumWeights(0), 2);
    block->Restore(0, 1);  // existing: keeps its value and stays frozen
    EXPECT_EQ(block->GetFlags(0, 1), FMaskExists);
    EXPECT_EQ(*block->GetWeight(0, 1), 0.25);
    RecordVisits v;
    block->Iterate(&v, FMaskExists);
    EXPECT_EQ(v.visits, (std::vector<Visit>{Visit(0, 0, 1, block->GetWeight(0, 0)),
                                            Visit(0, 1, 0, block->GetWeight(0, 1)),
                                            Visit(1, 1, 1, block->GetWeight(1, 1))}));
    block->Randomize(-1.0, 1.0);
    EXPECT_EQ(*block->GetWeight(0, 1), 0.25);
    EXPECT_EQ(*block->GetWeight(1, 0), 0.0);

    block->Restore(1, 0);
    EXPECT_EQ(block->GetFlags(1, 0), FMaskAll);
    EXPECT_EQ(*block->GetWeight(1, 0), 0.0);
}

TEST_F(BlockTest, PrunableForwardPassSkipsAbsentWeights) {
    auto* block = Place<TPrunedConnections>(0, 2);
    for (int f = 0; f < 2; ++f) {
        for (int t = 0; t < 2; ++t) *block->GetWeight(f, t) = 1.0;
    }
    block->Prune(1, 0);
    *block->GetWeight(1, 0) = 5.0;  // written after pruning: still ignored
    net.GetLayer(0)->GetValues()[0] = 1.0;
    net.GetLayer(0)->GetValues()[1] = 1.0;
    double netInputs[2] = {0.0, 0.0};
    block->Propagate(netInputs);
    EXPECT_EQ(netInputs[0], 1.0);
    EXPECT_EQ(netInputs[1], 2.0);

    // No existing weight into to-neuron 0 at all: the visitor's sum stays 0.
    block->Prune(0, 0);
    TIterateObjAggregate aggregate;
    block->IterateIn(&aggregate, 0, FMaskExists);
    EXPECT_EQ(aggregate.sum, 0.0);
}

TEST_F(BlockTest, PrunableWeightVectorIsToNeuronOuterAndSelected) {
    auto* block = Place<TPrunedConnections>(0, 2);
    Number(block, 2, 2);
    EXPECT_EQ(Weights(block, 0), (std::vector<double>{0, 10, 1, 11}));
    block->SetUntrainable(1, 0);  // frozen: copied with mask 1 only
    block->Prune(0, 1);           // absent: never copied
    EXPECT_EQ(Weights(block, FMaskExists), (std::vector<double>{0, 10, 11}));
    EXPECT_EQ(Weights(block, 0), (std::vector<double>{0, 11}));
    const double fresh[] = {-1.0, -2.0};
    EXPECT_EQ(block->SetWeights(fresh, 0), 2);
    EXPECT_EQ(Weights(block, FMaskExists), (std::vector<double>{-1, 10, -2}));
}

TEST_F(BlockTest, TrainableButAbsentWeightIsRandomizedOnly) {
    auto* block = Place<TPrunedConnections>(0, 2);
    block->SetFlags(0, 0, FMaskTrainable);
    EXPECT_EQ(block->GetFlags(0, 0), FMaskTrainable);
    EXPECT_EQ(block->GetNumWeights(0), 3);
    EXPECT_EQ(block->GetNumWeights(FMaskExists), 3);
    block->Randomize(0.75, 0.75);
    EXPECT_EQ(*block->GetWeight(0, 0), 0.75);
    net.GetLayer(0)->GetValues()[0] = 1.0;
    net.GetLayer(0)->GetValues()[1] = 0.0;
    double netInputs[2] = {0.0, 0.0};
    block->Propagate(netInputs);
    EXPECT_EQ(netInputs[0], 0.0);
}

TEST_F(BlockTest, PrunableInsertionWithAndWithoutAttachment) {
    auto* block = Place<TPrunedConnections>(0, 2);
    Number(block, 2, 2);
    SetRandomState(7);
    net.AddNeuron(2, 1, -1.0, 1.0, false);  // to-layer grows to 3
    EXPECT_EQ(GetRandomState(), 7u);
    EXPECT_EQ(block->GetNumWeights(FMaskExists), 4);
    for (int f = 0; f < 2; ++f) {
        EXPECT_EQ(block->GetFlags(f, 1), 0);
        EXPECT_EQ(*block->GetWeight(f, 1), 0.0);
    }
    EXPECT_EQ(*block->GetWeight(1, 2), 11.0);  // old to-neuron 1 moved to 2

    uint32_t after = 0;
    std::vector<double> draws = Draws(7, 2, -1.0, 1.0, &after);
    SetRandomState(7);
    net.AddNeuron(2, 0, -1.0, 1.0, true);
    EXPECT_EQ(GetRandomState(), after);
    // Rows: the new one, old row 0 (0, 10), the absent row, old row 1 (1, 11).
    EXPECT_EQ(Weights(block, 0), (std::vector<double>{draws[0], draws[1], 0, 10, 1, 11}));
    EXPECT_EQ(block->GetFlags(1, 0), FMaskAll);

    net.RemoveNeuron(0, 0);  // from-neuron 0 goes with its flags
    EXPECT_EQ(Weights(block, FMaskExists), (std::vector<double>{draws[1], 10, 11}));
}

// The direct loops of the prunable block agree with the visitor-based
// defaults of the block interface for every mask and flag pattern.
TEST_F(BlockTest, PrunableDirectLoopsMatchTheVisitorPath) {
    auto* block = Place<TPrunedConnections>(1, 0);  // 3 x 2
    Number(block, 3, 2);
    const char flags[3][2] = {{FMaskAll, FMaskExists}, {0, FMaskTrainable}, {FMaskAll, FMaskAll}};
    for (int f = 0; f < 3; ++f) {
        for (int t = 0; t < 2; ++t) block->SetFlags(f, t, flags[f][t]);
        net.GetLayer(1)->GetValues()[f] = 0.1 * (f + 1);
    }
    for (int mask : {0, 1, 2, 3}) {
        int count = block->GetNumWeights(mask);
        EXPECT_EQ(count, block->TBasicConnections::GetNumWeights(mask)) << mask;
        std::vector<double> fast(6, -1.0);
        std::vector<double> visited(6, -1.0);
        EXPECT_EQ(block->GetWeights(fast.data(), mask), count);
        EXPECT_EQ(block->TBasicConnections::GetWeights(visited.data(), mask), count);
        EXPECT_EQ(fast, visited) << mask;

        const double fresh[] = {0.5, 1.5, 2.5, 3.5, 4.5, 5.5};
        EXPECT_EQ(block->SetWeights(fresh, mask), count);
        std::vector<double> viaFast = Weights(block, FMaskExists);
        block->TBasicConnections::SetWeights(fresh, mask);
        EXPECT_EQ(Weights(block, FMaskExists), viaFast) << mask;
    }
    double fast[2] = {1.0, 2.0};
    double visited[2] = {1.0, 2.0};
    block->Propagate(fast);
    block->TBasicConnections::Propagate(visited);
    EXPECT_EQ(fast[0], visited[0]);
    EXPECT_EQ(fast[1], visited[1]);
}

TEST_F(BlockTest, VisitorsThroughIterate) {
    auto* block = Place<TPrunedConnections>(1, 0);
    Number(block, 3, 2);
    block->SetUntrainable(2, 1);
    block->Prune(0, 0);

    TIterateObjGetNumWeights counter;
    block->Iterate(&counter, 0);
    EXPECT_EQ(counter.count, block->GetNumWeights(0));

    std::vector<double> buffer(6, 0.0);
    TIterateObjGetWeights reader(buffer.data());
    block->Iterate(&reader, FMaskExists);
    TIterateObjSetWeights writer(buffer.data());
    block->Iterate(&writer, FMaskExists);
    EXPECT_EQ(reader.count, 5);
    EXPECT_EQ(writer.count, 5);
    EXPECT_EQ(Weights(block, FMaskExists), (std::vector<double>{10, 20, 1, 11, 21}));

    // Zeroing with equal bounds touches exactly the selected weights.
    TIterateObjRandomize zero(0.0, 0.0);
    block->Iterate(&zero, 0);
    EXPECT_EQ(Weights(block, FMaskExists), (std::vector<double>{0, 0, 0, 0, 21}));

    std::unique_ptr<char[]> all = block->GetAllFlags();
    const char expected[] = {FMaskAll, FMaskAll, FMaskAll, FMaskAll, FMaskExists};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(all[static_cast<size_t>(i)], expected[i]) << i;
    block->SetAllUntrainable();
    EXPECT_EQ(block->GetNumWeights(0), 0);
    EXPECT_EQ(block->GetNumWeights(FMaskExists), 5);
    const unsigned char restored[] = {3, 3, 3, 3, 3};
    block->SetAllFlags(restored);
    EXPECT_EQ(block->GetNumWeights(0), 5);
    EXPECT_EQ(block->GetFlags(0, 0), 0);  // absent weights are not visited
}

struct RecordPairs : TIterateObj2 {
    void Visit() override { pairs.emplace_back(fromNode, toNode, trainable, weight1, weight2); }
    std::vector<std::tuple<int, int, int, double*, double*>> pairs;
};

struct CountTriples : TIterateObj3 {
    void Visit() override {
        count += 1;
        if (weight1 == weight2 || weight2 == weight3) distinct = false;
    }
    int count = 0;
    bool distinct = true;
};

TEST_F(BlockTest, IterateTwoAndThreeNetworksInStep) {
    auto* pruned = Place<TPrunedConnections>(0, 2);
    Place<TConnectedConnections>(0, 1);
    pruned->SetUntrainable(1, 0);
    pruned->Prune(0, 1);
    TBasicNetwork copy(net);
    TBasicNetwork third(net);

    RecordPairs v;
    pruned->Iterate2(&v, &copy, FMaskExists);
    TBasicConnections* twin = copy.GetConnections(0, 2);
    EXPECT_EQ(v.conns2, twin);
    EXPECT_EQ(v.pairs, (std::vector<std::tuple<int, int, int, double*, double*>>{
                           {0, 0, 1, pruned->GetWeight(0, 0), twin->GetWeight(0, 0)},
                           {1, 0, 0, pruned->GetWeight(1, 0), twin->GetWeight(1, 0)},
                           {1, 1, 1, pruned->GetWeight(1, 1), twin->GetWeight(1, 1)}}));

    CountTriples triples;
    net.GetConnections(0, 1)->Iterate3(&triples, &copy, &third, 0);
    EXPECT_EQ(triples.count, 6);
    EXPECT_TRUE(triples.distinct);
}

TEST_F(BlockTest, IterateAcrossBlockClassesDeathTest) {
    Place<TConnectedConnections>(0, 1);
    TBasicNetwork other(net);
    other.Disconnect(0, 1);
    other.Connect(0, 1);  // a prunable block for the same pair
    RecordPairs v;
    EXPECT_DEATH(net.GetConnections(0, 1)->Iterate2(&v, &other, 0),
                 "Assertion failed: SameClass\\(conns1, conns2\\)");
}

TEST_F(BlockTest, ClonesCopyWeightsAndFlagsAndShareNothing) {
    auto* full = Place<TConnectedConnections>(0, 1);
    auto* pruned = Place<TPrunedConnections>(0, 2);
    Number(full, 2, 3);
    Number(pruned, 2, 2);
    pruned->SetUntrainable(1, 1);
    TBasicNetwork other(4);
    StoreSimpleLayers(other, {2, 3, 2, 1});
    std::unique_ptr<TBasicConnections, TDestroyer> fullCopy(full->Clone(&other));
    std::unique_ptr<TBasicConnections, TDestroyer> prunedCopy(pruned->Clone(&other));
    EXPECT_STREQ(fullCopy->GetConnectionsNType(), "FullyConnected");
    EXPECT_STREQ(prunedCopy->GetConnectionsNType(), "Pruneable");
    EXPECT_EQ(fullCopy->GetNetwork(), &other);
    EXPECT_EQ(prunedCopy->GetToLayer(), 2);
    EXPECT_EQ(Weights(fullCopy.get(), 0), Weights(full, 0));
    EXPECT_EQ(Weights(prunedCopy.get(), FMaskExists), Weights(pruned, FMaskExists));
    EXPECT_EQ(prunedCopy->GetFlags(1, 1), FMaskExists);
    *fullCopy->GetWeight(0, 0) = 99.0;
    prunedCopy->Prune(0, 0);
    EXPECT_EQ(*full->GetWeight(0, 0), 0.0);
    EXPECT_EQ(pruned->GetFlags(0, 0), FMaskAll);
}

}  // namespace

// The forward sums run four to-neurons at a time; each sum must still be the
// plain one of its row: compared bit for bit with the visitor path on a
// 9 x 7 block (one group of four and a remainder of three), with values
// whose sums depend on the order and with absent weights.
TEST(BlockForwardSums, GroupedRowsMatchTheVisitorPath) {
    TBasicNetwork net(2);
    StoreSimpleLayers(net, {9, 7});
    SetRandomState(11);
    for (bool pruned : {false, true}) {
        TBasicConnections* block = nullptr;
        if (pruned) {
            block = new TPrunedConnections(&net, 0, 1);
        } else {
            block = new TConnectedConnections(&net, 0, 1);
        }
        net.ReplaceConnections(0, 1, block);
        for (int f = 0; f < 9; ++f) {
            net.GetLayer(0)->GetValues()[f] = KRandomDraw(-1.0, 1.0) * (f % 3 == 0 ? 1e16 : 1.0);
            for (int t = 0; t < 7; ++t) *block->GetWeight(f, t) = KRandomDraw(-2.0, 2.0);
        }
        if (pruned) {
            block->Prune(3, 1);
            block->Prune(0, 6);
            block->SetFlags(5, 2, FMaskTrainable);  // absent, though trainable
        }
        double fast[7], visited[7];
        for (int t = 0; t < 7; ++t) fast[t] = visited[t] = 0.125 * t;
        block->Propagate(fast);
        block->TBasicConnections::Propagate(visited);
        for (int t = 0; t < 7; ++t) EXPECT_EQ(fast[t], visited[t]) << "to-neuron " << t;
    }
}
