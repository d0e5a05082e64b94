#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FileHandler/Filer.h"
#include "FileHandler/FilerTestSupport.h"
#include "KQmessage/TKQstructure.h"

namespace {

const char* const kTrailer = "[~Data]\n\n[~DataSet]\n";

std::string Header(const char* rows, const char* inputs, const char* expected,
                   const char* generated, const char* errors) {
    return std::string("[FormatVersion = 1.0]\n\n[DataSet]\n") + "[Rows = " + rows + "]\n" +
           "[Inputs = " + inputs + "]\n" + "[ExpectedOutputs = " + expected + "]\n" +
           "[GeneratedOutputs = " + generated + "]\n" + "[Error = " + errors + "]\n\n[Data]\n";
}

void Append(Data& data, std::vector<double> inputs, std::vector<double> outputs,
            const TLabelList* labels = nullptr) {
    data.AppendRow(inputs.data(), outputs.data(), labels);
}

// The row line WriteDataSetRows writes for a table of one row holding value
// as its single input.
std::string ValueText(double value) {
    Data data(1, 1, 0, false);
    Append(data, {value}, {});
    TempFile file("value");
    FileTools tools;
    EXPECT_EQ(WriteDataSetRows(tools, file.Name(), &data, nullptr, nullptr), SUCCESS);
    std::string line = file.Read();
    // The value, its blank, the two blanks before the (absent) outputs, the line end.
    if (line.size() < 4 || line.compare(line.size() - 4, 4, "   \n") != 0) return "bad line " + line;
    return line.substr(0, line.size() - 4);
}

// Every cell (and label) of two data sets, compared value for value.
void ExpectSameTables(const Data& a, const Data& b) {
    ASSERT_EQ(a.GetNumRows(), b.GetNumRows());
    ASSERT_EQ(a.GetNumInputs(), b.GetNumInputs());
    ASSERT_EQ(a.GetNumOutputs(), b.GetNumOutputs());
    ASSERT_EQ(a.HasLabels(), b.HasLabels());
    auto same = [](double x, double y) {
        return (std::isnan(x) && std::isnan(y)) || (x == y && std::signbit(x) == std::signbit(y));
    };
    for (int row = 0; row < a.GetNumRows(); ++row) {
        double x = 0.0, y = 0.0;
        for (int c = 0; c < a.GetNumInputs(); ++c) {
            a.GetInputDatum(row, c, &x);
            b.GetInputDatum(row, c, &y);
            EXPECT_TRUE(same(x, y)) << "row " << row << " input " << c << ": " << x << " " << y;
        }
        for (int c = 0; c < a.GetNumOutputs(); ++c) {
            a.GetOutputDatum(row, c, &x);
            b.GetOutputDatum(row, c, &y);
            EXPECT_TRUE(same(x, y)) << "row " << row << " output " << c << ": " << x << " " << y;
        }
        if (!a.HasLabels()) continue;
        const TLabelList* la = nullptr;
        const TLabelList* lb = nullptr;
        a.GetLabels(row, &la);
        b.GetLabels(row, &lb);
        ASSERT_EQ(la->GetCount(), lb->GetCount()) << "row " << row;
        for (int i = 0; i < la->GetCount(); ++i) {
            EXPECT_STREQ(la->GetLabel(i).GetName(), lb->GetLabel(i).GetName());
            EXPECT_EQ(la->GetLabel(i).GetValue(), lb->GetLabel(i).GetValue());
        }
    }
}

}  // namespace

TEST(FilerWriteTest, PrimaryTableFileText) {
    Data data(2, 2, 1, false);
    Append(data, {1, 2.5}, {3});
    Append(data, {-0.125, 1e-05}, {100});
    TempFile file("set");
    FileTools tools;
    ASSERT_EQ(WriteDataSet(tools, file.Name(), &data, nullptr, new TKQstructure("reply")),
              SUCCESS);
    // Each value is followed by one blank; two blanks part inputs and outputs.
    EXPECT_EQ(file.Read(), Header("2", "2", "1", "0", "0") +
                               "1 2.5   3 \n"
                               "-0.125 1e-05   100 \n" +
                               kTrailer);
}

TEST(FilerWriteTest, LabelTablesFileText) {
    TLabelList sick("sick", 1.0);
    sick.AppendLabel("weight", 0.5);
    Data primary(2, 1, 0, true);
    Append(primary, {1}, {}, &sick);
    Append(primary, {2}, {});
    TempFile file("labels");
    FileTools tools;
    ASSERT_EQ(WriteDataSet(tools, file.Name(), &primary, nullptr, nullptr), SUCCESS);
    EXPECT_EQ(file.Read(), Header("2", "1", "Labels", "0", "0") +
                               "1   [sick weight=0.500000000 ] \n"
                               "2   [] \n" +
                               kTrailer);

    // With a result table: its label list stands where its generated
    // outputs would, then two blanks and the errors.
    Data plain(1, 1, 1, false);
    Append(plain, {4}, {5});
    Data result(1, 0, 1, true);
    TLabelList x("x", 2.0);
    Append(result, {}, {0.5}, &x);
    ASSERT_EQ(WriteDataSet(tools, file.Name(), &plain, &result, nullptr), SUCCESS);
    EXPECT_EQ(file.Read(), Header("1", "1", "1", "Labels", "1") +
                               "4   5 "                   // primary
                               "  [x=2.000000000 ] "      // result labels
                               "  0.5 \n" +               // errors
                               kTrailer);
}

TEST(FilerWriteTest, LabelListText) {
    TLabelList labels("a", 1.0);
    labels.AppendLabel("b", -0.25);
    labels.AppendLabel("c", 3.0);
    FileTools tools;
    std::ostringstream out;
    WriteLabels(tools, out, &labels);
    EXPECT_EQ(out.str(), "[a b=-0.250000000 c=3.000000000 ] ");
    std::ostringstream empty;
    WriteLabels(tools, empty, nullptr);
    EXPECT_EQ(empty.str(), "[] ");
}

TEST(FilerWriteTest, ValuesHaveFifteenSignificantDigits) {
    struct Case {
        double value;
        const char* text;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {0.1, "0.1"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {1e-05, "1e-05"},
        {0.0001, "0.0001"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1e+15"},
        {123456789012345678.0, "1.23456789012346e+17"},
        {-0.0, "-0"},
        {-2.5e-300, "-2.5e-300"},
        {inf, "inf"},
        {-inf, "-inf"},
        {std::nan(""), "nan"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueText(c.value), c.text);
        // The same text as the stream's own rule at precision 15.
        std::ostringstream stream;
        stream.precision(15);
        stream << c.value;
        EXPECT_EQ(stream.str(), c.text);
    }
}

TEST(FilerWriteTest, RowCountErrorsWriteNothing) {
    FileTools tools;
    TempFile file("none");
    EXPECT_EQ(WriteDataSetHeader(tools, file.Name(), 1, 1, 0, 0, -1), ROW_COUNT_ERROR);
    EXPECT_FALSE(file.Exists());
    EXPECT_EQ(WriteDataSet(tools, file.Name(), nullptr, nullptr, new TKQstructure("reply")),
              ROW_COUNT_ERROR);
    Data two(2, 1, 1, false);
    Data three(3, 1, 1, false);
    EXPECT_EQ(WriteDataSet(tools, file.Name(), &two, &three, nullptr), ROW_COUNT_ERROR);
    EXPECT_EQ(WriteDataSetRows(tools, file.Name(), &two, &three, new TKQstructure("reply")),
              ROW_COUNT_ERROR);
    EXPECT_FALSE(file.Exists());
}

TEST(FilerWriteTest, UnwritableFileIsReported) {
    FileTools tools;
    Data data(1, 1, 1, false);
    const char* path = "/nonexistent-kestran-folder/set.dat";
    EXPECT_EQ(WriteDataSet(tools, path, &data, nullptr, nullptr), FILE_OPEN_ERROR);
    EXPECT_EQ(WriteDataSetRows(tools, path, &data, nullptr, nullptr), FILE_OPEN_ERROR);
    EXPECT_EQ(WriteDataSetTrailer(tools, path), FILE_OPEN_ERROR);
}

TEST(FilerWriteDeathTest, LabelTableWithOutputsIsAProgrammingError) {
    Data data(1, 1, 1, true);
    FileTools tools;
    EXPECT_DEATH(WriteDataSet(tools, "/dev/null", &data, nullptr, nullptr),
                 "Assertion failed: LngExpectedOutputs == 0");
}

TEST(FilerWriteTest, WrittenTablesReadBackEqual) {
    const double inf = std::numeric_limits<double>::infinity();
    Data plain(3, 3, 2, false);
    Append(plain, {0.1, -2.5e-7, 1e300}, {123456.789, 0});
    Append(plain, {std::nan(""), inf, -inf}, {-0.0, 42});
    Append(plain, {1.0 / 1024, 99999999999999.9, -7}, {3.14159265358979, 2e-308});

    Data labelled(3, 2, 0, true);
    TLabelList first("cat", 1.0);
    first.AppendLabel("weight", -3.25);
    TLabelList third("dog", 0.5);
    Append(labelled, {1, 2}, {}, &first);
    Append(labelled, {3, 4}, {});
    Append(labelled, {5, 6}, {}, &third);

    FileTools tools;
    for (const Data* table : {&plain, &labelled}) {
        TempFile file("roundtrip");
        ASSERT_EQ(WriteDataSet(tools, file.Name(), table, nullptr, nullptr), SUCCESS);
        Data* read = nullptr;
        ASSERT_EQ(ReadDataSet(tools, file.Name(), &read), SUCCESS);
        std::unique_ptr<Data> owned(read);
        ExpectSameTables(*table, *read);
    }

    // Both tables without labels: numbers in the order the reader takes them.
    Data result(3, 1, 1, false);
    Append(result, {0.5}, {-0.5});
    Append(result, {0.25}, {-0.25});
    Append(result, {0.125}, {-0.125});
    TempFile file("pair");
    ASSERT_EQ(WriteDataSet(tools, file.Name(), &plain, &result, nullptr), SUCCESS);
    Data* primary = nullptr;
    Data* readResult = nullptr;
    ASSERT_EQ(ReadDataSetPair(tools, file.Name(), &primary, &readResult, nullptr), SUCCESS);
    std::unique_ptr<Data> p(primary), r(readResult);
    ExpectSameTables(plain, *p);
    ExpectSameTables(result, *r);
}

// ---- File identification -------------------------------------------------------

TEST(FilerIdentifyTest, TreesForEachKindOfFile) {
    struct Case {
        const char* text;
        const char* tree;  // head, then keyword=head of each pair
    };
    const Case cases[] = {
        {"[Network]\n[Layers = 3]\n", "network"},
        {"/* probe */ [FormatVersion = 1.0]\n[DataSet]\n[Rows = 4] [Inputs = 3]\n"
         "[ExpectedOutputs = Labels] [GeneratedOutputs = 2] [Error = 1]\n[Data]\n",
         "data rows=4 inputs=3 actual-outputs=-1 calc-outputs=2 errors=1"},
        {"[dataset]\n[Inputs = 2]\n[Data]\n",
         "data rows=-1 inputs=2 actual-outputs=0 calc-outputs=0 errors=0"},
        {"[DataSet]\n[ExpectedOutputs = 1] [Inputs = 2]\n", "error type=bad-header"},
        {"[Weights]\n", "error type=unknown-header header=Weights"},
    };
    FileTools tools;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TempFile file("probe");
        file.Write(c.text);
        std::unique_ptr<TKQstructure> tree(IdentifyFile(tools, file.Name()));
        ASSERT_NE(tree, nullptr);
        std::string text = tree->GetHead();
        for (int i = 0; i < tree->GetCount(); ++i) {
            text += std::string(" ") + tree->GetKeyword(i) + "=" + tree->GetValueAt(i)->GetHead();
        }
        EXPECT_EQ(text, c.tree);
    }
}

TEST(FilerIdentifyTest, MissingFileAndParseErrors) {
    FileTools tools;
    TempFile missing("missing");
    std::unique_ptr<TKQstructure> tree(IdentifyFile(tools, missing.Name()));
    ASSERT_NE(tree, nullptr);
    EXPECT_STREQ(tree->GetHead(), "error");
    EXPECT_STREQ(tree->GetValue("type")->GetHead(), "file-read-error");

    TempFile file("bare");
    file.Write("\n1 2 3\n");
    try {
        delete IdentifyFile(tools, file.Name());
        ADD_FAILURE() << "no error";
    } catch (const FileTools::Error& e) {
        EXPECT_STREQ(e.GetMessage(), "start of block expected");
        EXPECT_EQ(e.GetInputStream(), nullptr);
    }
    file.Write("[DataSet]\n[Rows = x]\n");
    EXPECT_THROW(delete IdentifyFile(tools, file.Name()), FileTools::Error);
}
