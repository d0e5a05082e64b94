#ifndef FILEHANDLER_FILER_H
#define FILEHANDLER_FILER_H

#include <iosfwd>

#include "DataObject/Data.h"
#include "FileHandler/ParseTools.h"

class TKQstructure;

// Data set files. A file describes two tables that share their rows: the
// primary table (inputs and expected outputs, or a label list per row in
// place of the expected outputs) and the result table (generated outputs, or
// a label list per row in their place, and errors). The primary table is
// loaded as a Data with the inputs as inputs and the expected outputs as
// outputs; the result table as a Data with the generated outputs as inputs
// and the errors as outputs.
//
//   [FormatVersion = 1.0]                       optional
//   [DataSet]
//   [Rows = 2]                                  required, anywhere in the header
//   [Inputs = 2]                                the next four default to 0, may
//   [ExpectedOutputs = 1]     (or Labels)       each occur once, and only in
//   [GeneratedOutputs = 0]    (or Labels)       this order
//   [Error = 0]
//   [Data]
//   0.5 1.25  1                                 per row: inputs, expected outputs,
//   -2 3e-2  0                                  generated outputs and errors as
//   [~Data]                                     numbers, then the primary table's
//   [~DataSet]                                  label list, then the result table's
//
// A label list is "[", items "name" (value 1.0) or "name=number", "]"; a name
// repeated within one list adds its value to the earlier label. Keywords are
// compared with KQ::strcasecmp. Numbers may be nan or inf; they are kept.
//
// Parse errors throw FileTools::Error with the line where they were found.
// Errors thrown by the operations that open a file carry no stream (the
// file is closed when the error reaches the caller). Tables of a failed read
// are freed.

// Result codes.
constexpr int SUCCESS = 0;
constexpr int FILE_OPEN_ERROR = -81;  // the file cannot be opened (or written)
constexpr int HEADER_ERROR = -82;     // a header statement was not accepted, or an
                                      // unwanted result table was found
constexpr int ROW_COUNT_ERROR = -83;  // no row count for writing, or tables of
                                      // different row counts

// Reading. The out tables are owned by the caller and null for a table the
// file does not declare.

// A file that holds only a primary table: a result table makes the result
// HEADER_ERROR (the primary table is still handed out).
int ReadDataSet(FileTools& tools, const char* fileName, Data** primary);
int ReadDataSet(FileTools& tools, std::istream& in, Data** primary);
// A whole file. reply, when given, is destroyed at once; nothing is
// reported through it.
int ReadDataSetPair(FileTools& tools, const char* fileName, Data** primary, Data** result,
                    TKQstructure* reply);
// The same from a stream positioned at the start of the text; the caller
// sets the line counting of tools.
int ReadDataSetPair(FileTools& tools, std::istream& in, Data** primary, Data** result);
// The header statements after [DataSet]. Counts of Labels read as -1; rows
// is -1 when no ROWS statement was found. *statement receives the record
// that ended the header. HEADER_ERROR when a statement was not accepted.
int ReadDataSetHeader(FileTools& tools, std::istream& in, int* inputs, int* expected,
                      int* generated, int* errors, int* rows, Statement* statement);
// rowCount rows starting *offset bytes after the [Data] statement, into
// tables of capacity rowCount; *offset then designates the following row.
// Label lists are read for the rows, but a table of labels only is not
// created. The second form drops the result table.
int ReadDataSetRows(FileTools& tools, const char* fileName, long* offset, int rowCount,
                    Data** primary, Data** result);
int ReadDataSetRows(FileTools& tools, const char* fileName, long* offset, int rowCount,
                    Data** primary);
// One label list; the caller owns it.
TLabelList* ReadLabels(FileTools& tools, std::istream& in);

// Writing. Values are written with 15 significant digits.

// Writes "[", each label as "name " (value 1.0) or "name=value " (nine
// decimals), then "] ".
void WriteLabels(FileTools& tools, std::ostream& out, const TLabelList* labels);
// A whole file from a primary table, a result table or both (same row
// counts). reply, when given, is destroyed.
int WriteDataSet(FileTools& tools, const char* fileName, const Data* primary, const Data* result,
                 TKQstructure* reply);
// Creates (or truncates) the file and writes the format version, the header
// and [Data]. A count of -1 for expected or generated writes Labels.
int WriteDataSetHeader(FileTools& tools, const char* fileName, int inputs, int expected,
                       int generated, int errors, int rows);
// Appends one line per row slot. reply, when given, is destroyed.
int WriteDataSetRows(FileTools& tools, const char* fileName, const Data* primary,
                     const Data* result, TKQstructure* reply);
// Appends the end tags.
int WriteDataSetTrailer(FileTools& tools, const char* fileName);

// What a file holds, from its first statement (and the header of a data set
// file): a tree "data" with the integer entries "rows", "inputs",
// "actual-outputs", "calc-outputs" and "errors" (Labels as -1), a tree
// "network", or an error tree of type "file-read-error", "bad-header" or
// "unknown-header" (with "header" naming the keyword found). The caller owns
// the tree. A parse error in the header throws FileTools::Error.
TKQstructure* IdentifyFile(FileTools& tools, const char* fileName);

#endif
