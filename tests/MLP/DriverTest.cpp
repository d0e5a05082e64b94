#include <gtest/gtest.h>

#include <filesystem>

#include "RunProgram.h"

class Driver : public testing::Test {
protected:
    void SetUp() override { dir = MakeTempDirectory(); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    ProgramRun Run(const std::string& parameters) {
        WriteTextFile(dir + "/run.par", parameters);
        return RunProgram({"run.par"}, dir);
    }
    std::string dir;
};

TEST_F(Driver, WrongArgumentCountPrintsUsageOnly) {
    for (auto arguments : {std::vector<std::string>{}, std::vector<std::string>{"a", "b"}}) {
        ProgramRun run = RunProgram(arguments, dir);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "Usage: KESTRAN parameter.file\n");
    }
}

TEST_F(Driver, UnreadableParameterFileIsNamed) {
    ProgramRun run = RunProgram({"missing.par"}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Cannot open parameter file missing.par\n");
}

TEST_F(Driver, MissingEntriesAreReportedInOrder) {
    struct Case {
        const char* parameters;
        const char* message;
    } cases[] = {
        {"WeightFile : n.wgt TrainingFile : d.dat", "Number of epochs not specified\n"},
        {"WeightFile : n.wgt TrainingFile : d.dat Epochs : 0", "Number of epochs not specified\n"},
        {"Epochs : 5", "No weight file specified\n"},
        {"Epochs : 5 WeightFile : n.wgt", "No training file specified\n"},
        {"Epochs : ten WeightFile : n.wgt",
         "Parameter file run.par: Epochs expects an integer, found \"ten\"\n"},
    };
    for (const Case& c : cases) {
        ProgramRun run = Run(c.parameters);
        EXPECT_EQ(run.status, 1) << c.parameters;
        EXPECT_EQ(run.out, "") << c.parameters;
        EXPECT_EQ(run.err, c.message) << c.parameters;
    }
}
