// Packed panel buffers: the 3 x 2 example of every layout byte for byte (the
// C header as whole text) and every refusal; the round trips of odd sizes
// are tested from Python (tests/python).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <morva6/morva6_pack.h>

#include "tests/support/support.h"

namespace {

const std::vector<std::uint8_t> kExample{0, 1, 2, 3, 4, 5};  // 3 x 2
const std::vector<std::uint8_t> kSkipFour{0, 1, 2, 3, 5, 6};

struct Packed {
    std::int32_t status;
    std::vector<std::uint8_t> bytes;
};

Packed pack(const std::vector<std::uint8_t>& indices, int width, int height, int layout,
            const std::vector<std::uint8_t>* map = nullptr, const char* name = nullptr) {
    std::uint8_t* out = reinterpret_cast<std::uint8_t*>(1);
    std::size_t size = 99;
    const std::int32_t status = morva6_pack(indices.data(), width, height, layout, map ? map->data() : nullptr,
                                            map ? std::int32_t(map->size()) : 0, name, &out, &size);
    Packed packed{status, {}};
    if (status == MORVA6_PACK_OK)
        packed.bytes.assign(out, out + size);
    else
        EXPECT_TRUE(out == nullptr && size == 0);
    std::free(out);
    return packed;
}

TEST(Packing, ThreeByTwoExampleInEveryLayout) {
    struct Case {
        int layout;
        bool mapped;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {MORVA6_PACK_PACKED4, false, {0x01, 0x20, 0x34, 0x50}},
        {MORVA6_PACK_PACKED4, true, {0x01, 0x20, 0x35, 0x60}},
        {MORVA6_PACK_INDICES, false, {0, 1, 2, 3, 4, 5}},
        {MORVA6_PACK_INDICES, true, {0, 1, 2, 3, 5, 6}},
    };
    for (const Case& c : cases) {
        const Packed packed = pack(kExample, 3, 2, c.layout, c.mapped ? &kSkipFour : nullptr);
        ASSERT_EQ(packed.status, MORVA6_PACK_OK);
        EXPECT_EQ(packed.bytes, c.bytes) << c.layout << " " << c.mapped;
        EXPECT_EQ(morva6_packed_size(3, 2, c.layout), c.bytes.size());
    }
    const Packed text = pack(kExample, 3, 2, MORVA6_PACK_C_ARRAY, &kSkipFour, "frame");
    ASSERT_EQ(text.status, MORVA6_PACK_OK);
    EXPECT_EQ(std::string(text.bytes.begin(), text.bytes.end()),
              "/* 3 x 2 pixels, packed4: four bits a pixel, two pixels a byte, first pixel in the\n"
              " * high nibble, rows padded to whole bytes; 4 bytes.\n"
              " * width 3, height 2, format packed4, index map 0,1,2,3,5,6 */\n"
              "#ifndef PANEL_ARRAY_frame_H\n#define PANEL_ARRAY_frame_H\n\n#include <stdint.h>\n\n"
              "const uint8_t frame[4] = {\n    0x01, 0x20, 0x35, 0x60\n};\n\n#endif\n");
}

TEST(Packing, Refusals) {
    const std::vector<std::uint8_t> sixteen(16, 15), big{16, 0, 0, 0, 0, 0};
    const std::vector<std::uint8_t> twice{0, 1, 1}, short_map{0, 1, 2}, nibble_map{0, 16};
    struct Case {
        const char* what;
        std::int32_t status;
        Packed packed;
    };
    const Case cases[] = {
        {"unknown layout", MORVA6_PACK_ERR_FORMAT, pack(kExample, 3, 2, 4)},
        {"zero width", MORVA6_PACK_ERR_SIZE, pack(kExample, 0, 2, MORVA6_PACK_PACKED4)},
        {"negative height", MORVA6_PACK_ERR_SIZE, pack(kExample, 3, -2, MORVA6_PACK_INDICES)},
        {"past int32", MORVA6_PACK_ERR_SIZE, pack(kExample, 65536, 32768, MORVA6_PACK_INDICES)},
        {"index 16 in nibbles", MORVA6_PACK_ERR_INDEX, pack(big, 3, 2, MORVA6_PACK_PACKED4)},
        {"map too short", MORVA6_PACK_ERR_INDEX, pack(kExample, 3, 2, MORVA6_PACK_INDICES, &short_map)},
        {"one code twice", MORVA6_PACK_ERR_MAP, pack(kExample, 3, 2, MORVA6_PACK_INDICES, &twice)},
        {"code 16 in nibbles", MORVA6_PACK_ERR_MAP, pack(kExample, 3, 2, MORVA6_PACK_C_ARRAY, &nibble_map)},
        {"name not C", MORVA6_PACK_ERR_NAME, pack(kExample, 3, 2, MORVA6_PACK_C_ARRAY, nullptr, "9lives")},
        {"name with dash", MORVA6_PACK_ERR_NAME, pack(kExample, 3, 2, MORVA6_PACK_C_ARRAY, nullptr, "a-b")},
    };
    for (const Case& c : cases) EXPECT_EQ(c.packed.status, c.status) << c.what;
    EXPECT_EQ(pack(sixteen, 4, 4, MORVA6_PACK_INDICES, nullptr).status, MORVA6_PACK_OK);

    // Unpacking: a wrong length, a code no index has, C text; nothing written.
    const std::vector<std::uint8_t> packed{0x01, 0x20, 0x37, 0x60};
    std::vector<std::uint8_t> out(6, 0xee);
    EXPECT_EQ(morva6_unpack(packed.data(), 3, 3, 2, MORVA6_PACK_PACKED4, nullptr, 0, out.data()),
              MORVA6_PACK_ERR_LENGTH);
    EXPECT_EQ(morva6_unpack(packed.data(), 4, 3, 2, MORVA6_PACK_PACKED4, kSkipFour.data(), 6, out.data()),
              MORVA6_PACK_ERR_CODE);
    EXPECT_EQ(morva6_unpack(packed.data(), 4, 3, 2, MORVA6_PACK_C_ARRAY, nullptr, 0, out.data()),
              MORVA6_PACK_ERR_FORMAT);
    EXPECT_EQ(out, std::vector<std::uint8_t>(6, 0xee));
    EXPECT_STRNE(morva6_pack_message(MORVA6_PACK_ERR_CODE), morva6_pack_message(12345));
}

}  // namespace
