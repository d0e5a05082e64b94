// Fuzz target: one label list read from arbitrary text, then written back.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "FileHandler/Filer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    FileTools tools;
    tools.SetLine(1);
    std::unique_ptr<TLabelList> labels;
    try {
        labels.reset(ReadLabels(tools, in));
    } catch (const FileTools::Error&) {
        return 0;
    }
    std::ostringstream out;
    WriteLabels(tools, out, labels.get());
    return 0;
}
