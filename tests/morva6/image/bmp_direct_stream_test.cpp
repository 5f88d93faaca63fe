// readBMP_QW and saveBMP_QW move 24-bit blue-green-red streams straight
// between file and stream, without a record in between. These checks hold
// them to what the record path gives: BMP_read then the rows in the asked
// order, and Stream_to_BMP then BMP_save, for every row order, odd widths
// (row padding), top-down files and files that end early, and the messages
// printed.
#include <gtest/gtest.h>

#include <morva6/morva6_image.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "bmp_bytes.h"

namespace {

using bmp_bytes::Bytes;

// The stream the record path gives: rows bottom first as BMP_read holds
// them, turned top first when `flip`.
Bytes via_record(const std::string& path, bool flip, std::int32_t& width, std::int32_t& height) {
    BMP record = new_BMP();
    EXPECT_EQ(BMP_read(&record, path.c_str()), MORVA6_IMG_OK);
    width = record.biWidth;
    height = record.biHeight;
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    Bytes rows(record.data, record.data + row * static_cast<std::size_t>(height));
    BMP_release(&record);
    if (!flip) return rows;
    Bytes flipped;
    for (std::int32_t r = height - 1; r >= 0; --r)
        flipped.insert(flipped.end(), rows.begin() + static_cast<std::ptrdiff_t>(r * row),
                       rows.begin() + static_cast<std::ptrdiff_t>((r + 1) * row));
    return flipped;
}

struct FileCase {
    std::int32_t width, height;  // negative height: top row first
    std::size_t cut;             // bytes missing at the end of the file
};

TEST(BmpDirectStream, ReadEqualsTheRecordPath) {
    const bmp_bytes::ScratchDir dir;
    const std::string path = dir.file("in.bmp");
    const FileCase cases[] = {{1, 1, 0}, {5, 3, 0}, {5, -3, 0}, {4, 4, 0}, {4, -4, 0},
                              {7, 6, 5}, {7, -6, 5}, {6, 5, 20}, {3, 0, 0}, {0, 3, 0}};
    for (const FileCase& c : cases)
        for (const bool flip : {false, true}) {
            SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " cut " +
                         std::to_string(c.cut) + (flip ? " flipped" : ""));
            bmp_bytes::BmpFile file;
            file.width = c.width;
            file.height = c.height;
            file.pixels = bmp_bytes::counting(static_cast<std::size_t>(c.width) * 3 *
                                              static_cast<std::size_t>(c.height < 0 ? -c.height : c.height));
            Bytes bytes = bmp_bytes::build(file);
            bytes.resize(bytes.size() - c.cut);
            bmp_bytes::write_file(path, bytes);

            std::int32_t record_width = 0, record_height = 0;
            const Bytes expected = via_record(path, flip, record_width, record_height);
            std::uint8_t* stream = nullptr;
            std::int32_t width = -1, height = -1;
            std::string printed = bmp_bytes::printed_by([&] {
                EXPECT_EQ(readBMP_QW(&stream, &width, &height, path.c_str(), MORVA6_BGR, flip), MORVA6_IMG_OK);
            });
            EXPECT_EQ(printed, "");
            EXPECT_EQ(width, record_width);
            EXPECT_EQ(height, record_height);
            ASSERT_NE(stream, nullptr);
            EXPECT_EQ(Bytes(stream, stream + expected.size()), expected);
            std::free(stream);
        }
}

TEST(BmpDirectStream, SaveEqualsTheRecordPath) {
    const bmp_bytes::ScratchDir dir;
    const std::string direct = dir.file("direct.bmp");
    const std::string recorded = dir.file("record.bmp");
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{4, 4}, std::pair{7, 2}})
        for (const std::uint8_t flip : {0, 1}) {
            SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + (flip ? " flipped" : ""));
            const Bytes stream = bmp_bytes::counting(static_cast<std::size_t>(width) * height * 3, 9);
            ASSERT_EQ(saveBMP_QW(stream.data(), width, height, direct.c_str(), MORVA6_BGR, flip), MORVA6_IMG_OK);

            BMP record = new_BMP();
            BMP_init(&record, width, height);
            ASSERT_EQ(Stream_to_BMP(&record, stream.data(), MORVA6_BGR), MORVA6_IMG_OK);
            if (flip != 0) {
                const std::size_t row = static_cast<std::size_t>(width) * 3;
                Bytes rows(record.data, record.data + row * height);
                for (int r = 0; r < height; ++r)
                    std::copy_n(rows.begin() + static_cast<std::ptrdiff_t>((height - 1 - r) * row), row,
                                record.data + r * row);
            }
            ASSERT_EQ(BMP_save(&record, recorded.c_str()), MORVA6_IMG_OK);
            BMP_release(&record);
            EXPECT_EQ(bmp_bytes::read_file(direct), bmp_bytes::read_file(recorded));
        }
}

TEST(BmpDirectStream, FailuresPrintAsBefore) {
    const bmp_bytes::ScratchDir dir;
    std::uint8_t* stream = nullptr;
    std::int32_t width = 0, height = 0;
    // No file.
    std::string printed = bmp_bytes::printed_by([&] {
        EXPECT_EQ(readBMP_QW(&stream, &width, &height, dir.file("missing.bmp").c_str(), MORVA6_BGR, 1),
                  MORVA6_IMG_OPEN_FAILED);
    });
    EXPECT_EQ(printed, "Error opening file!\n");
    EXPECT_EQ(stream, nullptr);
    // A directory cannot be written as a file.
    const Bytes pixels(3 * 4, 7);
    printed = bmp_bytes::printed_by([&] {
        EXPECT_EQ(saveBMP_QW(pixels.data(), 2, 2, dir.file("").c_str(), MORVA6_BGR, 1), MORVA6_IMG_OPEN_FAILED);
    });
    EXPECT_EQ(printed, "Error opening file!\n");
}

}  // namespace
