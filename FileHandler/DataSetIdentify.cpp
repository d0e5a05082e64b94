#include <fstream>
#include <memory>
#include <string>

#include "FileHandler/DataSetFileSupport.h"
#include "FileHandler/Filer.h"
#include "KQmessage/TKQstructure.h"

TKQstructure* IdentifyFile(FileTools& tools, const char* fileName) {
    std::ifstream in;
    if (!OpenDataSetFile(tools, fileName, in)) return MakeErrorTree("file-read-error");
    try {
        std::string keyword =
            tools.ExpectBlockStart(tools.ReadStatement(in, nullptr, false), in, nullptr);
        if (KQ::strcasecmp(keyword.c_str(), "DATASET") == 0) {
            int inputs = 0;
            int expected = 0;
            int generated = 0;
            int errors = 0;
            int rows = 0;
            Statement statement;
            if (ReadDataSetHeader(tools, in, &inputs, &expected, &generated, &errors, &rows,
                                  &statement) != SUCCESS) {
                return MakeErrorTree("bad-header");
            }
            auto tree = std::make_unique<TKQstructure>("data");
            tree->SetInteger("rows", rows);
            tree->SetInteger("inputs", inputs);
            tree->SetInteger("actual-outputs", expected);
            tree->SetInteger("calc-outputs", generated);
            tree->SetInteger("errors", errors);
            return tree.release();
        }
        if (KQ::strcasecmp(keyword.c_str(), "NETWORK") == 0) return new TKQstructure("network");
        TKQstructure* tree = MakeErrorTree("unknown-header");
        tree->SetString("header", keyword.c_str());
        return tree;
    } catch (const FileTools::Error& error) {
        RethrowClosed(error);
    }
}
