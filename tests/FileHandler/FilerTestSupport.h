#ifndef TESTS_FILEHANDLER_FILERTESTSUPPORT_H
#define TESTS_FILEHANDLER_FILERTESTSUPPORT_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A file in the temporary folder, named after the running test and the
// process so that parallel test runs never share one; removed at the end.
class TempFile {
public:
    explicit TempFile(const std::string& tag) {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        path = std::filesystem::temp_directory_path() /
               ("kestran_" + std::to_string(::getpid()) + "_" + test->test_suite_name() + "_" +
                test->name() + "_" + tag);
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const char* Name() const { return path.c_str(); }
    bool Exists() const { return std::filesystem::exists(path); }

    void Write(const std::string& text) const {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    std::string Read() const {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path path;
};

#endif
