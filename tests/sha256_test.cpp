#include "app/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace plovix {
namespace {

// The published test vectors of the standard, the million 'a' fed in uneven pieces so that
// pieces end inside blocks and whole blocks are taken straight from the input.
TEST(Sha256, StandardTestVectors) {
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    Sha256 million;
    const std::string piece(997, 'a');
    std::size_t left = 1000000;
    for (std::size_t n = 1; left > 0; n = n % 997 + 61) {
        const std::size_t take = std::min({n, left, piece.size()});
        million.update(std::string_view(piece).substr(0, take));
        left -= take;
    }
    EXPECT_EQ(million.hexDigest(),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

}  // namespace
}  // namespace plovix
