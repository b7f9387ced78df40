#pragma once
// A fresh folder for one test, named after it, removed with everything in it afterwards.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace plovix::testing {

struct TempFolder {
    std::filesystem::path path = std::filesystem::temp_directory_path() / name();
    TempFolder() { std::filesystem::create_directories(path); }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(path, error);
    }
    TempFolder(const TempFolder&) = delete;
    static std::string name() {  // a parameterised test's name holds "/"
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(test.begin(), test.end(), '/', '_');
        return "plovix-" + test + "-" + std::to_string(::getpid());
    }
    TempFolder& operator=(const TempFolder&) = delete;
};

}  // namespace plovix::testing
