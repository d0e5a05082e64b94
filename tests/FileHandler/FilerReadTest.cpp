#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FileHandler/Filer.h"
#include "FileHandler/FilerTestSupport.h"
#include "KQmessage/TKQstructure.h"

namespace {

using Values = std::vector<double>;

struct Tables {
    std::unique_ptr<Data> primary;
    std::unique_ptr<Data> result;
};

Tables ReadPair(const std::string& text) {
    FileTools tools;
    std::istringstream in(text);
    Data* primary = nullptr;
    Data* result = nullptr;
    EXPECT_EQ(ReadDataSetPair(tools, in, &primary, &result), SUCCESS);
    return {std::unique_ptr<Data>(primary), std::unique_ptr<Data>(result)};
}

struct ReadFailure {
    std::string message;
    int line;
};

ReadFailure ReadError(const std::string& text) {
    FileTools tools;
    std::istringstream in(text);
    Data* primary = nullptr;
    Data* result = nullptr;
    try {
        ReadDataSetPair(tools, in, &primary, &result);
    } catch (const FileTools::Error& e) {
        EXPECT_EQ(e.GetInputStream(), &in);
        return {e.GetMessage(), e.GetLine()};
    }
    delete primary;
    delete result;
    return {"no error", 0};
}

// A data set file with the given header statements and rows.
std::string File(const std::string& header, const std::string& rows) {
    return "[DataSet]\n" + header + "\n[Data]\n" + rows + "[~Data]\n[~DataSet]\n";
}

Values Inputs(const Data& data, int row) {
    Values values(static_cast<size_t>(data.GetNumInputs()));
    data.GetInputRow(row, values.data());
    return values;
}

Values Outputs(const Data& data, int row) {
    Values values(static_cast<size_t>(data.GetNumOutputs()));
    data.GetOutputRow(row, values.data());
    return values;
}

// "name=value" for each label, blank separated.
std::string LabelText(const Data& data, int row) {
    const TLabelList* labels = nullptr;
    data.GetLabels(row, &labels);
    std::ostringstream text;
    for (int i = 0; i < labels->GetCount(); ++i) {
        if (i > 0) text << ' ';
        text << labels->GetLabel(i).GetName() << '=' << labels->GetLabel(i).GetValue();
    }
    return text.str();
}

const char* const kHeader = "[Rows = 3] [Inputs = 2] [ExpectedOutputs = 1]";

}  // namespace

TEST(FilerReadTest, RowLayoutCarriesNoMeaning) {
    const std::string layouts[] = {
        "1 2 3\n4 5 6\n7 8 9\n",
        "1 2 3 4 5 6 7 8 9\n",
        "1,2,3,4,5\n6\n,7 8,9\n",
        "1 /* first */ 2\n3 4 5 6 7 /* a /* nested */ one */ 8 9\n",
    };
    for (const std::string& rows : layouts) {
        SCOPED_TRACE(rows);
        Tables tables = ReadPair(File(kHeader, rows));
        ASSERT_NE(tables.primary, nullptr);
        EXPECT_EQ(tables.result, nullptr);
        const Data& data = *tables.primary;
        EXPECT_EQ(data.GetNumRows(), 3);
        EXPECT_EQ(data.GetNumDataRows(), 3);
        EXPECT_FALSE(data.HasLabels());
        EXPECT_EQ(Inputs(data, 0), Values({1, 2}));
        EXPECT_EQ(Outputs(data, 0), Values({3}));
        EXPECT_EQ(Inputs(data, 2), Values({7, 8}));
        EXPECT_EQ(Outputs(data, 2), Values({9}));
    }
}

TEST(FilerReadTest, HeaderVariantsThatAreAccepted) {
    // Format version, any letter case, ROWS anywhere with the last one counting.
    Tables tables = ReadPair(
        "[FormatVersion = 1.0]\n[dataset]\n[ROWS = 9] [inputs = 1] [Rows = 2]\n[data]\n"
        "1.5 -2e3\n[~DATA]\n[~dataSet]\n/* only comments may follow */\n");
    ASSERT_NE(tables.primary, nullptr);
    EXPECT_EQ(tables.primary->GetNumRows(), 2);
    EXPECT_EQ(tables.primary->GetNumOutputs(), 0);
    EXPECT_EQ(Inputs(*tables.primary, 1), Values({-2000}));
}

TEST(FilerReadTest, TablesExistForTheColumnsDeclared) {
    struct Case {
        const char* header;
        bool primary;
        bool result;
    };
    const Case cases[] = {
        {"[Rows = 0]", false, false},
        {"[Rows = 0] [Inputs = 1]", true, false},
        {"[Rows = 0] [ExpectedOutputs = Labels]", true, false},
        {"[Rows = 0] [ExpectedOutputs = -5]", false, false},  // negative counts read as 0
        {"[Rows = 0] [Error = 1]", false, true},
        {"[Rows = 0] [GeneratedOutputs = Labels]", false, true},
        {"[Rows = 0] [Inputs = 1] [ExpectedOutputs = 1] [GeneratedOutputs = 1] [Error = 1]", true,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        Tables tables = ReadPair(File(c.header, ""));
        EXPECT_EQ(tables.primary != nullptr, c.primary);
        EXPECT_EQ(tables.result != nullptr, c.result);
        if (tables.primary) {
            EXPECT_EQ(tables.primary->GetNumRows(), 0);
        }
        if (tables.result) {
            EXPECT_EQ(tables.result->GetNumRows(), 0);
        }
    }
}

TEST(FilerReadTest, LabelListsFollowTheNumbersOfTheirRow) {
    Tables tables = ReadPair(File(
        "[Rows = 3] [Inputs = 1] [ExpectedOutputs = Labels]",
        "1 [cat]\n2 [cat dog=0.5]\n3 /* none */\n[]\n"));
    ASSERT_NE(tables.primary, nullptr);
    const Data& data = *tables.primary;
    EXPECT_TRUE(data.HasLabels());
    EXPECT_EQ(data.GetNumOutputs(), 0);
    EXPECT_EQ(Inputs(data, 1), Values({2}));
    EXPECT_EQ(LabelText(data, 0), "cat=1");
    EXPECT_EQ(LabelText(data, 1), "cat=1 dog=0.5");
    EXPECT_EQ(LabelText(data, 2), "");
}

TEST(FilerReadTest, BothTablesWithLabels) {
    // Row: input, error, then the primary table's list, then the result table's.
    Tables tables = ReadPair(File(
        "[Rows = 1] [Inputs = 1] [ExpectedOutputs = -1] [GeneratedOutputs = Labels] [Error = 1]",
        "7 0.25 [a] [b=2 b]\n"));
    ASSERT_NE(tables.primary, nullptr);
    ASSERT_NE(tables.result, nullptr);
    EXPECT_EQ(Inputs(*tables.primary, 0), Values({7}));
    EXPECT_EQ(LabelText(*tables.primary, 0), "a=1");
    EXPECT_EQ(tables.result->GetNumInputs(), 0);
    EXPECT_EQ(Outputs(*tables.result, 0), Values({0.25}));
    EXPECT_EQ(LabelText(*tables.result, 0), "b=3");  // 2 + 1
}

TEST(FilerReadTest, ReaderRewindsBeforeAppending) {
    Tables tables = ReadPair(File(kHeader, "1 2 3\n4 5 6\n7 8 9\n"));
    // Rewound on the empty table (cursor 0), so the first GetNextRow
    // delivers row 1; a rewind makes it deliver row 0.
    double in[2];
    tables.primary->GetNextRow(in, nullptr, nullptr);
    EXPECT_EQ(Values(in, in + 2), Values({4, 5}));
    tables.primary->RewindCursor();
    tables.primary->GetNextRow(in, nullptr, nullptr);
    EXPECT_EQ(Values(in, in + 2), Values({1, 2}));
}

TEST(FilerReadTest, NonFiniteNumbersAreKept) {
    Tables tables = ReadPair(File("[Rows = 1] [Inputs = 3]", "nan inf -inf\n"));
    Values in = Inputs(*tables.primary, 0);
    EXPECT_TRUE(std::isnan(in[0]));
    EXPECT_EQ(in[1], std::numeric_limits<double>::infinity());
    EXPECT_EQ(in[2], -std::numeric_limits<double>::infinity());
}

TEST(FilerReadTest, BrokenFilesThrowWithMessageAndLine) {
    struct Case {
        std::string text;
        const char* message;
        int line;  // 0: not checked
    };
    const std::string rowsOf3x3 = "1 2 3\n4 5 6\n";
    const Case cases[] = {
        {"[Data]\n", "[DATASET] expected", 1},
        {"[FormatVersion = 1.1]\n[DataSet]\n", "Illegal Format Version", 1},
        {File("[Inputs = Labels]\n[Rows = 1]", ""), "No labels in inputs", 2},
        {File("[Rows = 1] [Error = Labels]", ""), "No labels in inputs", 2},
        {File("[Rows = Labels]", ""), "No labels in inputs", 2},
        {File("[Rows = -1]", ""), "No labels in inputs", 2},
        {File("[Rows = many]", ""), "integer-expected", 2},
        {File("[Rows = 3000000000]", ""), "Integer out of range", 2},
        {File("[ExpectedOutputs = 1]\n[Inputs = 2]\n[Rows = 1]", ""), "[DATA] expected", 3},
        {File("[Rows = 1] [Inputs = 1] [Inputs = 1]", ""), "[DATA] expected", 2},
        {File("[Rows = 1] [Comment = 3]", ""), "[DATA] expected", 2},
        {File("[Rows = 1 Inputs = 1]", ""), "[DATA] expected", 2},
        {File("[Inputs = 1]", "1\n"), "[Rows = <integer>] expected in header", 3},
        // Rows: missing and surplus numbers, bad words, missing end tags.
        {File(kHeader, "1 2 3\n4 5\n"), "Token (number) expected", 6},
        {File(kHeader, rowsOf3x3 + "7 8 9 10\n"), "End Tag expected", 0},
        {File(kHeader, "1 x 3\n"), "number-expected", 4},
        {File(kHeader, "1 2 [3]\n"), "Token (number) expected", 4},
        {File(kHeader, rowsOf3x3 + "7 8 9\n") + "trailing\n", "End Tag expected", 0},
        {"[DataSet]\n[Rows = 1] [Inputs = 1]\n[Data]\n1\n[~Data]\n", "Unexpected end of file", 0},
        {"[DataSet]\n[Rows = 1] [Inputs = 1]\n[Data]\n1\n[~Dat]\n", "Unexpected End Tag", 5},
        // Far more rows or columns declared than the file holds.
        {File("[Rows = 2000000000] [Inputs = 2]", "1 2\n"), "Token (number) expected", 5},
        {File("[Rows = 1] [Inputs = 2000000000]", "1 2\n"), "Token (number) expected", 5},
        {File("[Rows = 2000000000] [ExpectedOutputs = Labels]", "[a]\n"),
         "Label list expected instead of [~", 5},
        // Label lists.
        {"[DataSet]\n[Rows = 1] [Inputs = 1] [ExpectedOutputs = Labels]\n[Data]\n1",
         "Unexpected end of file where a label list is due", 0},
        {File("[Rows = 1] [Inputs = 1] [ExpectedOutputs = Labels]", "1 2 [a]\n"),
         "Label list expected instead of 2", 4},
        {"[DataSet]\n[Rows = 1] [ExpectedOutputs = Labels]\n[Data]\n[a b=2",
         "Unexpected end of file in label list", 0},
        {File("[Rows = 1] [ExpectedOutputs = Labels]", "[a=x]\n"), "number-expected", 4},
        {File("[Rows = 1] [ExpectedOutputs = Labels]", "[a [b]]\n"),
         "Unexpected special character", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ReadFailure failure = ReadError(c.text);
        EXPECT_EQ(failure.message, c.message);
        if (c.line != 0) {
            EXPECT_EQ(failure.line, c.line);
        }
    }
}

TEST(FilerReadTest, ReadLabelsForms) {
    struct Case {
        const char* text;
        const char* labels;
        int lineAfter;
    };
    const Case cases[] = {
        {"[cat dog=0.5]", "cat=1 dog=0.5", 1},
        {"/* before */ [x]", "x=1", 1},
        {"[]", "", 1},
        {"\n[ \n ] tail", "", 3},
        {"[a a=2 b a=-0.5]", "a=2.5 b=1", 1},
        {"[\nweight = 4\n]", "weight=4", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        FileTools tools;
        std::istringstream in(c.text);
        std::unique_ptr<TLabelList> list(ReadLabels(tools, in));
        std::ostringstream text;
        for (int i = 0; i < list->GetCount(); ++i) {
            if (i > 0) text << ' ';
            text << list->GetLabel(i).GetName() << '=' << list->GetLabel(i).GetValue();
        }
        EXPECT_EQ(text.str(), c.labels);
        EXPECT_EQ(tools.GetLine(), c.lineAfter);
    }
}

TEST(FilerReadTest, HeaderReaderLeavesTheEndingRecord) {
    FileTools tools;
    int inputs, expected, generated, errors, rows;
    Statement statement;
    std::istringstream good(
        "[Rows = 3] [Inputs = 2] [ExpectedOutputs = Labels] [GeneratedOutputs = 1] [Error = 4]\n"
        "[Data]");
    EXPECT_EQ(ReadDataSetHeader(tools, good, &inputs, &expected, &generated, &errors, &rows,
                                &statement),
              SUCCESS);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(inputs, 2);
    EXPECT_EQ(expected, -1);
    EXPECT_EQ(generated, 1);
    EXPECT_EQ(errors, 4);
    EXPECT_EQ(statement.kind, KeywordOnly);
    EXPECT_EQ(statement.keyword, "Data");

    std::istringstream noRows("[Error = 1] [Inputs = 2]");
    EXPECT_EQ(ReadDataSetHeader(tools, noRows, &inputs, &expected, &generated, &errors, &rows,
                                &statement),
              HEADER_ERROR);
    EXPECT_EQ(rows, -1);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(statement.keyword, "Inputs");

    std::istringstream open("[Rows = 3 Inputs = 2]");
    EXPECT_EQ(ReadDataSetHeader(tools, open, &inputs, &expected, &generated, &errors, &rows,
                                &statement),
              HEADER_ERROR);
}

// ---- Files -------------------------------------------------------------------

TEST(FilerFileReadTest, ReadDataSetAcceptsOnlyAPrimaryTable) {
    TempFile file("set");
    file.Write(File("[Rows = 1] [Inputs = 1] [GeneratedOutputs = 1]", "1 2\n"));
    FileTools tools;
    Data* primary = nullptr;
    EXPECT_EQ(ReadDataSet(tools, file.Name(), &primary), HEADER_ERROR);
    ASSERT_NE(primary, nullptr);  // still handed out; the result table is freed
    EXPECT_EQ(Inputs(*primary, 0), Values({1}));
    delete primary;

    file.Write(File("[Rows = 1] [Inputs = 1]", "5\n"));
    EXPECT_EQ(ReadDataSet(tools, file.Name(), &primary), SUCCESS);
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(Inputs(*primary, 0), Values({5}));
    delete primary;

    Data* result = nullptr;
    EXPECT_EQ(ReadDataSetPair(tools, file.Name(), &primary, &result, new TKQstructure("reply")),
              SUCCESS);
    delete primary;
}

TEST(FilerFileReadTest, MissingFilesAndFoldersCannotBeOpened) {
    FileTools tools;
    Data sentinel(0, 0, 0, false);
    Data* primary = &sentinel;
    Data* result = &sentinel;
    TempFile missing("missing");
    EXPECT_EQ(ReadDataSet(tools, missing.Name(), &primary), FILE_OPEN_ERROR);
    EXPECT_EQ(primary, nullptr);
    std::string folder = std::filesystem::temp_directory_path().string();
    EXPECT_EQ(ReadDataSetPair(tools, folder.c_str(), &primary, &result, nullptr),
              FILE_OPEN_ERROR);
    EXPECT_EQ(result, nullptr);
    long offset = 0;
    EXPECT_EQ(ReadDataSetRows(tools, missing.Name(), &offset, 1, &primary), FILE_OPEN_ERROR);
}

TEST(FilerFileReadTest, ErrorsOfAFileNameTheLineAndNoClosedStream) {
    TempFile file("broken");
    file.Write(File(kHeader, "1 2 3\n4 oops 6\n7 8 9\n"));
    FileTools tools;
    Data* primary = nullptr;
    try {
        ReadDataSet(tools, file.Name(), &primary);
        ADD_FAILURE() << "no error";
    } catch (const FileTools::Error& e) {
        EXPECT_STREQ(e.GetMessage(), "number-expected");
        EXPECT_EQ(e.GetLine(), 5);
        EXPECT_EQ(e.GetInputStream(), nullptr);
        EXPECT_EQ(e.GetOutputStream(), nullptr);
    }
    EXPECT_EQ(primary, nullptr);
}

TEST(FilerFileReadTest, SliceReaderContinuesWhereItStopped) {
    TempFile file("slices");
    file.Write(File("[Rows = 5] [Inputs = 1] [ExpectedOutputs = 1] [Error = 1]",
                    "0 0 -0\n1 10 -1\n2 20 -2\n3 30 -3\n4 40 -4\n"));
    FileTools tools;
    long offset = 0;
    std::vector<double> seen;
    for (int count : {2, 2, 1}) {
        Data* primary = nullptr;
        Data* result = nullptr;
        ASSERT_EQ(ReadDataSetRows(tools, file.Name(), &offset, count, &primary, &result), SUCCESS);
        std::unique_ptr<Data> p(primary), r(result);
        ASSERT_NE(p, nullptr);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(p->GetNumRows(), count);
        EXPECT_EQ(p->GetNumDataRows(), count);
        for (int row = 0; row < count; ++row) {
            double in = Inputs(*p, row)[0];
            EXPECT_EQ(Outputs(*p, row), Values({10 * in}));
            EXPECT_EQ(Outputs(*r, row), Values({-in}));
            seen.push_back(in);
        }
    }
    EXPECT_EQ(seen, Values({0, 1, 2, 3, 4}));
    // Past the last row: the end tag, at an unknown line after the seek.
    Data* primary = nullptr;
    try {
        ReadDataSetRows(tools, file.Name(), &offset, 1, &primary);
        ADD_FAILURE() << "no error";
    } catch (const FileTools::Error& e) {
        EXPECT_STREQ(e.GetMessage(), "Token (number) expected");
        EXPECT_EQ(e.GetLine(), 0);
    }
    offset = 0;
    EXPECT_EQ(ReadDataSetRows(tools, file.Name(), &offset, -1, &primary), ROW_COUNT_ERROR);
    offset = -3;
    EXPECT_THROW(ReadDataSetRows(tools, file.Name(), &offset, 1, &primary), FileTools::Error);
}

TEST(FilerFileReadTest, SliceReaderReadsLabelsOfATableItDoesNotCreate) {
    TempFile file("labels");
    file.Write(File("[Rows = 3] [ExpectedOutputs = Labels] [Error = 1]",
                    "0.5 [a]\n0.25 [b c=2]\n0.125 []\n"));
    FileTools tools;
    long offset = 0;
    Values errors;
    for (int count : {2, 1}) {
        Data* primary = nullptr;
        Data* result = nullptr;
        ASSERT_EQ(ReadDataSetRows(tools, file.Name(), &offset, count, &primary, &result), SUCCESS);
        std::unique_ptr<Data> r(result);
        EXPECT_EQ(primary, nullptr);  // labels only
        ASSERT_NE(r, nullptr);
        for (int row = 0; row < count; ++row) errors.push_back(Outputs(*r, row)[0]);
    }
    EXPECT_EQ(errors, Values({0.5, 0.25, 0.125}));
}
