#include <gtest/gtest.h>

#include <vector>

#include "NeuralNets/TBasicNetwork.h"
#include "NetTestTools.h"

namespace {

// Every neuron sits at its place: index, layer number, owner, own cell.
void ExpectPlaced(TBasicLayer* layer) {
    for (int i = 0; i < layer->GetNumNeurons(); ++i) {
        TBasicNeuron* neuron = layer->GetNeuron(i);
        EXPECT_EQ(neuron->GetIndex(), i);
        EXPECT_EQ(neuron->GetLayerNumber(), layer->GetLayerNumber());
        EXPECT_EQ(neuron->GetLayer(), layer);
        EXPECT_EQ(neuron->GetOutput(), layer->GetValues() + i);
    }
}

double Gain(TBasicLayer* layer, int i) {
    double gain = 0.0;
    layer->GetNeuron(i)->GetParameters(&gain);
    return gain;
}

TEST(Layer, EmptyLayerReportsNullFunctionAndComputesNothing) {
    TBasicNetwork net(3);
    StoreSimpleLayers(net, {1, 1, 0});
    TBasicLayer* empty = net.GetLayer(2);
    EXPECT_EQ(empty->GetActFunction(), ActNull);
    EXPECT_EQ(empty->GetActFunction(), ActNull);
    empty->Compute(nullptr);
    EXPECT_EQ(empty->GetNumNeurons(), 0);
}

TEST(Layer, CommonFunctionFollowsTheNeurons) {
    LayerHolder layer(new TSimpleLayer(nullptr, 2, 3));
    EXPECT_EQ(layer->GetActFunction(), ActError);  // nothing set yet
    for (int i = 0; i < 3; ++i) layer->GetNeuron(i)->SetActFunction(ActSigmoid);
    EXPECT_EQ(layer->GetActFunction(), ActSigmoid);
    layer->GetNeuron(1)->SetActFunction(ActTanh);
    EXPECT_EQ(layer->GetActFunction(), nullptr);

    // Setting the layer's function and then one neuron's: the answer is
    // recomputed, not the stale cached one.
    layer->SetActFunction(ActLinear);
    EXPECT_EQ(layer->GetActFunction(), ActLinear);
    layer->GetNeuron(2)->SetActFunction(ActBias);
    EXPECT_EQ(layer->GetActFunction(), nullptr);
}

TEST(Layer, ActivateUsesEachNeuronsFunction) {
    LayerHolder layer(new TSimpleLayer(nullptr, 0, 3));
    layer->SetActFunction(ActLinear);
    layer->GetNeuron(0)->SetActFunction(ActBias);
    layer->GetNeuron(2)->SetActFunction(ActSaturatedLinear);
    double* cells = layer->GetValues();
    cells[0] = 5.0;
    cells[1] = -2.0;
    cells[2] = 7.0;
    layer->Activate(cells);  // in place, as in the forward step
    EXPECT_EQ(cells[0], 1.0);
    EXPECT_EQ(cells[1], -2.0);
    EXPECT_EQ(cells[2], 1.0);
}

TEST(Layer, CloneOfGainLayerCopiesFunctionsGainsAndShapeButNotValues) {
    TBasicNetwork owner(1);
    LayerHolder layer(new TGainLayer(nullptr, 2, 3, 1.0));
    layer->SetActFunction(ActSigmoidGain);
    layer->GetNeuron(1)->SetActFunction(ActTanhGain);
    const double gains[] = {0.5, 2.0, -3.0};
    for (int i = 0; i < 3; ++i) layer->GetNeuron(i)->SetParameters(&gains[i]);
    const int dims[] = {3, 1};
    layer->SetDimensions(2, dims);
    layer->GetValues()[1] = 9.0;

    LayerHolder copy(layer->Clone(&owner));
    EXPECT_STREQ(copy->GetLayerType(), "Gain");
    EXPECT_EQ(copy->GetNetwork(), &owner);
    EXPECT_EQ(copy->GetLayerNumber(), 2);
    ExpectPlaced(copy.get());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Gain(copy.get(), i), gains[i]);
        EXPECT_EQ(copy->GetNeuron(i)->GetActFunction(), layer->GetNeuron(i)->GetActFunction());
        EXPECT_EQ(copy->GetValues()[i], 0.0);
    }
    int copiedDims[2] = {0, 0};
    ASSERT_EQ(copy->GetNumDimensions(), 2);
    copy->GetDimensions(copiedDims);
    EXPECT_EQ(copiedDims[0], 3);
    EXPECT_EQ(copiedDims[1], 1);

    // The copy shares nothing.
    const double other = 8.0;
    copy->GetNeuron(0)->SetParameters(&other);
    EXPECT_EQ(Gain(layer.get(), 0), 0.5);
}

TEST(Layer, CloneKeepsTheKindOfEveryLayer) {
    TBasicNetwork owner(2);
    LayerHolder simple(new TSimpleLayer(nullptr, 0, 2));
    LayerHolder input(new TSimpleInputLayer(nullptr, 1, 2));
    LayerHolder simpleCopy(simple->Clone(&owner));
    LayerHolder inputCopy(input->Clone(&owner));
    EXPECT_STREQ(simpleCopy->GetLayerType(), "Simple");
    EXPECT_STREQ(inputCopy->GetLayerType(), "Input");
    EXPECT_EQ(inputCopy->GetActFunction(), ActLinear);
    ExpectPlaced(inputCopy.get());
}

TEST(Layer, RemoveNeuronShiftsTheLaterNeuronsDown) {
    LayerHolder layer(new TSimpleLayer(nullptr, 1, 3));
    layer->GetNeuron(0)->SetActFunction(ActLinear);
    layer->GetNeuron(1)->SetActFunction(ActSigmoid);
    layer->GetNeuron(2)->SetActFunction(ActTanh);
    layer->RemoveNeuron(0);
    ASSERT_EQ(layer->GetNumNeurons(), 2);
    EXPECT_EQ(layer->GetNeuron(0)->GetActFunction(), ActSigmoid);
    EXPECT_EQ(layer->GetNeuron(1)->GetActFunction(), ActTanh);
    ExpectPlaced(layer.get());
}

TEST(Layer, InsertNeuronIntoGainLayerTakesGainOfNeuronZero) {
    LayerHolder layer(new TGainLayer(nullptr, 1, 2, 1.0));
    layer->SetActFunction(ActSigmoidGain);
    const double gains[] = {2.5, 4.0};
    layer->GetNeuron(0)->SetParameters(&gains[0]);
    layer->GetNeuron(1)->SetParameters(&gains[1]);
    layer->InsertNeuron(1);
    ASSERT_EQ(layer->GetNumNeurons(), 3);
    EXPECT_EQ(Gain(layer.get(), 0), 2.5);
    EXPECT_EQ(Gain(layer.get(), 1), 2.5);  // the new neuron
    EXPECT_EQ(Gain(layer.get(), 2), 4.0);
    EXPECT_EQ(layer->GetNeuron(1)->GetActFunction(), ActSigmoidGain);
    ExpectPlaced(layer.get());
}

TEST(Layer, InsertedNeuronGetsCommonFunctionOrNone) {
    // Mixed functions: the new neuron has no function yet.
    LayerHolder mixed(new TSimpleLayer(nullptr, 1, 2));
    mixed->GetNeuron(0)->SetActFunction(ActLinear);
    mixed->GetNeuron(1)->SetActFunction(ActTanh);
    mixed->InsertNeuron(2);
    EXPECT_EQ(mixed->GetNeuron(2)->GetActFunction(), ActError);

    // An empty layer reports ActNull, which is never given to a neuron.
    LayerHolder empty(new TGainLayer(nullptr, 1, 0, 1.0));
    EXPECT_EQ(empty->GetActFunction(), ActNull);
    empty->InsertNeuron(0);
    EXPECT_EQ(empty->GetNeuron(0)->GetActFunction(), ActError);
    EXPECT_EQ(Gain(empty.get(), 0), 1.0);
    EXPECT_EQ(empty->GetActFunction(), ActError);
}

TEST(Neuron, ParametersOfPlainAndGainNeurons) {
    LayerHolder simple(new TSimpleLayer(nullptr, 0, 1));
    LayerHolder gain(new TGainLayer(nullptr, 0, 1, 1.5));
    EXPECT_EQ(simple->GetNeuron(0)->GetNumParameters(), 0);
    EXPECT_EQ(gain->GetNeuron(0)->GetNumParameters(), 1);
    EXPECT_STREQ(gain->GetNeuron(0)->GetParameterName(0), "Gain");
    EXPECT_EQ(Gain(gain.get(), 0), 1.5);
    gain->GetNeuron(0)->SetActFunction(ActLinearGain);
    gain->GetNeuron(0)->Activate(4.0);  // 1.5 * 4
    EXPECT_EQ(gain->GetValues()[0], 6.0);
}

TEST(NeuronDeathTest, ParameterNamesOutsideTheParameters) {
    LayerHolder simple(new TSimpleLayer(nullptr, 0, 1));
    LayerHolder gain(new TGainLayer(nullptr, 0, 1, 1.0));
    EXPECT_DEATH(simple->GetNeuron(0)->GetParameterName(0), "Assertion failed");
    EXPECT_DEATH(gain->GetNeuron(0)->GetParameterName(1), "Assertion failed: i == 0");
}

}  // namespace
