#ifndef TESTS_MLP_RUNPROGRAM_H
#define TESTS_MLP_RUNPROGRAM_H

#include <string>
#include <vector>

// Runs the real KESTRAN executable in a directory and captures what it
// printed on each stream and its exit status.
struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

ProgramRun RunProgram(const std::vector<std::string>& arguments, const std::string& directory);

// A fresh empty directory for one test.
std::string MakeTempDirectory();
void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);

#endif
