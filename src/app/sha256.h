#pragma once
// SHA-256 digests of bytes and files, so that a report can name exactly which bytes a result
// was computed from and which bytes were written.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace plovix {

class Sha256 {
  public:
    // Adds bytes to the message; may be called any number of times.
    void update(std::string_view bytes);
    // The digest of everything added so far, as 64 lower-case hexadecimal digits. The object
    // is unchanged and may take more bytes.
    std::string hexDigest() const;

  private:
    void compress(const unsigned char* block);

    std::array<std::uint32_t, 8> state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::array<unsigned char, 64> block_{};
    std::size_t blockUsed_ = 0;
    std::uint64_t length_ = 0;  // bytes added
};

// The digest of `bytes` as 64 lower-case hexadecimal digits.
std::string sha256Hex(std::string_view bytes);

struct FileDigest {
    std::string sha256;  // 64 lower-case hexadecimal digits
    std::uintmax_t bytes = 0;
};

// The digest and size of a file's bytes as they are on the disk; nullopt with the reason in
// `error` when the file cannot be read.
std::optional<FileDigest> sha256OfFile(const std::filesystem::path& path, std::error_code& error);

}  // namespace plovix
