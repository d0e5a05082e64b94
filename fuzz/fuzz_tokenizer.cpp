// Fuzz target: the statement reader. Reads statements until the end of input
// or the first error, following the open flag into continuation mode, and
// alternates between top level and an open block named by the first block
// start it meets, as the file readers do.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FileHandler/ParseTools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    FileTools tools;
    std::string block;
    bool continuation = false;
    try {
        for (;;) {
            Statement s = tools.ReadStatement(in, block.empty() ? nullptr : block.c_str(),
                                              continuation);
            if (s.kind == EndOfBlock) {
                if (block.empty()) break;
                block.clear();
            } else if (s.kind == KeywordOnly && !continuation && block.empty()) {
                block = s.keyword;
            } else if (s.kind == Token) {
                tools.ParseNumber(in, s.keyword.c_str());
            }
            continuation = s.open;
        }
    } catch (const FileTools::Error&) {
    }
    return 0;
}
