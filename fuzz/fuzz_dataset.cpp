// Fuzz target: the data set file reader on arbitrary text. Broken input must
// end in a FileTools::Error; a file that reads must give tables that can be
// walked row by row as the training walks them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FileHandler/Filer.h"

namespace {

void WalkRows(Data* table) {
    if (table == nullptr || table->GetNumDataRows() == 0) return;
    std::vector<double> inputs(static_cast<size_t>(table->GetNumSelectedInputs()));
    std::vector<double> outputs(static_cast<size_t>(table->GetNumSelectedOutputs()));
    const TLabelList* labels = nullptr;
    table->RewindCursor();
    int rows = std::min(table->GetNumRows(), 4096) + 1;  // once round, and into the wrap
    for (int i = 0; i < rows; ++i) table->GetNextRow(inputs.data(), outputs.data(), &labels);
    table->GetPreviousRow(inputs.data(), outputs.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    FileTools tools;
    tools.SetLine(1);
    Data* primary = nullptr;
    Data* result = nullptr;
    try {
        ReadDataSetPair(tools, in, &primary, &result);
    } catch (const FileTools::Error&) {
        return 0;
    }
    std::unique_ptr<Data> ownedPrimary(primary);
    std::unique_ptr<Data> ownedResult(result);
    WalkRows(primary);
    WalkRows(result);
    return 0;
}
