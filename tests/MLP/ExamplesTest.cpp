#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "RunProgram.h"

// The committed example networks are exactly what the generator writes: the
// library's generator and writer give the same text on every machine.
TEST(Examples, GeneratorReproducesTheCommittedNetworks) {
    std::string dir = MakeTempDirectory();
    const char* files[] = {"xor/xor.wgt", "iris/iris.wgt", "regression/sine.wgt"};
    for (const char* file : files) {
        std::filesystem::create_directories(std::filesystem::path(dir + "/" + file).parent_path());
    }
    std::string command = std::string(MAKE_EXAMPLES_EXE) + " " + dir + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* file : files) {
        EXPECT_EQ(ReadTextFile(dir + "/" + file),
                  ReadTextFile(std::string(KESTRAN_SOURCE_DIR) + "/examples/" + file))
            << file;
    }
    std::filesystem::remove_all(dir);
}
