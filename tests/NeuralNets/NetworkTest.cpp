#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TMLPNetwork.h"
#include "NeuralNets/TRandom.h"
#include "NetTestTools.h"

namespace {

// w_k = k + 1 along the weight vector of mask.
void NumberWeights(TBasicNetwork& net, int mask) {
    std::vector<double> w(static_cast<size_t>(net.GetNumWeights(mask)));
    for (size_t k = 0; k < w.size(); ++k) w[k] = static_cast<double>(k + 1);
    net.SetWeights(w.data(), mask);
}

TEST(Network, FreshNetworkHasOnlyEmptyBlocksAndNoLayers) {
    TBasicNetwork net(3);
    EXPECT_EQ(net.GetNumLayers(), 3);
    EXPECT_EQ(net.GetInLayer(), 1);
    EXPECT_EQ(net.GetOutLayer(), 2);
    EXPECT_STREQ(net.GetNetworkType(), "Basic");
    EXPECT_EQ(net.GetNumWeights(0), 0);
    EXPECT_EQ(net.GetNumWeights(FMaskExists), 0);
    EXPECT_EQ(net.GetRegistry()->GetFunction("sigmoid"), ActSigmoid);
    for (int to = 0; to < 3; ++to) {
        EXPECT_EQ(net.GetLayer(to), nullptr);
        for (int from = 0; from < 3; ++from) {
            TBasicConnections* block = net.GetConnections(from, to);
            EXPECT_STREQ(block->GetConnectionsNType(), "Empty");
            EXPECT_EQ(block->GetFromLayer(), from);
            EXPECT_EQ(block->GetToLayer(), to);
        }
    }
    // Destroying a network whose layers were never stored is fine (the file
    // reader may give up half way).
}

// Bias layer 0 (one ActBias neuron), input layer 1 (2 neurons), output layer
// 2 (1 neuron); pairs (0, 2) and (1, 2) fully connected.
class SmallNetTest : public ::testing::Test {
protected:
    SmallNetTest() : net(3, sizes) {
        net.GetLayer(0)->SetActFunction(ActBias);
        net.GetLayer(2)->SetActFunction(ActLinear);
        net.Connect(0, 2);
        net.Connect(1, 2);
    }

    double Recall(double x0, double x1) {
        const double input[] = {x0, x1};
        double output = -1.0;
        net.Recall(input, &output);
        return output;
    }

    static constexpr int sizes[3] = {1, 2, 1};
    TConnectedNetwork net;
};

TEST_F(SmallNetTest, WeightVectorAndRecall) {
    ASSERT_EQ(net.GetNumWeights(0), 3);
    const double w[] = {0.5, 2.0, -1.0};  // [w(bias->out), w(in0->out), w(in1->out)]
    EXPECT_EQ(net.SetWeights(w, 0), 3);
    EXPECT_EQ(*net.GetConnections(0, 2)->GetWeight(0, 0), 0.5);
    EXPECT_EQ(*net.GetConnections(1, 2)->GetWeight(0, 0), 2.0);
    EXPECT_EQ(*net.GetConnections(1, 2)->GetWeight(1, 0), -1.0);
    EXPECT_EQ(Recall(3.0, 4.0), 2.5);  // 0.5 + 2 * 3 - 1 * 4

    net.GetLayer(2)->SetActFunction(ActSigmoid);
    EXPECT_EQ(Recall(3.0, 4.0), 1.0 / (1.0 + std::exp(-2.5)));
}

TEST_F(SmallNetTest, BlockToALowerLayerIsInTheVectorButNotInTheForwardPass) {
    net.Connect(2, 1);  // from the output layer back to the input layer
    ASSERT_EQ(net.GetNumWeights(0), 5);
    const double w[] = {0.5, 2.0, -1.0, 7.0, 8.0};
    net.SetWeights(w, 0);
    // Block (from 2, to 1) comes after every block from layers 0 and 1.
    EXPECT_EQ(*net.GetConnections(2, 1)->GetWeight(0, 0), 7.0);
    EXPECT_EQ(*net.GetConnections(2, 1)->GetWeight(0, 1), 8.0);
    EXPECT_EQ(Recall(3.7, 4.0), 0.5 + 2.0 * 3.7 - 4.0);
    // The input layer copied its input unchanged.
    EXPECT_EQ(net.GetLayer(1)->GetValues()[0], 3.7);
}

TEST_F(SmallNetTest, ConnectKeepsWeightsAndDisconnectLosesThem) {
    const double w[] = {0.5, 2.0, -1.0};
    net.SetWeights(w, 0);
    net.Connect(1, 2);
    EXPECT_EQ(WeightVector(net, 0), (std::vector<double>{0.5, 2.0, -1.0}));
    net.Disconnect(1, 2);
    EXPECT_STREQ(net.GetConnections(1, 2)->GetConnectionsNType(), "Empty");
    EXPECT_EQ(WeightVector(net, 0), (std::vector<double>{0.5}));
    net.Connect(1, 2);
    EXPECT_STREQ(net.GetConnections(1, 2)->GetConnectionsNType(), "FullyConnected");
    EXPECT_EQ(WeightVector(net, 0), (std::vector<double>{0.5, 0.0, 0.0}));
}

TEST(Network, InputLayersOutOfPlaceWarnOnEveryPattern) {
    // Layer 0 a bias, layer 1 a plain layer at the input position, layer 2 an
    // input layer that is not at the input position.
    TBasicNetwork net(3);
    net.SetLayer(0, new TSimpleLayer(&net, 0, 1));
    net.SetLayer(1, new TSimpleLayer(&net, 1, 1));
    net.SetLayer(2, new TSimpleInputLayer(&net, 2, 1));
    net.GetLayer(0)->SetActFunction(ActBias);
    net.GetLayer(1)->SetActFunction(ActLinear);
    net.Connect(0, 1);
    *net.GetConnections(0, 1)->GetWeight(0, 0) = 0.5;
    net.Connect(1, 2);
    *net.GetConnections(1, 2)->GetWeight(0, 0) = 3.0;

    const double input[] = {2.0};
    double output = -1.0;
    testing::internal::CaptureStderr();
    net.Recall(input, &output);
    net.Recall(input, &output);
    std::string warnings = testing::internal::GetCapturedStderr();
    const std::string once =
        "!Warning: changed input layer (TSimpleLayer)\n"
        "!Warning: changed input layer (TSimpleInputLayer)\n";
    EXPECT_EQ(warnings, once + once);
    EXPECT_EQ(net.GetLayer(1)->GetValues()[0], 2.5);  // input 2 plus bias 1 * 0.5
    EXPECT_EQ(output, 0.0);                            // zeros, no blocks read
}

TEST(Network, WeightVectorRoundTripAndRandomize) {
    const int sizes[] = {2, 3, 1};
    TMLPNetwork net(3, sizes, true);
    SetRandomState(1);
    net.Randomize(-1.0, 1.0);
    std::vector<double> w = WeightVector(net, 0);
    ASSERT_EQ(w.size(), 13u);
    for (double x : w) {
        EXPECT_GE(x, -1.0);
        EXPECT_LT(x, 1.0);
    }
    std::vector<double> shuffled(w.rbegin(), w.rend());
    EXPECT_EQ(net.SetWeights(shuffled.data(), 0), 13);
    EXPECT_EQ(net.SetWeights(w.data(), 0), 13);
    EXPECT_EQ(WeightVector(net, 0), w);

    // Equal bounds: trainable weights become lo, frozen ones keep their value,
    // nothing is drawn.
    *net.GetConnections(2, 3)->GetWeight(1, 0) = 0.75;
    net.GetConnections(2, 3)->SetUntrainable(1, 0);
    uint32_t state = GetRandomState();
    net.Randomize(0.0, 0.0);
    EXPECT_EQ(GetRandomState(), state);
    EXPECT_EQ(WeightVector(net, 0), std::vector<double>(12, 0.0));
    EXPECT_EQ(*net.GetConnections(2, 3)->GetWeight(1, 0), 0.75);
}

TEST(Network, CopiesShareNothing) {
    const int sizes[] = {2, 3, 1};
    TMLPNetwork mlp(3, sizes, true);
    NumberWeights(mlp, 0);
    const double input[] = {0.3, -0.2};
    double expected = 0.0;
    mlp.Recall(input, &expected);

    TBasicNetwork copy(mlp);
    EXPECT_STREQ(copy.GetNetworkType(), "Basic");
    EXPECT_EQ(copy.GetInLayer(), 1);
    EXPECT_EQ(copy.GetOutLayer(), 3);
    EXPECT_NE(copy.GetRegistry(), mlp.GetRegistry());
    for (int i = 0; i < 4; ++i) {
        TBasicLayer* layer = copy.GetLayer(i);
        EXPECT_EQ(layer->GetNetwork(), &copy);
        EXPECT_STREQ(layer->GetLayerType(), mlp.GetLayer(i)->GetLayerType());
        for (int n = 0; n < layer->GetNumNeurons(); ++n) {
            EXPECT_EQ(layer->GetNeuron(n)->GetOutput(), layer->GetValues() + n);
            EXPECT_EQ(layer->GetValues()[n], 0.0);
        }
        for (int from = 0; from < 4; ++from) {
            EXPECT_EQ(copy.GetConnections(from, i)->GetNetwork(), &copy);
            EXPECT_NE(copy.GetConnections(from, i), mlp.GetConnections(from, i));
        }
    }
    double output = 0.0;
    copy.Recall(input, &output);
    EXPECT_EQ(output, expected);

    *copy.GetConnections(1, 2)->GetWeight(0, 0) = 100.0;
    copy.GetLayer(3)->SetActFunction(ActTanh);
    EXPECT_EQ(*mlp.GetConnections(1, 2)->GetWeight(0, 0), 5.0);
    EXPECT_EQ(mlp.GetLayer(3)->GetActFunction(), ActSigmoid);
    mlp.Recall(input, &output);
    EXPECT_EQ(output, expected);

    // Assignment replaces everything; assigning a network to itself changes
    // nothing.
    TBasicNetwork other(2);
    StoreSimpleLayers(other, {1, 1});
    other = mlp;
    TBasicNetwork& alias = other;
    other = alias;
    EXPECT_EQ(other.GetNumLayers(), 4);
    EXPECT_EQ(WeightVector(other, 0), WeightVector(mlp, 0));
    EXPECT_EQ(other.GetLayer(2)->GetNetwork(), &other);
    other.Recall(input, &output);
    EXPECT_EQ(output, expected);
}

TEST(Network, PruneNodesRemovesHiddenNeuronsWithoutOutgoingWeights) {
    const int sizes[] = {2, 3, 1};
    TMLPNetwork net(3, sizes, true);
    NumberWeights(net, FMaskExists);
    // Vector order: (0->2) 1..3, (0->3) 4, (1->2) 5..10 to-neuron outer,
    // (2->3) 11..13. Hidden neuron 2: bias weight 3, input weights 9 and 10,
    // outgoing weight 13.
    net.GetConnections(2, 3)->Prune(1, 0);  // hidden neuron 1 loses its only outgoing weight
    EXPECT_EQ(net.PruneNodes(), 1);
    ASSERT_EQ(net.GetLayer(2)->GetNumNeurons(), 2);
    EXPECT_EQ(*net.GetConnections(0, 2)->GetWeight(0, 1), 3.0);
    EXPECT_EQ(*net.GetConnections(1, 2)->GetWeight(0, 1), 9.0);
    EXPECT_EQ(*net.GetConnections(1, 2)->GetWeight(1, 1), 10.0);
    EXPECT_EQ(*net.GetConnections(2, 3)->GetWeight(1, 0), 13.0);
    EXPECT_EQ(net.GetNumWeights(0), 9);  // 13 less 2 input, 1 bias and the pruned weight
    EXPECT_EQ(net.PruneNodes(), 0);

    // A bias neuron without outgoing weights goes too; the input layer stays.
    TMLPNetwork biased(3, sizes, true);
    biased.Disconnect(0, 2);
    biased.Disconnect(0, 3);
    biased.Disconnect(1, 2);
    EXPECT_EQ(biased.PruneNodes(), 1);
    EXPECT_EQ(biased.GetLayer(0)->GetNumNeurons(), 0);
    EXPECT_EQ(biased.GetLayer(1)->GetNumNeurons(), 2);
}

TEST(Network, AddNeuronDrawsInBlockOrderOrAddsAbsentWeights) {
    const int sizes[] = {2, 3, 1};
    TMLPNetwork net(3, sizes, true);
    SetRandomState(3);
    net.AddNeuron(2, 1, -1.0, 1.0, false);
    EXPECT_EQ(GetRandomState(), 3u);
    EXPECT_EQ(net.GetLayer(2)->GetNumNeurons(), 4);
    EXPECT_EQ(net.GetNumWeights(0), 13);
    EXPECT_EQ(net.GetNumWeights(FMaskExists), 13);

    // Attached: one draw per new weight, layer pairs (0, 2), (1, 2), (2, 3).
    SetRandomState(3);
    std::vector<double> draws;
    for (int i = 0; i < 4; ++i) draws.push_back(KRandomDraw(-1.0, 1.0));
    uint32_t after = GetRandomState();
    SetRandomState(3);
    net.AddNeuron(2, 0, -1.0, 1.0, true);
    EXPECT_EQ(GetRandomState(), after);
    EXPECT_EQ(net.GetNumWeights(0), 17);
    EXPECT_EQ(*net.GetConnections(0, 2)->GetWeight(0, 0), draws[0]);
    EXPECT_EQ(*net.GetConnections(1, 2)->GetWeight(0, 0), draws[1]);
    EXPECT_EQ(*net.GetConnections(1, 2)->GetWeight(1, 0), draws[2]);
    EXPECT_EQ(*net.GetConnections(2, 3)->GetWeight(0, 0), draws[3]);
}

TEST(Network, LayerConnectedToItselfFollowsBothInsertionAndRemoval) {
    const int sizes[] = {2, 3, 1};
    TMLPNetwork net(3, sizes, true);
    net.Connect(2, 2);
    TBasicConnections* self = net.GetConnections(2, 2);
    for (int f = 0; f < 3; ++f) {
        for (int t = 0; t < 3; ++t) *self->GetWeight(f, t) = 10.0 * f + t;
    }
    std::vector<double> before = WeightVector(net, 0);
    net.AddNeuron(2, 3, -1.0, 1.0, true);
    EXPECT_EQ(self->GetNumWeights(FMaskExists), 16);
    EXPECT_EQ(*self->GetWeight(2, 1), 21.0);
    net.RemoveNeuron(2, 3);
    EXPECT_EQ(WeightVector(net, 0), before);
    net.RemoveNeuron(2, 0);
    EXPECT_EQ(self->GetNumWeights(FMaskExists), 4);
    EXPECT_EQ(*self->GetWeight(0, 0), 11.0);
    EXPECT_EQ(*self->GetWeight(1, 0), 21.0);
    EXPECT_EQ(*self->GetWeight(0, 1), 12.0);
}

TEST(Network, InsertAndRemoveLayerRenumberLayersAndBlocks) {
    const int sizes[] = {2, 3, 1};
    TMLPNetwork net(3, sizes, true);
    NumberWeights(net, 0);
    std::vector<double> before = WeightVector(net, 0);

    net.InsertLayer(3, new TGainLayer(&net, 0, 2, 1.0));
    ASSERT_EQ(net.GetNumLayers(), 5);
    EXPECT_EQ(net.GetInLayer(), 1);
    EXPECT_EQ(net.GetOutLayer(), 4);
    EXPECT_EQ(net.GetLayer(3)->GetLayerNumber(), 3);
    EXPECT_EQ(net.GetLayer(3)->GetNeuron(1)->GetLayerNumber(), 3);
    EXPECT_EQ(net.GetLayer(4)->GetNeuron(0)->GetLayerNumber(), 4);
    for (int to = 0; to < 5; ++to) {
        for (int from = 0; from < 5; ++from) {
            TBasicConnections* block = net.GetConnections(from, to);
            EXPECT_EQ(block->GetFromLayer(), from);
            EXPECT_EQ(block->GetToLayer(), to);
            if (from == 3 || to == 3) {
                EXPECT_FALSE(block->IsConnected());
            }
        }
    }
    EXPECT_STREQ(net.GetConnections(2, 4)->GetConnectionsNType(), "Pruneable");
    EXPECT_EQ(WeightVector(net, 0), before);

    net.RemoveLayer(3);
    EXPECT_EQ(net.GetNumLayers(), 4);
    EXPECT_EQ(net.GetOutLayer(), 3);
    EXPECT_EQ(net.GetConnections(2, 3)->GetToLayer(), 3);
    EXPECT_EQ(WeightVector(net, 0), before);

    // Inserting below the input layer moves the input and output layers up.
    TBasicLayer* front = new TSimpleLayer(&net, 0, 1);
    front->SetActFunction(ActBias);
    net.InsertLayer(0, front);
    EXPECT_EQ(net.GetInLayer(), 2);
    EXPECT_EQ(net.GetOutLayer(), 4);
    const double input[] = {1.0, 2.0};
    double output = 0.0;
    net.Recall(input, &output);  // still a working network
    EXPECT_GT(output, 0.0);
}

TEST(Network, NeuronsAreNumberedAcrossLayers) {
    const int sizes[] = {2, 3, 1};
    TMLPNetwork net(3, sizes, true);
    ASSERT_EQ(net.GetNumNeurons(), 7);
    EXPECT_EQ(net.GetNeuron(0), net.GetLayer(0)->GetNeuron(0));
    EXPECT_EQ(net.GetNeuron(2), net.GetLayer(1)->GetNeuron(1));
    EXPECT_EQ(net.GetNeuron(5), net.GetLayer(2)->GetNeuron(2));
    EXPECT_EQ(net.GetNeuron(6), net.GetLayer(3)->GetNeuron(0));
}

TEST(NetworkDeathTest, PreconditionsOfReshapingAndCopying) {
    const int sizes[] = {2, 3, 1};
    TMLPNetwork net(3, sizes, true);
    EXPECT_DEATH(net.GetNeuron(7), "Assertion failed: index < GetNumNeurons\\(\\)");
    EXPECT_DEATH(net.AddNeuron(3, 0, 0.0, 0.0, true), "Assertion failed: LayerNum != outLayer");
    EXPECT_DEATH(net.RemoveNeuron(1, 0), "Assertion failed: LayerNum != inLayer");
    EXPECT_DEATH(net.RemoveNeuron(2, 3), "Assertion failed: node < layer->GetNumNeurons\\(\\)");
    EXPECT_DEATH(net.RemoveLayer(1), "Assertion failed: LayerNum != inLayer");
    EXPECT_DEATH(net.InsertLayer(5, new TSimpleLayer(&net, 5, 1)),
                 "Assertion failed: LayerNum <= numLayers");
    EXPECT_DEATH(net.NewInAllArcsIterator(), "Assertion failed: NewInAllArcsIterator");
    TBasicNetwork partial(2);
    partial.SetLayer(0, new TSimpleLayer(&partial, 0, 1));
    EXPECT_DEATH(TBasicNetwork copy(partial), "Assertion failed: x.layers\\[i\\] != nullptr");
}

struct MlpCase {
    bool bias;
    int layer0Neurons;
    int numWeights;
    std::vector<std::pair<int, int>> connected;  // (from, to)
};

TEST(MLPNetwork, CompleteConstructorBuildsTheStandardNetwork) {
    // With a bias: 2 * 3 + 3 * 1 weights between layers, plus 3 + 1 bias
    // weights = 13; without: 9.
    const MlpCase cases[] = {
        {true, 1, 13, {{1, 2}, {2, 3}, {0, 2}, {0, 3}}},
        {false, 0, 9, {{1, 2}, {2, 3}}},
    };
    const int sizes[] = {2, 3, 1};
    for (const MlpCase& c : cases) {
        TMLPNetwork net(3, sizes, c.bias);
        EXPECT_STREQ(net.GetNetworkType(), "MLP");
        EXPECT_EQ(net.HasBias(), c.bias);
        ASSERT_EQ(net.GetNumLayers(), 4);
        EXPECT_EQ(net.GetInLayer(), 1);
        EXPECT_EQ(net.GetOutLayer(), 3);
        const char* kinds[] = {"Simple", "Input", "Gain", "Gain"};
        const int counts[] = {c.layer0Neurons, 2, 3, 1};
        const ActFunction fns[] = {c.bias ? ActBias : ActNull, ActLinear, ActSigmoid, ActSigmoid};
        for (int i = 0; i < 4; ++i) {
            EXPECT_STREQ(net.GetLayer(i)->GetLayerType(), kinds[i]) << i;
            EXPECT_EQ(net.GetLayer(i)->GetNumNeurons(), counts[i]) << i;
            EXPECT_EQ(net.GetLayer(i)->GetActFunction(), fns[i]) << i;
        }
        for (int to = 0; to < 4; ++to) {
            for (int from = 0; from < 4; ++from) {
                bool expected = false;
                for (const auto& pair : c.connected) expected |= pair == std::make_pair(from, to);
                EXPECT_EQ(net.GetConnections(from, to)->IsConnected(), expected)
                    << from << "->" << to;
                if (expected) {
                    EXPECT_STREQ(net.GetConnections(from, to)->GetConnectionsNType(), "Pruneable");
                }
            }
        }
        EXPECT_EQ(net.GetNumWeights(0), c.numWeights);
        EXPECT_EQ(WeightVector(net, 0), std::vector<double>(static_cast<size_t>(c.numWeights), 0.0));
        const double input[] = {1.0, -1.0};
        double output = 0.0;
        net.Recall(input, &output);
        EXPECT_EQ(output, 0.5);  // all weights 0: sigmoid(0)
    }
}

TEST(MLPNetwork, ShellConstructorLeavesLayersToTheCaller) {
    TMLPNetwork net(4, false);
    EXPECT_EQ(net.GetNumLayers(), 5);
    EXPECT_EQ(net.GetInLayer(), 1);
    EXPECT_EQ(net.GetOutLayer(), 4);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(net.GetLayer(i), nullptr);
}

class ArcsTest : public ::testing::Test {
protected:
    ArcsTest() : net(3, sizes) {}

    static constexpr int sizes[3] = {1, 2, 3};
    TConnectedNetwork net;
};

TEST_F(ArcsTest, ConnectedNetworkLayersAndBlocks) {
    EXPECT_STREQ(net.GetNetworkType(), "Connected");
    EXPECT_STREQ(net.GetLayer(0)->GetLayerType(), "Simple");
    EXPECT_STREQ(net.GetLayer(1)->GetLayerType(), "Input");
    EXPECT_STREQ(net.GetLayer(2)->GetLayerType(), "Simple");
    EXPECT_EQ(net.GetLayer(1)->GetNumNeurons(), 2);
    net.Connect(1, 2);
    EXPECT_STREQ(net.GetConnections(1, 2)->GetConnectionsNType(), "FullyConnected");
    EXPECT_EQ(WeightVector(net, 0), std::vector<double>(6, 0.0));
}

TEST_F(ArcsTest, AllArcsIteratorWalksForwardAndBack) {
    net.Connect(1, 2);
    std::unique_ptr<TArcsIterator> arcs(net.NewInAllArcsIterator());
    auto* all = static_cast<TInAllArcsIterator*>(arcs.get());
    all->Init(2, 1);
    EXPECT_FALSE(all->IsValid());
    TBasicConnections* block = net.GetConnections(1, 2);
    std::vector<std::pair<int, int>> walked;
    while (all->Next()) {
        EXPECT_TRUE(all->IsValid());
        EXPECT_EQ(all->GetToLayer(), 2);
        EXPECT_EQ(all->GetToNeuron(), net.GetLayer(2)->GetNeuron(1));
        EXPECT_EQ(all->GetFromNeuron(), net.GetLayer(1)->GetNeuron(all->GetFromNode()));
        EXPECT_EQ(all->GetWeight(), block->GetWeight(all->GetFromNode(), 1));
        walked.emplace_back(all->GetFromLayer(), all->GetFromNode());
    }
    EXPECT_EQ(walked, (std::vector<std::pair<int, int>>{{1, 0}, {1, 1}}));
    EXPECT_FALSE(all->IsValid());
    EXPECT_FALSE(all->Next());

    // Past the end, Prev returns to the last arc; before the start, Next to
    // the first.
    ASSERT_TRUE(all->Prev());
    EXPECT_EQ(all->GetFromNode(), 1);
    ASSERT_TRUE(all->Prev());
    EXPECT_EQ(all->GetFromNode(), 0);
    EXPECT_FALSE(all->Prev());
    EXPECT_FALSE(all->Prev());
    ASSERT_TRUE(all->Next());
    EXPECT_EQ(all->GetFromLayer(), 1);
    EXPECT_EQ(all->GetFromNode(), 0);
}

TEST_F(ArcsTest, AllArcsIteratorCrossesBlocksAndSkipsUnconnectedOnes) {
    net.Connect(0, 2);
    net.Connect(2, 2);  // from the layer itself: walked like any other
    net.Connect(1, 2);
    TConnInAllArcsIterator all(&net);
    all.Init(2, 0);
    std::vector<std::pair<int, int>> walked;
    while (all.Next()) walked.emplace_back(all.GetFromLayer(), all.GetFromNode());
    EXPECT_EQ(walked, (std::vector<std::pair<int, int>>{
                          {0, 0}, {1, 0}, {1, 1}, {2, 0}, {2, 1}, {2, 2}}));
    std::vector<std::pair<int, int>> back;
    while (all.Prev()) back.emplace_back(all.GetFromLayer(), all.GetFromNode());
    EXPECT_EQ(back, (std::vector<std::pair<int, int>>{
                        {2, 2}, {2, 1}, {2, 0}, {1, 1}, {1, 0}, {0, 0}}));

    TConnInAllArcsIterator none(&net);
    none.Init(1, 0);  // nothing is connected into layer 1
    EXPECT_FALSE(none.Next());
    EXPECT_FALSE(none.CheckValid());
}

TEST_F(ArcsTest, LayerArcsIterator) {
    net.Connect(1, 2);
    TConnInLayerArcsIterator arcs(&net);
    arcs.Init(2, 2, 1);
    EXPECT_TRUE(arcs.CheckValid());
    ASSERT_TRUE(arcs.Next());
    EXPECT_EQ(arcs.GetFromNode(), 0);
    EXPECT_EQ(arcs.GetWeight(), net.GetConnections(1, 2)->GetWeight(0, 2));
    ASSERT_TRUE(arcs.Next());
    EXPECT_EQ(arcs.GetFromNode(), 1);
    EXPECT_EQ(arcs.GetFromNeuron(), net.GetLayer(1)->GetNeuron(1));
    EXPECT_FALSE(arcs.Next());
    ASSERT_TRUE(arcs.Prev());
    EXPECT_EQ(arcs.GetFromNode(), 0);
    EXPECT_FALSE(arcs.Prev());

    arcs.Init(2, 0, 0);  // pair (0, 2) is not connected: no arc
    EXPECT_FALSE(arcs.CheckValid());
    EXPECT_FALSE(arcs.Next());
}

}  // namespace
