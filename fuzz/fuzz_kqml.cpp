// Fuzz target: the KQML text reader, and printing what it accepted.

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "KQmessage/KQML.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    const char* cursor = text.c_str();
    std::streambuf* saved = std::cerr.rdbuf(nullptr);  // silence the reader's messages
    try {
        std::unique_ptr<TKQstructure> tree(ParseMessage(&cursor));
        std::ostringstream out;
        Print(tree.get(), out);
        TKQstructure copy(*tree);
    } catch (const TKQstructure::Error&) {
    }
    std::cerr.rdbuf(saved);
    return 0;
}
