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

std::error_code renameDurably(const fs::path& from, const fs::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return lastError();
    fs::path folder = to.parent_path();
    if (folder.empty()) folder = ".";
    // Makes the rename itself durable; the file is already complete, so a failure here is not
    // a failed write.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return {};
}

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
    if (::close(fd) != 0) {
        error = lastError();
        ::unlink(temp.c_str());
        return error;
    }
    if ((error = renameDurably(temp, target))) ::unlink(temp.c_str());
    return error;
}

namespace {

// Writes are collected up to this size before they go to the disk.
constexpr std::size_t kWriteBuffer = 64 * 1024;

fs::path resolvedTarget(const fs::path& requested) {
    std::error_code error;
    if (fs::is_symlink(requested, error)) {
        auto real = fs::canonical(requested, error);
        if (!error) return real;
    }
    return requested;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const fs::path& target) : target_(resolvedTarget(target)) {
    if (target_.filename().empty()) {
        error_ = std::make_error_code(std::errc::invalid_argument);
        return;
    }
    fs::path folder = target_.parent_path();
    if (folder.empty()) folder = ".";
    struct stat old {};
    const bool exists = ::stat(target_.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        error_ = std::make_error_code(std::errc::is_a_directory);
        return;
    }
    for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
        temp_ = folder / ("." + target_.filename().string() + "." + std::to_string(::getpid()) +
                          ".w" + std::to_string(attempt) + ".tmp");
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) {
            error_ = lastError();
            temp_.clear();
            return;
        }
    }
    if (fd_ < 0) {
        error_ = std::make_error_code(std::errc::file_exists);
        temp_.clear();
        return;
    }
    // The replacement keeps the permissions of the file it replaces.
    if (exists) (void)::fchmod(fd_, old.st_mode & 07777);
    buffer_.reserve(kWriteBuffer);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (!committed_) discard();
}

std::error_code AtomicFileWriter::fail(std::error_code error) {
    if (!error_) error_ = error;
    return error_;
}

std::error_code AtomicFileWriter::write(std::string_view bytes) {
    if (error_) return error_;
    if (finished_) return fail(std::make_error_code(std::errc::bad_file_descriptor));
    if (buffer_.size() + bytes.size() > kWriteBuffer) {
        if (auto error = flush()) return error;
        if (bytes.size() > kWriteBuffer) {
            if (!writeAll(fd_, bytes)) return fail(lastError());
            return {};
        }
    }
    buffer_.append(bytes);
    return {};
}

std::error_code AtomicFileWriter::flush() {
    if (error_) return error_;
    if (!writeAll(fd_, buffer_)) return fail(lastError());
    buffer_.clear();
    return {};
}

std::error_code AtomicFileWriter::finish() {
    if (error_ || finished_) return error_;
    if (auto error = flush()) return error;
    if (::fsync(fd_) != 0) return fail(lastError());
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(lastError());
    finished_ = true;
    return {};
}

std::error_code AtomicFileWriter::commit() {
    if (auto error = finish()) return error;
    if (committed_) return {};
    if (auto error = renameDurably(temp_, target_)) return fail(error);
    committed_ = true;
    return {};
}

void AtomicFileWriter::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

}  // namespace plovix
