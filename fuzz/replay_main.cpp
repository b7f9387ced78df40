// Runs a fuzz target over stored inputs, without libFuzzer: the corpus and the regression
// inputs of a target become an ordinary test of every build. Arguments are files and folders
// (every file in a folder, in name order); "--pending FILE" names the list of inputs whose
// finding is not fixed yet (each written as `target/name`), which are skipped. A failed check
// or a sanitizer report ends the run as it ends the fuzzer.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::string pending;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--pending" && i + 1 < argc) {
            pending = plovix::fuzz::fileBytes(argv[++i]);
            continue;
        }
        std::error_code error;
        if (fs::is_directory(arg, error)) {
            std::vector<fs::path> found;
            for (const auto& entry : fs::directory_iterator(arg))
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                    found.push_back(entry.path());
            std::sort(found.begin(), found.end());
            inputs.insert(inputs.end(), found.begin(), found.end());
        } else if (fs::is_regular_file(arg, error)) {
            inputs.emplace_back(arg);
        } else {
            std::fprintf(stderr, "no such file or folder: %s\n", arg.c_str());
            return 2;
        }
    }
    int ran = 0, skipped = 0;
    for (const fs::path& input : inputs) {
        const std::string name =
            input.parent_path().filename().string() + "/" + input.filename().string();
        if (pending.find("`" + name + "`") != std::string::npos) {
            std::printf("pending, skipped: %s\n", name.c_str());
            ++skipped;
            continue;
        }
        const std::string bytes = plovix::fuzz::fileBytes(input);
        std::fprintf(stderr, "%s\n", input.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++ran;
    }
    std::printf("%d inputs run, %d pending\n", ran, skipped);
    if (ran == 0) {
        std::fprintf(stderr, "no input to run\n");
        return 2;
    }
    return 0;
}
