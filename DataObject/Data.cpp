#include "DataObject/Data.h"

#include <algorithm>
#include <string>
#include <utility>

#include "KQmessage/KAssert.h"
#include "KQmessage/TException.h"

namespace {

// count values of a slot's row, or zeros for a slot never written.
void CopyValues(const double* row, int count, double* destination) {
    if (count <= 0) return;
    if (row != nullptr) {
        std::copy(row, row + count, destination);
    } else {
        std::fill(destination, destination + count, 0.0);
    }
}

void CopySelected(const double* row, const std::vector<int>& columns, double* destination) {
    size_t count = columns.size();
    for (size_t i = 0; i < count; ++i) {
        destination[i] = row != nullptr ? row[columns[i]] : 0.0;
    }
}

}  // namespace

Data::Data(int rows, int inputs, int outputs, bool labels)
    : MbrNdxRows(rows), MbrNdxInputs(inputs), MbrNdxOutputs(outputs), MbrFlgLabels(labels) {
    if (rows < 0) Fail("Invalid Row Count", "Data::Data");
}

Data::~Data() = default;

Data* Data::Clone() const {
    auto copy = std::make_unique<Data>(MbrNdxRows, MbrNdxInputs, MbrNdxOutputs, MbrFlgLabels);
    auto copyTable = [](const std::vector<Row>& from, std::vector<Row>& to, int width) {
        to.resize(from.size());
        for (size_t slot = 0; slot < from.size(); ++slot) {
            if (!from[slot]) continue;
            to[slot] = std::make_unique<double[]>(static_cast<size_t>(width));
            std::copy(from[slot].get(), from[slot].get() + width, to[slot].get());
        }
    };
    copyTable(MbrDyaRtpInputs, copy->MbrDyaRtpInputs, InputWidth());
    copyTable(MbrDyaRtpOutputs, copy->MbrDyaRtpOutputs, OutputWidth());
    copy->MbrDyaLabels = MbrDyaLabels;
    copy->MbrNdxDataRows = MbrNdxDataRows;
    copy->MbrNdxFirstRow = MbrNdxFirstRow;
    copy->MbrNdxLastRow = MbrNdxLastRow;
    copy->MbrNdxChanges = MbrNdxChanges;
    copy->MbrNdxCurrentRow = MbrNdxCurrentRow;
    copy->SetFeatures(MbrNdxInputFeatures, MbrDyaInputFeatures.data(), MbrNdxOutputFeatures,
                      MbrDyaOutputFeatures.data());
    return copy.release();
}

int Data::GetNumSelectedInputs() const {
    return MbrDyaInputFeatures.empty() ? InputWidth() : MbrNdxInputFeatures;
}

int Data::GetNumSelectedOutputs() const {
    return MbrDyaOutputFeatures.empty() ? OutputWidth() : MbrNdxOutputFeatures;
}

// ---- Checks -------------------------------------------------------------

void Data::Fail(const char* message, const char* location) {
    throw TException(message, "Bad Parameter", location, nullptr);
}

void Data::CheckRow(int row, const char* location) const {
    if (!IsValidRow(row)) Fail("Invalid Data Row", location);
}

void Data::CheckHasLabels(const char* location) const {
    if (!MbrFlgLabels) Fail("Data Set Has No Labels", location);
}

void Data::CheckNotEmpty(const char* location) const {
    if (MbrNdxDataRows <= 0) Fail("Empty Data Set", location);
}

// A selection may not hold more entries than there are columns: callers
// size their row arrays by the column counts.
void Data::CheckSelection(int count, const int* columns, int width, const char* columnMessage,
                          const char* location) const {
    if (count < 0 || count > width || (count > 0 && columns == nullptr)) {
        Fail("Invalid Feature Count", location);
    }
    for (int i = 0; i < count; ++i) {
        if (columns[i] < 0 || columns[i] >= width) Fail(columnMessage, location);
    }
}

// The counter wraps instead of overflowing.
void Data::Change() {
    MbrNdxChanges = static_cast<int>(static_cast<unsigned>(MbrNdxChanges) + 1u);
}

// ---- Slot storage -------------------------------------------------------

const double* Data::RowOf(const std::vector<Row>& table, int slot) {
    size_t index = static_cast<size_t>(slot);
    return index < table.size() ? table[index].get() : nullptr;
}

double* Data::WritableRow(std::vector<Row>& table, int slot, int width) {
    size_t index = static_cast<size_t>(slot);
    if (index >= table.size()) table.resize(index + 1);
    if (!table[index]) table[index] = std::make_unique<double[]>(static_cast<size_t>(width));
    return table[index].get();
}

const TLabelList* Data::LabelsOf(int slot) const {
    static const TLabelList kNoLabels;
    size_t index = static_cast<size_t>(slot);
    return index < MbrDyaLabels.size() ? &MbrDyaLabels[index] : &kNoLabels;
}

TLabelList& Data::WritableLabels(int slot) {
    size_t index = static_cast<size_t>(slot);
    if (index >= MbrDyaLabels.size()) MbrDyaLabels.resize(index + 1);
    return MbrDyaLabels[index];
}

// ---- Appending ----------------------------------------------------------

void Data::AppendRow(const double* inputs, const double* outputs, const TLabelList* labels) {
    if (MbrNdxRows == 0) Fail("Invalid Data Row", "Data::AppendRow");
    KASSERT(MbrNdxDataRows <= MbrNdxRows);
    Change();
    if (MbrNdxDataRows == 0) {
        SetRow(0, inputs, outputs, labels);
        MbrNdxDataRows = 1;
    } else if (MbrNdxDataRows < MbrNdxRows) {
        // The slot is written while last still designates the previous row.
        SetRow(MbrNdxDataRows, inputs, outputs, labels);
        ++MbrNdxDataRows;
        MbrNdxLastRow = MbrNdxDataRows - 1;
    } else {
        // Full ring: the oldest row is overwritten.
        if (++MbrNdxFirstRow == MbrNdxRows) MbrNdxFirstRow = 0;
        if (++MbrNdxLastRow == MbrNdxRows) MbrNdxLastRow = 0;
        SetRow(MbrNdxLastRow, inputs, outputs, labels);
    }
}

void Data::AppendRows(const double* const* inputs, const double* const* outputs, int count,
                      const TLabelList* labels) {
    for (int i = 0; i < count; ++i) {
        AppendRow(inputs != nullptr ? inputs[i] : nullptr,
                  outputs != nullptr ? outputs[i] : nullptr,
                  labels != nullptr ? labels + i : nullptr);
    }
}

// ---- Rows and cells -----------------------------------------------------

void Data::SetRow(int row, const double* inputs, const double* outputs,
                  const TLabelList* labels) {
    CheckRow(row, "Data::SetRow");
    if (inputs != nullptr && MbrNdxInputs > 0) {
        std::copy(inputs, inputs + MbrNdxInputs, WritableRow(MbrDyaRtpInputs, row, MbrNdxInputs));
    }
    if (outputs != nullptr && MbrNdxOutputs > 0) {
        std::copy(outputs, outputs + MbrNdxOutputs,
                  WritableRow(MbrDyaRtpOutputs, row, MbrNdxOutputs));
    }
    if (MbrFlgLabels) SetLabels(row, labels);
    Change();
}

void Data::GetInputDatum(int row, int column, double* value) const {
    CheckRow(row, "Data::GetInputDatum");
    if (column < 0 || column >= MbrNdxInputs) {
        Fail("Invalid Input Data Column", "Data::GetInputDatum");
    }
    const double* values = RowOf(MbrDyaRtpInputs, row);
    *value = values != nullptr ? values[column] : 0.0;
}

void Data::GetOutputDatum(int row, int column, double* value) const {
    CheckRow(row, "Data::GetOutputDatum");
    if (column < 0 || column >= MbrNdxOutputs) {
        Fail("Invalid Output Data Column", "Data::GetOutputDatum");
    }
    const double* values = RowOf(MbrDyaRtpOutputs, row);
    *value = values != nullptr ? values[column] : 0.0;
}

void Data::SetInputDatum(int row, int column, double value) {
    CheckRow(row, "Data::SetInputDatum");
    if (column < 0 || column >= MbrNdxInputs) {
        Fail("Invalid Input Data Column", "Data::SetInputDatum");
    }
    WritableRow(MbrDyaRtpInputs, row, MbrNdxInputs)[column] = value;
    Change();
}

void Data::SetOutputDatum(int row, int column, double value) {
    CheckRow(row, "Data::SetOutputDatum");
    if (column < 0 || column >= MbrNdxOutputs) {
        Fail("Invalid Output Data Column", "Data::SetOutputDatum");
    }
    WritableRow(MbrDyaRtpOutputs, row, MbrNdxOutputs)[column] = value;
    Change();
}

void Data::GetInputRow(int row, double* values) const {
    CheckRow(row, "Data::GetInputRow");
    CopyValues(RowOf(MbrDyaRtpInputs, row), InputWidth(), values);
}

void Data::GetInputRow(int row, double* values, int count, const int* columns) const {
    CheckRow(row, "Data::GetInputRow");
    for (int i = 0; i < count; ++i) {
        if (columns[i] < 0 || columns[i] >= MbrNdxInputs) {
            Fail("Invalid Input Data Column", "Data::GetInputRow");
        }
    }
    const double* source = RowOf(MbrDyaRtpInputs, row);
    for (int i = 0; i < count; ++i) values[i] = source != nullptr ? source[columns[i]] : 0.0;
}

void Data::GetOutputRow(int row, double* values) const {
    CheckRow(row, "Data::GetOutputRow");
    CopyValues(RowOf(MbrDyaRtpOutputs, row), OutputWidth(), values);
}

void Data::GetOutputRow(int row, double* values, int count, const int* columns) const {
    CheckRow(row, "Data::GetOutputRow");
    for (int i = 0; i < count; ++i) {
        if (columns[i] < 0 || columns[i] >= MbrNdxOutputs) {
            Fail("Invalid Output Data Column", "Data::GetOutputRow");
        }
    }
    const double* source = RowOf(MbrDyaRtpOutputs, row);
    for (int i = 0; i < count; ++i) values[i] = source != nullptr ? source[columns[i]] : 0.0;
}

void Data::GetBlock(double** inputs, double** outputs, int first, int last, int* count) const {
    if (!IsValidRow(first)) {
        *count = 0;
        Fail("Data Block Fault", "Data::GetBlock");
    }
    last = std::min(last, MbrNdxLastRow);
    int copied = 0;
    for (int row = first; row <= last; ++row, ++copied) {
        if (inputs != nullptr) GetInputRow(row, inputs[copied]);
        if (outputs != nullptr) GetOutputRow(row, outputs[copied]);
    }
    *count = copied;
}

// ---- Labels -------------------------------------------------------------

void Data::GetLabels(int row, const TLabelList** labels) const {
    CheckRow(row, "Data::GetLabels");
    *labels = MbrFlgLabels ? LabelsOf(row) : nullptr;
}

void Data::SetLabels(int row, const TLabelList* labels) {
    CheckRow(row, "Data::SetLabels");
    CheckHasLabels("Data::SetLabels");
    if (labels == nullptr) {
        if (static_cast<size_t>(row) < MbrDyaLabels.size()) MbrDyaLabels[row] = TLabelList();
    } else {
        // Copied before the table may grow: labels may be a list of this
        // data set.
        TLabelList copy(*labels);
        WritableLabels(row) = std::move(copy);
    }
    Change();
}

void Data::ClearLabels(int row) {
    CheckRow(row, "Data::ClearLabels");
    CheckHasLabels("Data::ClearLabels");
    if (static_cast<size_t>(row) < MbrDyaLabels.size()) MbrDyaLabels[row] = TLabelList();
    Change();
}

void Data::AppendLabel(int row, double value, const char* name) {
    CheckRow(row, "Data::AppendLabel");
    CheckHasLabels("Data::AppendLabel");
    KASSERT(name != nullptr);
    std::string copy(name);  // name may be a label of this data set
    WritableLabels(row).AppendLabel(copy.c_str(), value);
    Change();
}

// ---- Column selections --------------------------------------------------

void Data::SetInputFeatures(int count, const int* columns) {
    CheckSelection(count, columns, InputWidth(), "Invalid Input Data Column",
                   "Data::SetInputFeatures");
    MbrDyaInputFeatures.assign(columns, columns + count);
    MbrNdxInputFeatures = count;
}

void Data::GetInputFeatures(int* count, int** columns) const {
    *count = MbrNdxInputFeatures;
    *columns = nullptr;
    if (MbrNdxInputFeatures > 0) {
        *columns = new int[static_cast<size_t>(MbrNdxInputFeatures)];
        std::copy(MbrDyaInputFeatures.begin(), MbrDyaInputFeatures.end(), *columns);
    }
}

void Data::SetFeatures(int inCount, const int* inColumns, int outCount, const int* outColumns) {
    CheckSelection(inCount, inColumns, InputWidth(), "Invalid Input Data Column",
                   "Data::SetFeatures");
    CheckSelection(outCount, outColumns, OutputWidth(), "Invalid Output Data Column",
                   "Data::SetFeatures");
    MbrDyaInputFeatures.assign(inColumns, inColumns + inCount);
    MbrNdxInputFeatures = inCount;
    MbrDyaOutputFeatures.assign(outColumns, outColumns + outCount);
    MbrNdxOutputFeatures = outCount;
}

// ---- Sequential reading -------------------------------------------------

void Data::RewindCursor() { MbrNdxCurrentRow = MbrNdxLastRow; }

// The slot step stored rows away from the cursor. The stored rows are
// numbered 0 (oldest, slot first) to N-1 (newest, slot last), slot
// (first + k) mod M holding number k; the cursor always stands on a stored
// row.
int Data::SlotAfter(int step) const {
    const int rows = MbrNdxRows;
    const int first = MbrNdxFirstRow;
    const int cursor = MbrNdxCurrentRow;
    if (step == 1) {
        if (cursor == MbrNdxLastRow) return first;
        return cursor + 1 == rows ? 0 : cursor + 1;
    }
    if (step == -1) {
        if (cursor == first) return MbrNdxLastRow;
        return cursor == 0 ? rows - 1 : cursor - 1;
    }
    const long long stored = MbrNdxDataRows;
    long long number = ((static_cast<long long>(cursor) - first) % rows + rows) % rows;
    number = ((number + step % stored) % stored + stored) % stored;
    return static_cast<int>((first + number) % rows);
}

void Data::MoveCursor(int step) {
    CheckNotEmpty("Data::MoveCursor");
    MbrNdxCurrentRow = SlotAfter(step);
}

void Data::CopyRow(int slot, double* inputs, double* outputs, const TLabelList** labels) const {
    if (inputs != nullptr) {
        const double* row = RowOf(MbrDyaRtpInputs, slot);
        if (MbrDyaInputFeatures.empty()) {
            CopyValues(row, InputWidth(), inputs);
        } else {
            CopySelected(row, MbrDyaInputFeatures, inputs);
        }
    }
    if (outputs != nullptr) {
        const double* row = RowOf(MbrDyaRtpOutputs, slot);
        if (MbrDyaOutputFeatures.empty()) {
            CopyValues(row, OutputWidth(), outputs);
        } else {
            CopySelected(row, MbrDyaOutputFeatures, outputs);
        }
    }
    if (labels != nullptr) *labels = MbrFlgLabels ? LabelsOf(slot) : nullptr;
}

void Data::GetCurrentRow(double* inputs, double* outputs, const TLabelList** labels) const {
    CheckNotEmpty("Data::GetCurrentRow");
    CopyRow(MbrNdxCurrentRow, inputs, outputs, labels);
}

void Data::GetNextRow(double* inputs, double* outputs, const TLabelList** labels) {
    CheckNotEmpty("Data::GetNextRow");
    MbrNdxCurrentRow = SlotAfter(1);
    CopyRow(MbrNdxCurrentRow, inputs, outputs, labels);
}

void Data::GetPreviousRow(double* inputs, double* outputs) {
    CheckNotEmpty("Data::GetPreviousRow");
    MbrNdxCurrentRow = SlotAfter(-1);
    CopyRow(MbrNdxCurrentRow, inputs, outputs, nullptr);
}
