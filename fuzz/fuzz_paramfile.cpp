// Fuzz target: the parameter-file reader and the required-entry checks.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "MLP/ParamFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    TRunSettings settings;
    std::string message;
    if (ReadParameterFile(in, &settings, &message)) {
        CheckRequiredSettings(settings);
        if (settings.features.size() != static_cast<size_t>(settings.featureCount)) __builtin_trap();
    }
    return 0;
}
