#include <filesystem>
#include <fstream>
#include <istream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "FileHandler/DataSetFileSupport.h"
#include "FileHandler/Filer.h"
#include "KQmessage/KAssert.h"
#include "KQmessage/TKQstructure.h"

namespace {

bool Is(const std::string& keyword, const char* name) {
    return KQ::strcasecmp(keyword.c_str(), name) == 0;
}

// What the statements from [DataSet] to [Data] declare about the rows.
struct DataSetHead {
    std::string outerName;  // the [DataSet] keyword as written, for its end tag
    std::string innerName;  // the [Data] keyword as written
    int rows = -1;
    int inputs = 0;
    int expected = 0;
    int generated = 0;
    int errors = 0;
    bool primaryLabels = false;
    bool resultLabels = false;

    size_t NumbersPerRow() const {
        return static_cast<size_t>(inputs) + static_cast<size_t>(expected) +
               static_cast<size_t>(generated) + static_cast<size_t>(errors);
    }
    bool RowsHoldNothing() const {
        return NumbersPerRow() == 0 && !primaryLabels && !resultLabels;
    }
};

// Reads [DataSet], the header and [Data]. An expected or generated count of
// -1 (Labels) declares label lists; other negative counts read as 0.
DataSetHead ReadHead(FileTools& tools, std::istream& in) {
    DataSetHead head;
    head.outerName = tools.ExpectBlockStart(tools.ReadStatement(in, nullptr, false), in, "DATASET");
    Statement statement;
    // An unaccepted header statement is the record in hand: [Data] expected.
    ReadDataSetHeader(tools, in, &head.inputs, &head.expected, &head.generated, &head.errors,
                      &head.rows, &statement);
    head.innerName = tools.ExpectBlockStart(statement, in, "DATA");
    if (head.rows < 0) tools.Fail(in, "[Rows = <integer>] expected in header");
    head.primaryLabels = head.expected == -1;
    head.resultLabels = head.generated == -1;
    if (head.expected < 0) head.expected = 0;
    if (head.generated < 0) head.generated = 0;
    return head;
}

// Reads rows into the tables (either may be null). The numbers of a row are
// gathered in one buffer that grows as they are read and is reused for
// every row, so a huge declared column count commits nothing in advance.
// Label lists declared by the header are read whether or not their table
// exists, so that the rows stay in step.
void ReadRows(FileTools& tools, std::istream& in, const DataSetHead& head, int rows,
              Data* primary, Data* result) {
    if (head.RowsHoldNothing()) return;
    const char* blockName = head.innerName.c_str();
    const size_t numbers = head.NumbersPerRow();
    const size_t expectedAt = static_cast<size_t>(head.inputs);
    const size_t generatedAt = expectedAt + static_cast<size_t>(head.expected);
    const size_t errorsAt = generatedAt + static_cast<size_t>(head.generated);
    std::vector<double> values;
    for (int r = 0; r < rows; ++r) {
        values.clear();
        for (size_t i = 0; i < numbers; ++i) values.push_back(tools.ReadNumberToken(in, blockName));
        const double* row = values.data();
        if (primary != nullptr) {
            primary->AppendRow(head.inputs > 0 ? row : nullptr,
                               head.expected > 0 ? row + expectedAt : nullptr, nullptr);
        }
        if (head.primaryLabels) {
            std::unique_ptr<TLabelList> list(ReadLabels(tools, in));
            if (primary != nullptr && primary->HasLabels()) primary->SetLabels(r, list.get());
        }
        if (result != nullptr) {
            result->AppendRow(head.generated > 0 ? row + generatedAt : nullptr,
                              head.errors > 0 ? row + errorsAt : nullptr, nullptr);
        }
        if (head.resultLabels) {
            std::unique_ptr<TLabelList> list(ReadLabels(tools, in));
            if (result != nullptr && result->HasLabels()) result->SetLabels(r, list.get());
        }
    }
}

std::unique_ptr<Data> MakeTable(int rows, int first, int second, bool labels) {
    auto table = std::make_unique<Data>(rows, first, second, labels);
    table->RewindCursor();
    return table;
}

// Skips separators (bytes outside "!" .. "~", and the comma), counting line
// ends; returns the next character without consuming it.
int SkipSeparators(FileTools& tools, std::istream& in) {
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr) return std::char_traits<char>::eof();
    for (;;) {
        int c = buffer->sgetc();
        if (c == std::char_traits<char>::eof()) return c;
        if (c >= 33 && c <= 126 && c != ',') return c;
        buffer->sbumpc();
        if (c == '\n' && tools.GetLine() > 0) tools.SetLine(tools.GetLine() + 1);
    }
}

}  // namespace

bool OpenDataSetFile(FileTools& tools, const char* fileName, std::ifstream& in) {
    std::error_code ignored;
    if (std::filesystem::is_directory(fileName, ignored)) return false;
    in.open(fileName, std::ios::in | std::ios::binary);
    if (!in.is_open()) return false;
    tools.SetLine(1);
    return true;
}

void RethrowClosed(const FileTools::Error& error) {
    throw FileTools::Error(error.GetMessage(), nullptr, nullptr, error.GetLine());
}

int ReadDataSetHeader(FileTools& tools, std::istream& in, int* inputs, int* expected,
                      int* generated, int* errors, int* rows, Statement* statement) {
    *inputs = *expected = *generated = *errors = 0;
    *rows = -1;
    *statement = tools.ReadStatement(in, nullptr, false);
    int position = 0;  // INPUTS, EXPECTEDOUTPUTS, GENERATEDOUTPUTS, ERROR in this order
    while (statement->kind == KeyValue) {
        if (statement->open) return HEADER_ERROR;
        const std::string& keyword = statement->keyword;
        int value = Is(statement->value, "LABELS") ? -1
                                                   : tools.ParseInteger(in, statement->value.c_str());
        if (position == 0 && Is(keyword, "INPUTS")) {
            if (value < 0) tools.Fail(in, "No labels in inputs");
            *inputs = value;
            position = 1;
        } else if (position < 2 && Is(keyword, "EXPECTEDOUTPUTS")) {
            *expected = value;
            position = 2;
        } else if (position < 3 && Is(keyword, "GENERATEDOUTPUTS")) {
            *generated = value;
            position = 3;
        } else if (position < 4 && Is(keyword, "ERROR")) {
            if (value < 0) tools.Fail(in, "No labels in inputs");
            *errors = value;
            position = 4;
        } else if (Is(keyword, "ROWS")) {
            if (value < 0) tools.Fail(in, "No labels in inputs");
            *rows = value;
        } else {
            return HEADER_ERROR;
        }
        *statement = tools.ReadStatement(in, nullptr, false);
    }
    return SUCCESS;
}

int ReadDataSetPair(FileTools& tools, std::istream& in, Data** primary, Data** result) {
    KASSERT(primary != nullptr && result != nullptr);
    *primary = nullptr;
    *result = nullptr;
    DataSetHead head = ReadHead(tools, in);
    std::unique_ptr<Data> primaryTable;
    std::unique_ptr<Data> resultTable;
    if (head.inputs != 0 || head.expected != 0 || head.primaryLabels) {
        primaryTable = MakeTable(head.rows, head.inputs, head.expected, head.primaryLabels);
    }
    if (head.generated != 0 || head.errors != 0 || head.resultLabels) {
        resultTable = MakeTable(head.rows, head.generated, head.errors, head.resultLabels);
    }
    ReadRows(tools, in, head, head.rows, primaryTable.get(), resultTable.get());
    tools.ExpectEndTag(tools.ReadStatement(in, head.innerName.c_str(), false), in);
    tools.ExpectEndTag(tools.ReadStatement(in, head.outerName.c_str(), false), in);
    tools.ExpectEndTag(tools.ReadStatement(in, nullptr, false), in);  // only the end may follow
    *primary = primaryTable.release();
    *result = resultTable.release();
    return SUCCESS;
}

int ReadDataSetPair(FileTools& tools, const char* fileName, Data** primary, Data** result,
                    TKQstructure* reply) {
    delete reply;
    KASSERT(primary != nullptr && result != nullptr);
    *primary = nullptr;
    *result = nullptr;
    std::ifstream in;
    if (!OpenDataSetFile(tools, fileName, in)) return FILE_OPEN_ERROR;
    try {
        return ReadDataSetPair(tools, in, primary, result);
    } catch (const FileTools::Error& error) {
        RethrowClosed(error);
    }
}

int ReadDataSet(FileTools& tools, std::istream& in, Data** primary) {
    Data* result = nullptr;
    int code = ReadDataSetPair(tools, in, primary, &result);
    if (result == nullptr) return code;
    delete result;
    return HEADER_ERROR;
}

int ReadDataSet(FileTools& tools, const char* fileName, Data** primary) {
    Data* result = nullptr;
    int code = ReadDataSetPair(tools, fileName, primary, &result, nullptr);
    if (code != SUCCESS || result == nullptr) return code;
    delete result;
    return HEADER_ERROR;
}

int ReadDataSetRows(FileTools& tools, const char* fileName, long* offset, int rowCount,
                    Data** primary, Data** result) {
    KASSERT(offset != nullptr && primary != nullptr && result != nullptr);
    *primary = nullptr;
    *result = nullptr;
    if (rowCount < 0) return ROW_COUNT_ERROR;
    std::ifstream in;
    if (!OpenDataSetFile(tools, fileName, in)) return FILE_OPEN_ERROR;
    try {
        DataSetHead head = ReadHead(tools, in);
        std::streambuf* buffer = in.rdbuf();
        const std::streamoff dataStart = buffer->pubseekoff(0, std::ios::cur, std::ios::in);
        if (*offset != 0) {
            if (*offset < 0 || dataStart < 0 ||
                std::streamoff(buffer->pubseekoff(*offset, std::ios::cur, std::ios::in)) < 0) {
                tools.Fail(in, "Invalid row offset");
            }
            tools.SetLine(0);  // the line of the offset is unknown
        }
        std::unique_ptr<Data> primaryTable;
        std::unique_ptr<Data> resultTable;
        if (head.inputs != 0 || head.expected != 0) {
            primaryTable = MakeTable(rowCount, head.inputs, head.expected, head.primaryLabels);
        }
        if (head.generated != 0 || head.errors != 0) {
            resultTable = MakeTable(rowCount, head.generated, head.errors, head.resultLabels);
        }
        ReadRows(tools, in, head, rowCount, primaryTable.get(), resultTable.get());
        const std::streamoff end = buffer->pubseekoff(0, std::ios::cur, std::ios::in);
        *offset = static_cast<long>(end - dataStart);
        *primary = primaryTable.release();
        *result = resultTable.release();
        return SUCCESS;
    } catch (const FileTools::Error& error) {
        RethrowClosed(error);
    }
}

int ReadDataSetRows(FileTools& tools, const char* fileName, long* offset, int rowCount,
                    Data** primary) {
    Data* result = nullptr;
    int code = ReadDataSetRows(tools, fileName, offset, rowCount, primary, &result);
    delete result;
    return code;
}

TLabelList* ReadLabels(FileTools& tools, std::istream& in) {
    // The token before the list skips separators and comments; "[~" is an
    // end tag, not a list.
    std::string opening = tools.GetToken(in);
    if (opening.empty()) tools.Fail(in, "Unexpected end of file where a label list is due");
    if (opening != "[") tools.Fail(in, "Label list expected instead of " + opening);
    auto list = std::make_unique<TLabelList>();
    if (SkipSeparators(tools, in) == ']') {
        in.rdbuf()->sbumpc();
        return list.release();
    }
    for (bool open = true; open;) {
        Statement item = tools.ReadStatement(in, nullptr, true);
        if (item.kind == EndOfBlock) tools.Fail(in, "Unexpected end of file in label list");
        double value = item.kind == KeyValue ? tools.ParseNumber(in, item.value.c_str()) : 1.0;
        list->AppendLabel(item.keyword.c_str(), value);
        open = item.open;
    }
    return list.release();
}
