// The usage and version texts, pinned whole by a hash of every byte (a
// mismatch prints the text as it now stands).
#include <gtest/gtest.h>

#include <cstring>

#include "morva6/morva6.h"
#include "morva6/sample/usage_text.h"
#include "tests/support/support.h"

namespace {

std::uint64_t hash_of(const char* text) {
    test_support::Hash hash;
    hash.add(reinterpret_cast<const std::uint8_t*>(text), std::strlen(text));
    return hash.value();
}

TEST(Texts, UsageAndVersionAreByteForByteTheSame) {
    EXPECT_EQ(hash_of(usageText()), 0x98257AE317F14851ULL) << usageText();
    EXPECT_EQ(hash_of(Ovex_get_updateLog()), 0x6756C04C91422B40ULL) << Ovex_get_updateLog();
}

}  // namespace
