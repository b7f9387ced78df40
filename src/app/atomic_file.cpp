#include "app/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace plovix {

namespace fs = std::filesystem;

namespace {

std::error_code lastError() {
    return {errno, std::system_category()};
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

std::error_code writeFileAtomically(const fs::path& requested, std::string_view bytes) {
    std::error_code error;
    fs::path target = requested;
    // Through a link the file it names is replaced, not the link.
    if (fs::is_symlink(target, error)) {
        auto real = fs::canonical(target, error);
        if (!error) target = std::move(real);
    }
    error.clear();
    if (target.filename().empty()) return std::make_error_code(std::errc::invalid_argument);
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    fs::create_directories(folder, error);
    if (error) return error;

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) return std::make_error_code(std::errc::is_a_directory);

    fs::path temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                         std::to_string(attempt) + ".tmp");
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return lastError();
    }
    if (fd < 0) return std::make_error_code(std::errc::file_exists);

    // The replacement keeps the permissions of the file it replaces.
    if (exists) (void)::fchmod(fd, old.st_mode & 07777);
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        error = lastError();
        ::close(fd);
        ::unlink(temp.c_str());
        return error;
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), target.c_str()) != 0) {
        error = lastError();
        ::unlink(temp.c_str());
        return error;
    }
    // Makes the rename itself durable; the file is already complete, so a failure here is not
    // a failed write.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return {};
}

}  // namespace plovix
