#include "RunProgram.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

ProgramRun RunProgram(const std::vector<std::string>& arguments, const std::string& directory) {
    std::string outPath = directory + "/.stdout";
    std::string errPath = directory + "/.stderr";
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(directory.c_str()) != 0) _exit(127);
        if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr)) {
            _exit(127);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(KESTRAN_EXE));
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(KESTRAN_EXE, argv.data());
        _exit(127);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    ProgramRun run;
    run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    run.out = ReadTextFile(outPath);
    run.err = ReadTextFile(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return run;
}

std::string MakeTempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestran-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    return made ? std::string(made) : std::string();
}

void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }
