// Packed panel buffers: index renaming, the nibble and byte layouts, and the
// C header text.
#include <morva6/morva6_pack.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr int kNoCode = -1;
constexpr std::size_t kBytesPerLine = 16;

bool known_layout(std::int32_t layout) {
    return layout == MORVA6_PACK_PACKED4 || layout == MORVA6_PACK_INDICES || layout == MORVA6_PACK_C_ARRAY;
}

bool size_fits(std::int32_t width, std::int32_t height) {
    return width > 0 && height > 0 && std::int64_t{width} * height <= INT32_MAX;
}

std::size_t row_bytes(std::int32_t width, std::int32_t layout) {
    return layout == MORVA6_PACK_INDICES ? std::size_t(width) : (std::size_t(width) + 1) / 2;
}

// The code of every index, kNoCode where the map has none.
using CodeTable = std::array<int, 256>;

// The code table of a map (null: every index is its own code), checked:
// distinct codes, and nibbles for the four-bit layout.
std::int32_t code_table(const std::uint8_t* map, std::int32_t map_length, std::int32_t layout, CodeTable& codes) {
    const int limit = layout == MORVA6_PACK_INDICES ? 256 : 16;
    codes.fill(kNoCode);
    if (map == nullptr) {
        for (int i = 0; i < limit; ++i) codes[i] = i;
        return MORVA6_PACK_OK;
    }
    if (map_length < 1 || map_length > 256) return MORVA6_PACK_ERR_MAP;
    std::array<bool, 256> used{};
    for (std::int32_t i = 0; i < map_length; ++i) {
        if (map[i] >= limit || used[map[i]]) return MORVA6_PACK_ERR_MAP;
        used[map[i]] = true;
        codes[i] = map[i];
    }
    return MORVA6_PACK_OK;
}

std::int32_t pack_binary(std::span<const std::uint8_t> indices, std::int32_t width, std::int32_t height,
                         std::int32_t layout, const CodeTable& codes, std::vector<std::uint8_t>& out) {
    const std::size_t stride = row_bytes(width, layout);
    out.assign(stride * std::size_t(height), 0);
    for (std::size_t y = 0; y < std::size_t(height); ++y) {
        const std::uint8_t* row = indices.data() + y * std::size_t(width);
        std::uint8_t* packed = out.data() + y * stride;
        for (std::size_t x = 0; x < std::size_t(width); ++x) {
            const int code = codes[row[x]];
            if (code == kNoCode) return MORVA6_PACK_ERR_INDEX;
            if (layout == MORVA6_PACK_INDICES)
                packed[x] = std::uint8_t(code);
            else
                packed[x / 2] |= std::uint8_t(x % 2 == 0 ? code << 4 : code);
        }
    }
    return MORVA6_PACK_OK;
}

bool is_identifier(const std::string& name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    for (const char c : name)
        if (!(c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

std::string map_text(const std::uint8_t* map, std::int32_t map_length) {
    if (map == nullptr) return "none";
    std::string text;
    for (std::int32_t i = 0; i < map_length; ++i) {
        if (i > 0) text.push_back(',');
        text.append(std::to_string(map[i]));
    }
    return text;
}

// The packed four-bit bytes as a C header.
std::string c_array_text(std::span<const std::uint8_t> bytes, std::int32_t width, std::int32_t height,
                         const std::string& name, const std::string& map) {
    const std::string guard = "PANEL_ARRAY_" + name + "_H";
    std::string text = "/* " + std::to_string(width) + " x " + std::to_string(height) +
                       " pixels, packed4: four bits a pixel, two pixels a byte, first pixel in the\n"
                       " * high nibble, rows padded to whole bytes; " +
                       std::to_string(bytes.size()) + " bytes.\n * width " + std::to_string(width) + ", height " +
                       std::to_string(height) + ", format packed4, index map " + map + " */\n#ifndef " + guard +
                       "\n#define " + guard + "\n\n#include <stdint.h>\n\nconst uint8_t " + name + "[" +
                       std::to_string(bytes.size()) + "] = {\n";
    static constexpr char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % kBytesPerLine == 0) text += "    ";
        text += "0x";
        text += kHex[bytes[i] >> 4];
        text += kHex[bytes[i] & 15];
        const bool last = i + 1 == bytes.size();
        text += last ? "\n" : (i % kBytesPerLine == kBytesPerLine - 1 ? ",\n" : ", ");
    }
    return text + "};\n\n#endif\n";
}

std::int32_t hand_out(const void* bytes, std::size_t size, std::uint8_t** out, std::size_t* out_size) {
    auto* block = static_cast<std::uint8_t*>(std::malloc(size == 0 ? 1 : size));
    if (block == nullptr) return MORVA6_PACK_ERR_NO_MEMORY;
    std::memcpy(block, bytes, size);
    *out = block;
    *out_size = size;
    return MORVA6_PACK_OK;
}

std::int32_t pack(const std::uint8_t* indices, std::int32_t width, std::int32_t height, std::int32_t layout,
                  const std::uint8_t* map, std::int32_t map_length, const char* array_name, std::uint8_t** out,
                  std::size_t* out_size) {
    if (!known_layout(layout)) return MORVA6_PACK_ERR_FORMAT;
    if (!size_fits(width, height)) return MORVA6_PACK_ERR_SIZE;
    if (indices == nullptr) return MORVA6_PACK_ERR_NULL;
    const std::string name = array_name != nullptr ? array_name : "panel_image";
    if (layout == MORVA6_PACK_C_ARRAY && !is_identifier(name)) return MORVA6_PACK_ERR_NAME;
    CodeTable codes;
    if (const std::int32_t status = code_table(map, map_length, layout, codes); status != MORVA6_PACK_OK) return status;
    const std::int32_t binary = layout == MORVA6_PACK_C_ARRAY ? MORVA6_PACK_PACKED4 : layout;
    std::vector<std::uint8_t> bytes;
    const std::span<const std::uint8_t> input(indices, std::size_t(width) * std::size_t(height));
    if (const std::int32_t status = pack_binary(input, width, height, binary, codes, bytes); status != MORVA6_PACK_OK)
        return status;
    if (layout != MORVA6_PACK_C_ARRAY) return hand_out(bytes.data(), bytes.size(), out, out_size);
    const std::string text = c_array_text(bytes, width, height, name, map_text(map, map_length));
    return hand_out(text.data(), text.size(), out, out_size);
}

}  // namespace

extern "C" int32_t morva6_pack(const uint8_t* indices, int32_t width, int32_t height, int32_t layout,
                               const uint8_t* map, int32_t map_length, const char* array_name, uint8_t** out,
                               size_t* out_size) {
    if (out == nullptr || out_size == nullptr) return MORVA6_PACK_ERR_NULL;
    *out = nullptr;
    *out_size = 0;
    try {
        return pack(indices, width, height, layout, map, map_length, array_name, out, out_size);
    } catch (const std::bad_alloc&) {
        return MORVA6_PACK_ERR_NO_MEMORY;
    }
}

extern "C" size_t morva6_packed_size(int32_t width, int32_t height, int32_t layout) {
    if ((layout != MORVA6_PACK_PACKED4 && layout != MORVA6_PACK_INDICES) || !size_fits(width, height)) return 0;
    return row_bytes(width, layout) * std::size_t(height);
}

extern "C" int32_t morva6_unpack(const uint8_t* packed, size_t packed_size, int32_t width, int32_t height,
                                 int32_t layout, const uint8_t* map, int32_t map_length, uint8_t* indices) {
    if (layout != MORVA6_PACK_PACKED4 && layout != MORVA6_PACK_INDICES) return MORVA6_PACK_ERR_FORMAT;
    if (!size_fits(width, height)) return MORVA6_PACK_ERR_SIZE;
    if (packed == nullptr || indices == nullptr) return MORVA6_PACK_ERR_NULL;
    if (packed_size != morva6_packed_size(width, height, layout)) return MORVA6_PACK_ERR_LENGTH;
    CodeTable codes;
    if (const std::int32_t status = code_table(map, map_length, layout, codes); status != MORVA6_PACK_OK) return status;
    CodeTable index_of;
    index_of.fill(kNoCode);
    for (int i = 0; i < 256; ++i)
        if (codes[i] != kNoCode) index_of[codes[i]] = i;
    const std::size_t stride = row_bytes(width, layout);
    // Checked whole before anything is written.
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t y = 0; y < std::size_t(height); ++y)
            for (std::size_t x = 0; x < std::size_t(width); ++x) {
                const std::uint8_t byte =
                    layout == MORVA6_PACK_INDICES ? packed[y * stride + x] : packed[y * stride + x / 2];
                const int code = layout == MORVA6_PACK_INDICES ? byte : (x % 2 == 0 ? byte >> 4 : byte & 15);
                if (index_of[code] == kNoCode) return MORVA6_PACK_ERR_CODE;
                if (pass == 1) indices[y * std::size_t(width) + x] = std::uint8_t(index_of[code]);
            }
    return MORVA6_PACK_OK;
}

extern "C" int32_t morva6_indices_from_codes(const uint8_t* codes, size_t count, uint8_t* indices) {
    if (count > 0 && (codes == nullptr || indices == nullptr)) return MORVA6_PACK_ERR_NULL;
    // The timing-controller codes of the inks black, white, yellow, red, green, blue.
    constexpr std::uint8_t kCodes[6] = {0x00, 0x78, 0x20, 0x40, 0x30, 0x10};
    constexpr std::uint8_t kNoInk = 0xff;
    std::array<std::uint8_t, 256> index_of;
    index_of.fill(kNoInk);
    for (std::uint8_t i = 0; i < 6; ++i) index_of[kCodes[i]] = i;
    std::uint8_t seen = 0;  // the bits of every index written
    for (std::size_t i = 0; i < count; ++i) seen |= indices[i] = index_of[codes[3 * i]];
    return (seen & 0xf8) != 0 ? MORVA6_PACK_ERR_CODE : MORVA6_PACK_OK;
}

extern "C" const char* morva6_pack_message(int32_t status) {
    switch (status) {
        case MORVA6_PACK_OK:
            return "packed";
        case MORVA6_PACK_ERR_FORMAT:
            return "unknown packed layout (packed4, packed-indices or c-array; c-array cannot be unpacked)";
        case MORVA6_PACK_ERR_SIZE:
            return "width and height must be at least 1 and width x height at most 2147483647";
        case MORVA6_PACK_ERR_MAP:
            return "unusable index map: it needs 1 to 256 distinct codes, each 0..15 for packed4";
        case MORVA6_PACK_ERR_INDEX:
            return "an index has no code: the index map is too short, or an index is above 15 for packed4";
        case MORVA6_PACK_ERR_LENGTH:
            return "the packed buffer's length does not match its width, height and layout";
        case MORVA6_PACK_ERR_CODE:
            return "the packed buffer holds a code that the index map gives to no index";
        case MORVA6_PACK_ERR_NAME:
            return "the array name is not a C identifier";
        case MORVA6_PACK_ERR_NO_MEMORY:
            return "not enough memory for the packed buffer";
        case MORVA6_PACK_ERR_NULL:
            return "a buffer pointer is null";
        default:
            return "unknown packing status";
    }
}
