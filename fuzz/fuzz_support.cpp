#include "fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "app/ini_file.h"
#include "workflow/start_session.h"

namespace plovix::fuzz {

namespace fs = std::filesystem;

Input::Input(const std::uint8_t* data, std::size_t size, std::size_t controlBytes)
    : all_(reinterpret_cast<const char*>(data), size), controlBytes_(controlBytes) {
    rest_ = size > controlBytes ? all_.substr(controlBytes) : std::string_view{};
}

std::uint8_t Input::control(std::size_t i) const {
    return i < controlBytes_ && i < all_.size() ? static_cast<std::uint8_t>(all_[i]) : 0;
}

namespace {

fs::path makeScratchFolder() {
    std::error_code error;
    fs::path base = "/dev/shm";
    if (::access(base.c_str(), W_OK) != 0) base = fs::temp_directory_path(error);
    const fs::path folder = base / ("plovix-fuzz-" + std::to_string(::getpid()));
    fs::remove_all(folder, error);
    fs::create_directories(folder, error);
    if (error) broken("cannot make the scratch folder " + folder.string() + ": " + error.message());
    return folder;
}

void removeScratchFolder();

const fs::path& folderOfThisProcess() {
    static const fs::path folder = [] {
        fs::path made = makeScratchFolder();
        std::atexit(removeScratchFolder);
        return made;
    }();
    return folder;
}

void removeScratchFolder() {
    std::error_code error;
    fs::remove_all(folderOfThisProcess(), error);
}

}  // namespace

const fs::path& scratchFolder() {
    return folderOfThisProcess();
}

const Session& defaultSession() {
    static const Session session = [] {
        Session s;
        startSession(s, scratchFolder() / "Plovix.INI", IniFile{});
        return s;
    }();
    return session;
}

void writeScratchFile(const fs::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) broken("cannot write the scratch file " + path.string());
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ::close(fd);
            broken("cannot write the scratch file " + path.string());
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

ScriptedOperator::ScriptedOperator(std::uint8_t cancels)
    : cancels_(cancels), verbose_(std::getenv("PLOVIX_FUZZ_VERBOSE") != nullptr) {}

void ScriptedOperator::showMessage(const std::string& text, const std::string& title, MessageIcon) {
    ++shown;
    if (verbose_) std::fprintf(stderr, "[%s] %s\n", title.c_str(), text.c_str());
}

bool ScriptedOperator::askOkCancel(const std::string& text, const std::string& title, MessageIcon) {
    const int i = asked++;
    const bool ok = i >= 8 || ((cancels_ >> i) & 1) == 0;
    if (verbose_)
        std::fprintf(stderr, "[%s] %s -> %s\n", title.c_str(), text.c_str(), ok ? "OK" : "Cancel");
    return ok;
}

void broken(const std::string& what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

}  // namespace plovix::fuzz
