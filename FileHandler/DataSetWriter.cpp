#include <charconv>
#include <fstream>
#include <memory>
#include <ostream>

#include "FileHandler/Filer.h"
#include "KQmessage/KAssert.h"
#include "KQmessage/TKQstructure.h"

namespace {

// Significant digits of the values in a row line.
constexpr int kValueDigits = 15;

// Decimals of a label value other than 1.0.
constexpr int kLabelDecimals = 9;

// The header counts of the tables to be written. An expected (generated)
// count of -1 stands for the primary (result) table's label lists.
struct TableCounts {
    int rows = -1;
    int inputs = 0;
    int expected = 0;
    int generated = 0;
    int errors = 0;
};

int FormCounts(const Data* primary, const Data* result, TableCounts* counts) {
    if (primary != nullptr) {
        counts->rows = primary->GetNumRows();
        counts->inputs = primary->GetNumInputs();
        counts->expected = primary->GetNumOutputs();
        if (primary->HasLabels()) {
            // A table's label lists stand where its outputs would.
            long LngExpectedOutputs = counts->expected;
            KASSERT(LngExpectedOutputs == 0);
            counts->expected = -1;
        }
    }
    if (result != nullptr) {
        if (primary == nullptr) {
            counts->rows = result->GetNumRows();
        } else if (result->GetNumRows() != counts->rows) {
            return ROW_COUNT_ERROR;
        }
        counts->generated = result->GetNumInputs();
        counts->errors = result->GetNumOutputs();
        if (result->HasLabels()) {
            long LngCalculatedOutputs = counts->generated;
            KASSERT(LngCalculatedOutputs == 0);
            counts->generated = -1;
        }
    }
    return counts->rows < 0 ? ROW_COUNT_ERROR : SUCCESS;
}

// The value as "%.15g" writes it (what the stream writes at precision 15 in
// its default notation), followed by one blank.
void WriteValue(std::ostream& out, double value) {
    char text[64];
    std::to_chars_result end =
        std::to_chars(text, text + sizeof text - 1, value, std::chars_format::general, kValueDigits);
    *end.ptr = ' ';
    out.write(text, end.ptr + 1 - text);
}

void WriteInputs(std::ostream& out, const Data& table, int row) {
    double value = 0.0;
    for (int column = 0; column < table.GetNumInputs(); ++column) {
        table.GetInputDatum(row, column, &value);
        WriteValue(out, value);
    }
}

void WriteOutputs(std::ostream& out, const Data& table, int row) {
    double value = 0.0;
    for (int column = 0; column < table.GetNumOutputs(); ++column) {
        table.GetOutputDatum(row, column, &value);
        WriteValue(out, value);
    }
}

void WriteRowLabels(FileTools& tools, std::ostream& out, const Data& table, int row) {
    const TLabelList* labels = nullptr;
    table.GetLabels(row, &labels);
    WriteLabels(tools, out, labels);
}

// SUCCESS when everything reached the file.
int Finish(std::ofstream& out) {
    out.close();
    return out ? SUCCESS : FILE_OPEN_ERROR;
}

}  // namespace

void WriteLabels(FileTools& tools, std::ostream& out, const TLabelList* labels) {
    out << '[';
    int count = labels != nullptr ? labels->GetCount() : 0;
    for (int i = 0; i < count; ++i) {
        const TLabel& label = labels->GetLabel(i);
        if (label.GetValue() == 1.0) {
            out << label.GetName() << ' ';
        } else {
            tools.WriteNumber(out, label.GetName(), label.GetValue(), kLabelDecimals, false);
        }
    }
    out << "] ";
}

int WriteDataSetHeader(FileTools& tools, const char* fileName, int inputs, int expected,
                       int generated, int errors, int rows) {
    if (rows < 0) return ROW_COUNT_ERROR;
    std::ofstream out(fileName, std::ios::out | std::ios::trunc);
    if (!out.is_open()) return FILE_OPEN_ERROR;
    tools.WriteFormatVersion(out);
    tools.WriteKeyword(out, "DataSet", true);
    tools.WriteInteger(out, "Rows", rows, true);
    tools.WriteInteger(out, "Inputs", inputs, true);
    if (expected == -1) {
        tools.WriteString(out, "ExpectedOutputs", "Labels", true);
    } else {
        tools.WriteInteger(out, "ExpectedOutputs", expected, true);
    }
    if (generated == -1) {
        tools.WriteString(out, "GeneratedOutputs", "Labels", true);
    } else {
        tools.WriteInteger(out, "GeneratedOutputs", generated, true);
    }
    tools.WriteInteger(out, "Error", errors, true);
    tools.WriteNewLine(out);
    tools.WriteKeyword(out, "Data", true);
    return Finish(out);
}

int WriteDataSetRows(FileTools& tools, const char* fileName, const Data* primary,
                     const Data* result, TKQstructure* reply) {
    std::unique_ptr<TKQstructure> dropped(reply);
    TableCounts counts;
    int code = FormCounts(primary, result, &counts);
    if (code != SUCCESS) return code;
    std::ofstream out(fileName, std::ios::out | std::ios::app);
    if (!out.is_open()) return FILE_OPEN_ERROR;
    out.precision(kValueDigits);
    for (int row = 0; row < counts.rows; ++row) {
        if (primary != nullptr) {
            WriteInputs(out, *primary, row);
            out << "  ";
            if (primary->HasLabels()) {
                WriteRowLabels(tools, out, *primary, row);
            } else {
                WriteOutputs(out, *primary, row);
            }
        }
        if (result != nullptr) {
            out << "  ";
            if (result->HasLabels()) {
                WriteRowLabels(tools, out, *result, row);
            } else {
                WriteInputs(out, *result, row);
            }
            out << "  ";
            WriteOutputs(out, *result, row);
        }
        out << '\n';
    }
    return Finish(out);
}

int WriteDataSetTrailer(FileTools& tools, const char* fileName) {
    std::ofstream out(fileName, std::ios::out | std::ios::app);
    if (!out.is_open()) return FILE_OPEN_ERROR;
    tools.WriteEndTag(out, "Data");
    tools.WriteNewLine(out);
    tools.WriteEndTag(out, "DataSet");
    return Finish(out);
}

int WriteDataSet(FileTools& tools, const char* fileName, const Data* primary, const Data* result,
                 TKQstructure* reply) {
    std::unique_ptr<TKQstructure> dropped(reply);
    TableCounts counts;
    int code = FormCounts(primary, result, &counts);
    if (code != SUCCESS) return code;
    code = WriteDataSetHeader(tools, fileName, counts.inputs, counts.expected, counts.generated,
                              counts.errors, counts.rows);
    if (code == SUCCESS) code = WriteDataSetRows(tools, fileName, primary, result, nullptr);
    if (code == SUCCESS) code = WriteDataSetTrailer(tools, fileName);
    return code;
}
