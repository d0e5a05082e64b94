#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "DataObject/Data.h"
#include "KQmessage/TException.h"

namespace {

// Runs action and checks the TException it must throw.
void ExpectBadParameter(const std::function<void()>& action, const char* message,
                        const char* location) {
    try {
        action();
        ADD_FAILURE() << "no exception, expected " << message << " at " << location;
    } catch (const TException& e) {
        EXPECT_STREQ(e.GetMessage(), message) << location;
        EXPECT_STREQ(e.GetType(), "Bad Parameter") << location;
        EXPECT_STREQ(e.GetLocation(), location);
        EXPECT_EQ(e.GetTree(), nullptr);
    }
}

// Appends rows whose single input is the row's number and whose single
// output is ten times that, so each delivered row names itself.
std::unique_ptr<Data> NumberedRows(int capacity, int appended) {
    auto data = std::make_unique<Data>(capacity, 1, 1, false);
    for (int r = 0; r < appended; ++r) {
        double in = r;
        double out = 10.0 * r;
        data->AppendRow(&in, &out, nullptr);
    }
    return data;
}

// The inputs delivered by count calls of GetNextRow (or GetPreviousRow).
std::vector<double> Walk(Data& data, int count, bool forward = true) {
    std::vector<double> seen;
    for (int i = 0; i < count; ++i) {
        double in = -1.0;
        double out = -1.0;
        if (forward) {
            data.GetNextRow(&in, &out, nullptr);
        } else {
            data.GetPreviousRow(&in, &out);
        }
        EXPECT_EQ(out, 10.0 * in);
        seen.push_back(in);
    }
    return seen;
}

using Values = std::vector<double>;

}  // namespace

TEST(DataTest, NewDataSetIsEmptyAndEveryCellIsZero) {
    Data data(3, 2, 1, false);
    EXPECT_EQ(data.GetNumRows(), 3);
    EXPECT_EQ(data.GetNumInputs(), 2);
    EXPECT_EQ(data.GetNumOutputs(), 1);
    EXPECT_EQ(data.GetNumDataRows(), 0);
    EXPECT_EQ(data.GetChanges(), 0);
    EXPECT_EQ(data.GetCursor(), 0);
    double value = -1.0;
    data.GetInputDatum(2, 1, &value);
    EXPECT_EQ(value, 0.0);
    data.GetOutputDatum(1, 0, &value);
    EXPECT_EQ(value, 0.0);
    double row[2] = {-1.0, -1.0};
    data.GetInputRow(0, row);
    EXPECT_EQ(Values(row, row + 2), Values({0.0, 0.0}));
}

TEST(DataTest, NegativeCapacityIsRejected) {
    ExpectBadParameter([] { Data data(-1, 1, 1, false); }, "Invalid Row Count", "Data::Data");
}

// ---- Ring and cursor ------------------------------------------------------

TEST(DataRingTest, FullRingIsReadOldestFirstAndWraps) {
    auto data = NumberedRows(3, 3);
    EXPECT_EQ(data->GetFirstRow(), 0);
    EXPECT_EQ(data->GetLastRow(), 2);
    data->RewindCursor();
    EXPECT_EQ(Walk(*data, 4), Values({0, 1, 2, 0}));
}

TEST(DataRingTest, FourthAppendOverwritesTheOldestSlot) {
    auto data = NumberedRows(3, 4);
    EXPECT_EQ(data->GetNumDataRows(), 3);
    EXPECT_EQ(data->GetFirstRow(), 1);
    EXPECT_EQ(data->GetLastRow(), 0);
    double in = -1.0;
    data->GetInputDatum(0, 0, &in);
    EXPECT_EQ(in, 3.0);
    // Stored rows oldest first: slot 1 (row 1), slot 2 (row 2), slot 0 (row 3).
    data->RewindCursor();
    EXPECT_EQ(Walk(*data, 4), Values({1, 2, 3, 1}));
    EXPECT_EQ(Walk(*data, 4, false), Values({3, 2, 1, 3}));
}

TEST(DataRingTest, WrappedRingAcceptsEverySlotAsRow) {
    auto data = NumberedRows(4, 6);
    for (int row = 0; row < 4; ++row) EXPECT_TRUE(data->IsValidRow(row)) << row;
    EXPECT_FALSE(data->IsValidRow(-1));
    EXPECT_FALSE(data->IsValidRow(4));
}

TEST(DataRingTest, PartlyFilledRingCyclesOverStoredRowsOnly) {
    auto data = NumberedRows(5, 3);
    data->RewindCursor();
    EXPECT_EQ(Walk(*data, 4), Values({0, 1, 2, 0}));
    // Backwards from the oldest row wraps to the newest.
    EXPECT_EQ(Walk(*data, 4, false), Values({2, 1, 0, 2}));
}

TEST(DataRingTest, MoveCursorStepsThroughStoredRowsInBothDirections) {
    // Capacity 4, rows 0..5 appended: slots hold 4 5 2 3, oldest first 2 3 4 5.
    auto data = NumberedRows(4, 6);
    data->RewindCursor();  // on the newest row, 5
    struct Case {
        int step;
        double row;  // the row the cursor stands on afterwards
    };
    // From 5: +1 -> 2; +2 -> 4; -3 -> 5; +9 (9 mod 4 = 1) -> 2; -6 (-6 mod 4 = 2) -> 4.
    const Case cases[] = {{1, 2}, {2, 4}, {-3, 5}, {9, 2}, {-6, 4}};
    for (const Case& c : cases) {
        data->MoveCursor(c.step);
        double in = -1.0;
        data->GetCurrentRow(&in, nullptr, nullptr);
        EXPECT_EQ(in, c.row) << "step " << c.step;
    }
}

TEST(DataRingTest, LargeStepsOnPartlyFilledRingStayOnStoredRows) {
    auto data = NumberedRows(10, 3);
    data->RewindCursor();  // row 2
    data->MoveCursor(7);   // 2 + 7 = 9, 9 mod 3 = 0
    double in = -1.0;
    data->GetCurrentRow(&in, nullptr, nullptr);
    EXPECT_EQ(in, 0.0);
    data->MoveCursor(-4);  // 0 - 4 = -4, -4 mod 3 = 2
    data->GetCurrentRow(&in, nullptr, nullptr);
    EXPECT_EQ(in, 2.0);
}

TEST(DataRingTest, SingleRowIsAlwaysDelivered) {
    auto data = NumberedRows(1, 1);
    data->RewindCursor();
    EXPECT_EQ(Walk(*data, 3), Values({0, 0, 0}));
    EXPECT_EQ(Walk(*data, 2, false), Values({0, 0}));
    auto overwritten = NumberedRows(1, 2);
    EXPECT_EQ(Walk(*overwritten, 2), Values({1, 1}));
}

TEST(DataRingTest, ReadingWithoutStoredRowsThrows) {
    Data empty(3, 1, 1, false);
    Data none(0, 1, 1, false);
    double in = 0.0;
    for (Data* data : {&empty, &none}) {
        ExpectBadParameter([&] { data->GetNextRow(&in, nullptr, nullptr); }, "Empty Data Set",
                           "Data::GetNextRow");
        ExpectBadParameter([&] { data->GetPreviousRow(&in, nullptr); }, "Empty Data Set",
                           "Data::GetPreviousRow");
        ExpectBadParameter([&] { data->GetCurrentRow(&in, nullptr, nullptr); }, "Empty Data Set",
                           "Data::GetCurrentRow");
        ExpectBadParameter([&] { data->MoveCursor(1); }, "Empty Data Set", "Data::MoveCursor");
    }
    ExpectBadParameter([&] { none.AppendRow(&in, &in, nullptr); }, "Invalid Data Row",
                       "Data::AppendRow");
    EXPECT_EQ(none.GetChanges(), 0);
}

TEST(DataRingTest, AppendRowsTakesRowArrays) {
    double in[2][2] = {{1, 2}, {3, 4}};
    double out[2][1] = {{5}, {6}};
    const double* inputs[2] = {in[0], in[1]};
    const double* outputs[2] = {out[0], out[1]};
    TLabelList labels[2] = {TLabelList("a", 1.0), TLabelList("b", 2.0)};
    Data data(2, 2, 1, true);
    data.AppendRows(inputs, outputs, 2, labels);
    double value = 0.0;
    data.GetInputDatum(1, 1, &value);
    EXPECT_EQ(value, 4.0);
    data.GetOutputDatum(1, 0, &value);
    EXPECT_EQ(value, 6.0);
    const TLabelList* list = nullptr;
    data.GetLabels(1, &list);
    ASSERT_EQ(list->GetCount(), 1);
    EXPECT_STREQ(list->GetLabel(0).GetName(), "b");
}

// ---- Change counter --------------------------------------------------------

TEST(DataTest, ChangeCounterCountsEveryModification) {
    double in[2] = {1, 2};
    double out = 3;
    Data plain(2, 2, 1, false);
    plain.AppendRow(in, &out, nullptr);  // AppendRow 1 + SetRow 1
    EXPECT_EQ(plain.GetChanges(), 2);
    plain.SetInputDatum(0, 1, 5.0);
    plain.SetOutputDatum(0, 0, 5.0);
    plain.SetRow(1, in, nullptr, nullptr);
    EXPECT_EQ(plain.GetChanges(), 5);

    Data labelled(2, 2, 1, true);
    labelled.AppendRow(in, &out, nullptr);  // AppendRow 1 + SetRow 1 + SetLabels 1
    EXPECT_EQ(labelled.GetChanges(), 3);
    labelled.AppendLabel(0, 1.0, "x");
    labelled.ClearLabels(0);
    labelled.SetLabels(0, nullptr);
    EXPECT_EQ(labelled.GetChanges(), 6);

    // A failed call changes nothing.
    EXPECT_THROW(labelled.SetInputDatum(0, 2, 1.0), TException);
    EXPECT_EQ(labelled.GetChanges(), 6);
}

// ---- Argument checks -------------------------------------------------------

TEST(DataTest, BadRowsAndColumnsThrowTheirThreeTexts) {
    Data data(3, 4, 2, true);
    double v = 0.0;
    double row[4] = {};
    int column = 0;
    const TLabelList* list = nullptr;
    TLabelList labels("x", 1.0);
    for (int bad : {-1, 3}) {
        SCOPED_TRACE(bad);
        ExpectBadParameter([&] { data.GetInputDatum(bad, 0, &v); }, "Invalid Data Row",
                           "Data::GetInputDatum");
        ExpectBadParameter([&] { data.GetOutputDatum(bad, 0, &v); }, "Invalid Data Row",
                           "Data::GetOutputDatum");
        ExpectBadParameter([&] { data.SetInputDatum(bad, 0, v); }, "Invalid Data Row",
                           "Data::SetInputDatum");
        ExpectBadParameter([&] { data.SetOutputDatum(bad, 0, v); }, "Invalid Data Row",
                           "Data::SetOutputDatum");
        ExpectBadParameter([&] { data.GetLabels(bad, &list); }, "Invalid Data Row",
                           "Data::GetLabels");
        ExpectBadParameter([&] { data.SetLabels(bad, &labels); }, "Invalid Data Row",
                           "Data::SetLabels");
        ExpectBadParameter([&] { data.ClearLabels(bad); }, "Invalid Data Row",
                           "Data::ClearLabels");
        ExpectBadParameter([&] { data.AppendLabel(bad, 1.0, "x"); }, "Invalid Data Row",
                           "Data::AppendLabel");
        ExpectBadParameter([&] { data.SetRow(bad, row, row, nullptr); }, "Invalid Data Row",
                           "Data::SetRow");
        ExpectBadParameter([&] { data.GetInputRow(bad, row); }, "Invalid Data Row",
                           "Data::GetInputRow");
        ExpectBadParameter([&] { data.GetInputRow(bad, row, 1, &column); }, "Invalid Data Row",
                           "Data::GetInputRow");
        ExpectBadParameter([&] { data.GetOutputRow(bad, row); }, "Invalid Data Row",
                           "Data::GetOutputRow");
        ExpectBadParameter([&] { data.GetOutputRow(bad, row, 1, &column); }, "Invalid Data Row",
                           "Data::GetOutputRow");
    }
    // Columns: 4 inputs (0..3) and 2 outputs (0..1).
    for (int bad : {-1, 4}) {
        ExpectBadParameter([&] { data.GetInputDatum(0, bad, &v); }, "Invalid Input Data Column",
                           "Data::GetInputDatum");
        ExpectBadParameter([&] { data.SetInputDatum(0, bad, v); }, "Invalid Input Data Column",
                           "Data::SetInputDatum");
        ExpectBadParameter([&] { data.GetInputRow(0, row, 1, &bad); },
                           "Invalid Input Data Column", "Data::GetInputRow");
    }
    for (int bad : {-1, 2}) {
        ExpectBadParameter([&] { data.GetOutputDatum(0, bad, &v); },
                           "Invalid Output Data Column", "Data::GetOutputDatum");
        ExpectBadParameter([&] { data.SetOutputDatum(0, bad, v); },
                           "Invalid Output Data Column", "Data::SetOutputDatum");
        ExpectBadParameter([&] { data.GetOutputRow(0, row, 1, &bad); },
                           "Invalid Output Data Column", "Data::GetOutputRow");
    }
    // The row is tested before the column.
    ExpectBadParameter([&] { data.GetInputDatum(3, 4, &v); }, "Invalid Data Row",
                       "Data::GetInputDatum");
}

TEST(DataTest, CellsAndSelectingRowReadsSeeWrittenValues) {
    Data data(2, 3, 2, false);
    data.SetInputDatum(1, 2, 7.5);
    data.SetOutputDatum(1, 1, -2.0);
    double in[3] = {};
    data.GetInputRow(1, in);
    EXPECT_EQ(Values(in, in + 3), Values({0.0, 0.0, 7.5}));
    int columns[2] = {2, 0};
    double picked[2] = {};
    data.GetInputRow(1, picked, 2, columns);
    EXPECT_EQ(Values(picked, picked + 2), Values({7.5, 0.0}));
    int outColumns[1] = {1};
    data.GetOutputRow(1, picked, 1, outColumns);
    EXPECT_EQ(picked[0], -2.0);
}

TEST(DataTest, NonFiniteValuesAreKept) {
    const double inf = std::numeric_limits<double>::infinity();
    double in[2] = {std::nan(""), -inf};
    double out = inf;
    Data data(1, 2, 1, false);
    data.AppendRow(in, &out, nullptr);
    double v = 0.0;
    data.GetInputDatum(0, 0, &v);
    EXPECT_TRUE(std::isnan(v));
    data.GetInputDatum(0, 1, &v);
    EXPECT_EQ(v, -inf);
    data.GetOutputDatum(0, 0, &v);
    EXPECT_EQ(v, inf);
}

// ---- Column selection ------------------------------------------------------

TEST(DataSelectionTest, InputSelectionDeliversColumnsInSelectionOrder) {
    double in[4] = {10, 11, 12, 13};
    double out[2] = {20, 21};
    Data data(1, 4, 2, false);
    data.AppendRow(in, out, nullptr);
    int columns[2] = {3, 0};
    data.SetInputFeatures(2, columns);
    EXPECT_EQ(data.GetNumSelectedInputs(), 2);
    EXPECT_EQ(data.GetNumSelectedOutputs(), 2);
    double gotIn[4] = {-1, -1, -1, -1};
    double gotOut[2] = {};
    data.RewindCursor();
    data.GetNextRow(gotIn, gotOut, nullptr);
    EXPECT_EQ(Values(gotIn, gotIn + 4), Values({13, 10, -1, -1}));
    EXPECT_EQ(Values(gotOut, gotOut + 2), Values({20, 21}));

    int count = 0;
    int* copy = nullptr;
    data.GetInputFeatures(&count, &copy);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(copy[0], 3);
    EXPECT_EQ(copy[1], 0);
    delete[] copy;

    // A count of 0 removes the selection.
    data.SetInputFeatures(0, nullptr);
    EXPECT_EQ(data.GetNumSelectedInputs(), 4);
    data.GetNextRow(gotIn, nullptr, nullptr);
    EXPECT_EQ(Values(gotIn, gotIn + 4), Values({10, 11, 12, 13}));
}

TEST(DataSelectionTest, OutputSelectionAppliesWithOrWithoutInputSelection) {
    double in[2] = {1, 2};
    double out[3] = {5, 6, 7};
    Data data(1, 2, 3, false);
    data.AppendRow(in, out, nullptr);
    int outColumns[2] = {2, 2};
    data.SetFeatures(0, nullptr, 2, outColumns);
    EXPECT_EQ(data.GetNumSelectedOutputs(), 2);
    double gotIn[2] = {};
    double gotOut[3] = {-1, -1, -1};
    data.GetCurrentRow(gotIn, gotOut, nullptr);
    EXPECT_EQ(Values(gotIn, gotIn + 2), Values({1, 2}));
    EXPECT_EQ(Values(gotOut, gotOut + 3), Values({7, 7, -1}));
}

TEST(DataSelectionTest, BadSelectionsAreRejectedAndLeaveTheSelection) {
    Data data(1, 4, 1, false);
    int kept[1] = {2};
    data.SetInputFeatures(1, kept);
    struct Case {
        std::vector<int> columns;
        int count;
        const char* message;
    };
    const Case cases[] = {
        {{4}, 1, "Invalid Input Data Column"},
        {{0, -1}, 2, "Invalid Input Data Column"},
        {{0, 1, 2, 3, 0}, 5, "Invalid Feature Count"},  // more than the 4 inputs
        {{}, -1, "Invalid Feature Count"},
        {{}, 1, "Invalid Feature Count"},  // no column list
    };
    for (const Case& c : cases) {
        const int* columns = c.columns.empty() ? nullptr : c.columns.data();
        ExpectBadParameter([&] { data.SetInputFeatures(c.count, columns); }, c.message,
                           "Data::SetInputFeatures");
    }
    int outBad[1] = {1};
    ExpectBadParameter([&] { data.SetFeatures(0, nullptr, 1, outBad); },
                       "Invalid Output Data Column", "Data::SetFeatures");
    int count = 0;
    int* copy = nullptr;
    data.GetInputFeatures(&count, &copy);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(copy[0], 2);
    delete[] copy;
}

// ---- Labels ----------------------------------------------------------------

TEST(DataLabelTest, AppendLabelAddsToTheSameNameOnly) {
    Data data(1, 0, 0, true);
    data.AppendLabel(0, 1.0, "a");
    data.AppendLabel(0, 1.0, "a");
    data.AppendLabel(0, 2.5, "b");
    data.AppendLabel(0, 4.0, "A");  // letter case makes a new label
    const TLabelList* list = nullptr;
    data.GetLabels(0, &list);
    ASSERT_EQ(list->GetCount(), 3);
    EXPECT_STREQ(list->GetLabel(0).GetName(), "a");
    EXPECT_EQ(list->GetLabel(0).GetValue(), 2.0);
    EXPECT_STREQ(list->GetLabel(1).GetName(), "b");
    EXPECT_EQ(list->GetLabel(1).GetValue(), 2.5);
    EXPECT_STREQ(list->GetLabel(2).GetName(), "A");
}

TEST(DataLabelTest, LabelsAreCopiedAndCleared) {
    Data data(3, 1, 0, true);
    TLabelList source("cat", 1.0);
    double in = 1.0;
    data.AppendRow(&in, nullptr, &source);
    source.AppendLabel("dog", 0.5);  // the data set holds its own copy
    const TLabelList* list = nullptr;
    data.GetLabels(0, &list);
    EXPECT_EQ(list->GetCount(), 1);

    // A list of the data set itself can be copied to a slot far beyond the
    // rows written so far.
    data.SetLabels(2, list);
    data.GetLabels(2, &list);
    ASSERT_EQ(list->GetCount(), 1);
    EXPECT_STREQ(list->GetLabel(0).GetName(), "cat");
    data.GetLabels(0, &list);
    data.AppendLabel(1, 3.0, list->GetLabel(0).GetName());

    // SetRow with no labels clears them; so does ClearLabels.
    data.SetRow(0, &in, nullptr, nullptr);
    data.GetLabels(0, &list);
    EXPECT_EQ(list->GetCount(), 0);
    data.ClearLabels(2);
    data.GetLabels(2, &list);
    EXPECT_EQ(list->GetCount(), 0);
    data.GetLabels(1, &list);
    EXPECT_EQ(list->GetCount(), 1);
}

TEST(DataLabelTest, DataSetWithoutLabels) {
    Data data(2, 1, 1, false);
    TLabelList sentinel;
    const TLabelList* list = &sentinel;
    data.GetLabels(0, &list);
    EXPECT_EQ(list, nullptr);
    TLabelList labels("x", 1.0);
    double in = 1.0;
    data.AppendRow(&in, &in, &labels);  // labels ignored
    data.RewindCursor();
    list = &labels;
    data.GetNextRow(nullptr, nullptr, &list);
    EXPECT_EQ(list, nullptr);
    ExpectBadParameter([&] { data.SetLabels(0, &labels); }, "Data Set Has No Labels",
                       "Data::SetLabels");
    ExpectBadParameter([&] { data.ClearLabels(0); }, "Data Set Has No Labels",
                       "Data::ClearLabels");
    ExpectBadParameter([&] { data.AppendLabel(0, 1.0, "x"); }, "Data Set Has No Labels",
                       "Data::AppendLabel");
}

TEST(DataLabelTest, LabelListCopiesAreDeep) {
    TLabelList a("x", 1.0);
    TLabelList b(a);
    b.AppendLabel("y", 2.0);
    a = b;
    b.AppendLabel("x", 5.0);
    ASSERT_EQ(a.GetCount(), 2);
    EXPECT_EQ(a.GetLabel(0).GetValue(), 1.0);
    EXPECT_EQ(b.GetLabel(0).GetValue(), 6.0);
    const TLabelList& same = a;
    a = same;
    EXPECT_EQ(a.GetCount(), 2);
}

// ---- Blocks, clones, capacity ----------------------------------------------

TEST(DataTest, GetBlockClipsAtTheNewestRow) {
    auto data = NumberedRows(3, 3);
    double in[10][1] = {};
    double out[10][1] = {};
    double* inputs[10];
    double* outputs[10];
    for (int i = 0; i < 10; ++i) {
        inputs[i] = in[i];
        outputs[i] = out[i];
    }
    int count = -1;
    data->GetBlock(inputs, outputs, 1, 10, &count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(in[0][0], 1.0);
    EXPECT_EQ(in[1][0], 2.0);
    EXPECT_EQ(out[1][0], 20.0);
    data->GetBlock(inputs, outputs, 2, 1, &count);
    EXPECT_EQ(count, 0);
    count = -1;
    ExpectBadParameter([&] { data->GetBlock(inputs, outputs, 3, 5, &count); },
                       "Data Block Fault", "Data::GetBlock");
    EXPECT_EQ(count, 0);
}

TEST(DataTest, CloneIsDeepAndKeepsStateAndSelection) {
    Data data(4, 2, 1, true);
    for (int r = 0; r < 5; ++r) {
        double in[2] = {double(r), 100.0 + r};
        double out = -r;
        TLabelList labels("row", r);
        data.AppendRow(in, &out, &labels);
    }
    int columns[1] = {1};
    data.SetInputFeatures(1, columns);
    data.RewindCursor();
    data.MoveCursor(2);
    std::unique_ptr<Data> copy(data.Clone());
    EXPECT_EQ(copy->GetNumDataRows(), 4);
    EXPECT_EQ(copy->GetFirstRow(), data.GetFirstRow());
    EXPECT_EQ(copy->GetLastRow(), data.GetLastRow());
    EXPECT_EQ(copy->GetCursor(), data.GetCursor());
    EXPECT_EQ(copy->GetChanges(), data.GetChanges());
    EXPECT_EQ(copy->GetNumSelectedInputs(), 1);
    for (int r = 0; r < 4; ++r) {
        double a[2], b[2];
        data.GetInputRow(r, a);
        copy->GetInputRow(r, b);
        EXPECT_EQ(Values(a, a + 2), Values(b, b + 2));
        const TLabelList* la = nullptr;
        const TLabelList* lb = nullptr;
        data.GetLabels(r, &la);
        copy->GetLabels(r, &lb);
        EXPECT_NE(la, lb);
        EXPECT_EQ(la->GetLabel(0).GetValue(), lb->GetLabel(0).GetValue());
    }
    copy->SetInputDatum(0, 0, 99.0);
    copy->AppendLabel(0, 1.0, "extra");
    double v = 0.0;
    data.GetInputDatum(0, 0, &v);
    EXPECT_EQ(v, 4.0);  // slot 0 holds row 4
    const TLabelList* list = nullptr;
    data.GetLabels(0, &list);
    EXPECT_EQ(list->GetCount(), 1);
}

TEST(DataTest, HugeCapacityCostsOnlyTheRowsWritten) {
    const int rows = 2000000000;
    Data data(rows, 3, 2, true);
    double in[3] = {1, 2, 3};
    double out[2] = {4, 5};
    data.AppendRow(in, out, nullptr);
    data.AppendRow(in, out, nullptr);
    double v = -1.0;
    data.GetInputDatum(rows - 1, 2, &v);
    EXPECT_EQ(v, 0.0);
    const TLabelList* list = nullptr;
    data.GetLabels(rows - 1, &list);
    EXPECT_EQ(list->GetCount(), 0);
    data.RewindCursor();
    double got[3] = {};
    data.GetNextRow(got, nullptr, nullptr);
    data.GetNextRow(got, nullptr, nullptr);
    data.GetNextRow(got, nullptr, nullptr);  // back to the oldest of the two rows
    EXPECT_EQ(data.GetCursor(), 0);
    EXPECT_EQ(Values(got, got + 3), Values({1, 2, 3}));
    std::unique_ptr<Data> copy(data.Clone());
    EXPECT_EQ(copy->GetNumRows(), rows);
}
