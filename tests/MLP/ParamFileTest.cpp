#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "MLP/ParamFile.h"

namespace {

// The settings read from text, described in one line, or the error message.
std::string Read(const std::string& text) {
    std::istringstream in(text);
    TRunSettings s;
    std::string message;
    if (!ReadParameterFile(in, &s, &message)) return "error: " + message;
    std::string features;
    for (int f : s.features) features += " " + std::to_string(f);
    return "w=" + s.weightFile + " d=" + s.destinationFile + " t=" + s.trainingFile +
           " e=" + s.errorFunction + " n=" + std::to_string(s.epochs) +
           " #f=" + std::to_string(s.featureCount) + " f=" + features;
}

}  // namespace

TEST(ParameterFile, ReadsStatementsWithAnySeparator) {
    struct Case {
        const char* text;
        const char* settings;
    } cases[] = {
        {"", "w= d=trained.wgt t= e= n=0 #f=0 f="},
        {"WeightFile : net.wgt\nTrainingFile = data.dat\nEpochs : 25\n",
         "w=net.wgt d=trained.wgt t=data.dat e= n=25 #f=0 f="},
        // keywords in any case, separator any character, value glued to it or not
        {"weightfile :a WEIGHTFILE :b epochs : 25 ERRORFUNCTION ~ CrossEntropy",
         "w=b d=trained.wgt t= e=CrossEntropy n=25 #f=0 f="},
        // the separator is the next non-blank character, whatever it is
        {"Epochs 25", "w= d=trained.wgt t= e= n=5 #f=0 f="},
        {"Epochs=25 Epochs : 3", "w= d=trained.wgt t= e= n=3 #f=0 f="},
        {"Epochs : 010", "w= d=trained.wgt t= e= n=8 #f=0 f="},
        {"Epochs : 0x10", "w= d=trained.wgt t= e= n=16 #f=0 f="},
        {"Epochs : -0X1f", "w= d=trained.wgt t= e= n=-31 #f=0 f="},
        {"Epochs : +7", "w= d=trained.wgt t= e= n=7 #f=0 f="},
        {"Epochs : 09", "w= d=trained.wgt t= e= n=0 #f=0 f="},  // octal 0, then the word 9
        {"Epochs : 25abc", "w= d=trained.wgt t= e= n=25 #f=0 f="},
        {"#Features : 2 Features : 3 5", "w= d=trained.wgt t= e= n=0 #f=2 f= 3 5"},
        {"#Features : 2 Features :\n 0x3\n 010", "w= d=trained.wgt t= e= n=0 #f=2 f= 3 8"},
        // Features before #Features: only the separator is read, 3 and 5 are free words
        {"Features : 3 5 #Features : 2 Features : 1 0", "w= d=trained.wgt t= e= n=0 #f=2 f= 1 0"},
        {"Features : 3 5", "w= d=trained.wgt t= e= n=0 #f=0 f="},
        {"#Features : 0 Features : 1", "w= d=trained.wgt t= e= n=0 #f=0 f="},
        {"DestinationFile : out.wgt a remark in plain words Epochs : 1",
         "w= d=out.wgt t= e= n=1 #f=0 f="},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.text), c.settings) << c.text;
}

TEST(ParameterFile, RejectsValuesItCannotUse) {
    std::string longWord(256, 'x');
    struct Case {
        std::string text;
        std::string message;
    } cases[] = {
        {"Epochs : ten", "error: Epochs expects an integer, found \"ten\""},
        {"Epochs : - 3", "error: Epochs expects an integer, found \"-\""},
        {"Epochs : 0x", "error: Epochs expects an integer, found \"0x\""},
        {"Epochs :", "error: Epochs expects an integer, found end of file"},
        {"Epochs", "error: Epochs expects a value, found end of file"},
        {"WeightFile :", "error: WeightFile expects a value, found end of file"},
        {"Epochs : 99999999999", "error: Epochs value out of range: \"99999999999\""},
        {"#Features : -2", "error: #Features must not be negative, found \"-2\""},
        {"#Features : 2 Features : 3 Epochs : 4",
         "error: Features expects 2 integers, found \"Epochs\""},
        {"#Features : 3 Features : 1 2", "error: Features expects 3 integers, found end of file"},
        {"#Features : 2 Epochs : 5", "error: #Features 2 is not followed by a Features list"},
        {"#Features : 1 Features : 4 #Features : 1",
         "error: #Features 1 is not followed by a Features list"},
        {"WeightFile : " + longWord,
         "error: WeightFile value longer than 255 characters: \"" + longWord.substr(0, 40) + "...\""},
        {longWord, "error: Word longer than 255 characters: \"" + longWord.substr(0, 40) + "...\""},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.text), c.message) << c.text;
    // A word of exactly 255 characters is fine.
    EXPECT_EQ(Read("WeightFile : " + longWord.substr(1)).substr(0, 259), "w=" + longWord.substr(1) + " d");
}

TEST(ParameterFile, RequiredEntriesAreCheckedInOrder) {
    TRunSettings s;
    EXPECT_STREQ(CheckRequiredSettings(s), "No weight file specified");
    s.epochs = 5;
    EXPECT_STREQ(CheckRequiredSettings(s), "No weight file specified");
    s.weightFile = "n.wgt";
    EXPECT_STREQ(CheckRequiredSettings(s), "No training file specified");
    s.trainingFile = "d.dat";
    EXPECT_EQ(CheckRequiredSettings(s), nullptr);
    s.epochs = 0;
    EXPECT_STREQ(CheckRequiredSettings(s), "Number of epochs not specified");
    s.epochs = -3;  // negative limits pass; the trainer runs no iteration
    EXPECT_EQ(CheckRequiredSettings(s), nullptr);
}
