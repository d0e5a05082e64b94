#ifndef DATAOBJECT_DATA_H
#define DATAOBJECT_DATA_H

#include <memory>
#include <vector>

#include "DataObject/TLabelList.h"

// A data set in memory: MbrNdxRows row slots, each with MbrNdxInputs input
// values, MbrNdxOutputs output (target) values and, when the data set carries
// labels, a label list.
//
// Ring of slots: AppendRow fills the slots 0, 1, ... in order and, once every
// slot holds a row, overwrites the oldest. The stored rows are the slots from
// MbrNdxFirstRow to MbrNdxLastRow, oldest first, running past the last slot
// to slot 0 when the ring has wrapped (MbrNdxLastRow < MbrNdxFirstRow, only
// after more than MbrNdxRows appends; then every slot holds a stored row).
// Every slot 0 .. MbrNdxRows-1 is a valid row for the accessors; a slot that
// was never written holds 0.0 and no labels.
//
// Storage is committed as rows are written: a slot's value rows are
// allocated when the slot is first written, and the tables of row pointers
// and label lists grow up to the highest slot written. A data set declared
// with a huge capacity costs memory only for the rows it really holds.
//
// The cursor (MbrNdxCurrentRow) runs over the stored rows from the oldest to
// the newest and then back to the oldest; reading with the cursor requires
// at least one stored row. Input and output column selections narrow what
// the sequential reads deliver.
//
// Bad arguments throw TException with type "Bad Parameter" and the failing
// operation as location; the row is tested before the column, and a failed
// call leaves the data set unchanged.
class Data {
public:
    // An empty data set (no stored rows, every cell 0.0, no selection).
    // rows must not be negative.
    Data(int rows, int inputs, int outputs, bool labels);
    virtual ~Data();
    Data(const Data&) = delete;
    Data& operator=(const Data&) = delete;

    // A deep copy: rows, labels, ring state, cursor, change counter and
    // column selections. The caller owns it.
    Data* Clone() const;

    int GetNumRows() const { return MbrNdxRows; }
    int GetNumInputs() const { return MbrNdxInputs; }
    int GetNumOutputs() const { return MbrNdxOutputs; }
    bool HasLabels() const { return MbrFlgLabels; }
    int GetNumDataRows() const { return MbrNdxDataRows; }
    int GetFirstRow() const { return MbrNdxFirstRow; }
    int GetLastRow() const { return MbrNdxLastRow; }
    int GetCursor() const { return MbrNdxCurrentRow; }
    int GetChanges() const { return MbrNdxChanges; }
    // How many input (output) values one sequential read delivers: the
    // selection's size, or every column when there is no selection.
    int GetNumSelectedInputs() const;
    int GetNumSelectedOutputs() const;

    // Appending. A null inputs or outputs leaves those values of the slot
    // as they were; labels are ignored on a data set without labels.
    void AppendRow(const double* inputs, const double* outputs, const TLabelList* labels);
    // Appends count rows; labels, when given, is an array of count lists.
    void AppendRows(const double* const* inputs, const double* const* outputs, int count,
                    const TLabelList* labels);

    // Row and cell access.
    void SetRow(int row, const double* inputs, const double* outputs, const TLabelList* labels);
    void GetInputDatum(int row, int column, double* value) const;
    void GetOutputDatum(int row, int column, double* value) const;
    void SetInputDatum(int row, int column, double value);
    void SetOutputDatum(int row, int column, double value);
    void GetInputRow(int row, double* values) const;
    // values[i] = input column columns[i] of the row, i = 0 .. count-1.
    void GetInputRow(int row, double* values, int count, const int* columns) const;
    void GetOutputRow(int row, double* values) const;
    void GetOutputRow(int row, double* values, int count, const int* columns) const;
    // Copies rows first .. last (last lowered to the newest row's slot) into
    // inputs[k] and outputs[k], k = 0, 1, ...; *count = rows copied.
    void GetBlock(double** inputs, double** outputs, int first, int last, int* count) const;

    // Labels. GetLabels delivers the row's own list (owned by the data set,
    // valid until the data set changes), or null on a data set without
    // labels. The other three require a data set with labels.
    void GetLabels(int row, const TLabelList** labels) const;
    void SetLabels(int row, const TLabelList* labels);
    void ClearLabels(int row);
    void AppendLabel(int row, double value, const char* name);

    // Column selections. A selection holds at most as many entries as there
    // are columns (entries may repeat), each a column number; a count of 0
    // removes the selection.
    void SetInputFeatures(int count, const int* columns);
    // *columns is a new array (null for no selection) that the caller
    // releases with delete[].
    void GetInputFeatures(int* count, int** columns) const;
    void SetFeatures(int inCount, const int* inColumns, int outCount, const int* outColumns);

    // Sequential reading. Each destination may be null; the arrays must hold
    // GetNumSelectedInputs() and GetNumSelectedOutputs() values.
    void RewindCursor();  // the next GetNextRow delivers the oldest row
    void GetCurrentRow(double* inputs, double* outputs, const TLabelList** labels) const;
    virtual void GetNextRow(double* inputs, double* outputs, const TLabelList** labels);
    void GetPreviousRow(double* inputs, double* outputs);
    bool IsValidRow(int row) const { return row >= 0 && row < MbrNdxRows; }
    // Moves the cursor step stored rows forward (backward when negative),
    // wrapping between the newest and the oldest row.
    void MoveCursor(int step);

private:
    using Row = std::unique_ptr<double[]>;

    [[noreturn]] static void Fail(const char* message, const char* location);
    void CheckRow(int row, const char* location) const;
    void CheckHasLabels(const char* location) const;
    void CheckNotEmpty(const char* location) const;
    void CheckSelection(int count, const int* columns, int width, const char* columnMessage,
                        const char* location) const;
    void Change();

    int InputWidth() const { return MbrNdxInputs > 0 ? MbrNdxInputs : 0; }
    int OutputWidth() const { return MbrNdxOutputs > 0 ? MbrNdxOutputs : 0; }
    // The values of a slot, or null for a slot never written (all 0.0).
    static const double* RowOf(const std::vector<Row>& table, int slot);
    static double* WritableRow(std::vector<Row>& table, int slot, int width);
    const TLabelList* LabelsOf(int slot) const;
    TLabelList& WritableLabels(int slot);
    void CopyRow(int slot, double* inputs, double* outputs, const TLabelList** labels) const;
    int SlotAfter(int step) const;

    std::vector<Row> MbrDyaRtpInputs;    // input row of each written slot
    std::vector<Row> MbrDyaRtpOutputs;   // output row of each written slot
    std::vector<TLabelList> MbrDyaLabels;  // label list of each labelled slot
    int MbrNdxRows;
    int MbrNdxDataRows = 0;
    int MbrNdxInputs;
    int MbrNdxOutputs;
    bool MbrFlgLabels;
    int MbrNdxFirstRow = 0;
    int MbrNdxLastRow = 0;
    int MbrNdxChanges = 0;
    int MbrNdxCurrentRow = 0;
    int MbrNdxInputFeatures = 0;
    std::vector<int> MbrDyaInputFeatures;  // empty: no input selection
    int MbrNdxOutputFeatures = 0;
    std::vector<int> MbrDyaOutputFeatures;  // empty: no output selection
};

#endif
