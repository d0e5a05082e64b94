#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "KQmessage/TException.h"
#include "NeuralNets/TErrorObj.h"
#include "NeuralNets/TMLPNetwork.h"
#include "NetTestTools.h"
#include "TrainTestTools.h"

namespace {

// Bias, two inputs, one linear output: y = 0.5 + 2*x0 - x1. The data set
// has 10 row slots and holds 4 rows:
//   (1, 0) -> 2.5, target 2.5;  (0, 1) -> -0.5, target 0;
//   (1, 1) -> 1.5, target 1;    (2, 0) -> 4.5, target 4.
class MLPRecallTest : public ::testing::Test {
protected:
    MLPRecallTest() : net(2, true), data(10, 2, 1, false) {
        BuildNetwork(net, {{"Simple", 1, ActBias}, {"Input", 2, ActLinear}, {"Simple", 1, ActLinear}},
                     {{0, 2}, {1, 2}});
        SetWeightVector(net, {0.5, 2.0, -1.0});
        data.RewindCursor();
        const double rows[4][3] = {{1, 0, 2.5}, {0, 1, 0}, {1, 1, 1}, {2, 0, 4}};
        for (const auto& row : rows) data.AppendRow(row, row + 2, nullptr);
    }

    static double Output(Data& d, int row) {
        double value = 0.0;
        d.GetOutputDatum(row, 0, &value);
        return value;
    }

    TMLPNetwork net;
    Data data;
};

TEST_F(MLPRecallTest, RecallOutputOnlyGivesOneRowPerStoredRow) {
    Data* out = nullptr;
    net.RecallOutputOnly(&data, &out);
    std::unique_ptr<Data> owned(out);
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(4, out->GetNumRows());
    EXPECT_EQ(4, out->GetNumDataRows());
    EXPECT_EQ(0, out->GetNumInputs());
    const double expected[] = {2.5, -0.5, 1.5, 4.5};
    for (int row = 0; row < 4; ++row) EXPECT_EQ(expected[row], Output(*out, row)) << row;
}

// RecallData reads as many rows as the data set has slots: the cursor wraps
// after the 4 stored rows, so rows 4..7 repeat 0..3 and rows 8, 9 repeat 0, 1.
TEST_F(MLPRecallTest, RecallDataReadsEverySlot) {
    std::unique_ptr<Data> out(net.RecallData(&data));
    EXPECT_EQ(10, out->GetNumRows());
    EXPECT_EQ(10, out->GetNumDataRows());
    EXPECT_EQ(2, out->GetNumInputs());
    const double expected[] = {2.5, -0.5, 1.5, 4.5};
    for (int row = 0; row < 10; ++row) EXPECT_EQ(expected[row % 4], Output(*out, row)) << row;
    double x1 = -1.0;
    out->GetInputDatum(9, 1, &x1);
    EXPECT_EQ(1.0, x1);  // row 9 is stored row 1, inputs (0, 1)
}

// Squared differences over the 10 rows read: 0, 0.25, 0.25, 0.25 twice,
// then 0, 0.25: RMS sqrt(1.75 / 1 / 10). A second call with the same
// measure doubles sum and count: the same value.
TEST_F(MLPRecallTest, CalcDataErrorAddsToTheMeasure) {
    TErrorRMSObj rms(1);
    EXPECT_EQ(std::sqrt(1.75 / 10), net.CalcDataError(&data, &rms));
    EXPECT_EQ(std::sqrt(3.5 / 20), net.CalcDataError(&data, &rms));
}

// With every output 0.5 each row adds ln 2 to the cross-entropy sum: 10 ln 2,
// then 20 ln 2.
TEST_F(MLPRecallTest, CalcDataErrorCrossEntropyKeepsGrowing) {
    SetWeightVector(net, {0.5, 0.0, 0.0});
    TErrorCrossEntropyObj ce(1);
    const double first = net.CalcDataError(&data, &ce);
    EXPECT_DOUBLE_EQ(10 * std::log(2.0), first);
    EXPECT_DOUBLE_EQ(2 * first, net.CalcDataError(&data, &ce));
}

TEST_F(MLPRecallTest, RecallOutputOnlyWithoutDataThrows) {
    Data* out = &data;
    try {
        net.RecallOutputOnly(nullptr, &out);
        FAIL() << "no exception";
    } catch (const TException& e) {
        EXPECT_STREQ("Null data pointer", e.GetMessage());
        EXPECT_STREQ("Null Pointer Parameter", e.GetType());
        EXPECT_STREQ("TVarn::RecallOutputOnly", e.GetLocation());
        EXPECT_EQ(nullptr, e.GetTree());
    }
    EXPECT_EQ(&data, out);
}

// A data set with slots but no stored rows: RecallOutputOnly has nothing to
// do; the two operations that read every slot fail in the data set, leaving
// no partial result behind.
TEST_F(MLPRecallTest, DataSetWithoutRows) {
    Data empty(3, 2, 1, false);
    Data* out = nullptr;
    net.RecallOutputOnly(&empty, &out);
    std::unique_ptr<Data> owned(out);
    EXPECT_EQ(0, out->GetNumRows());
    EXPECT_THROW(delete net.RecallData(&empty), TException);
    TErrorRMSObj rms(1);
    EXPECT_THROW(net.CalcDataError(&empty, &rms), TException);
}

}  // namespace
