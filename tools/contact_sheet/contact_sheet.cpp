// Lays pictures side by side on one sheet, so the methods of a render can be
// compared at a glance: contact_sheet -o sheet.bmp [-c columns] a.bmp b.ppm ...
// Pictures are placed left to right, top to bottom, in the order given, on a
// white background with a gap between them; BMP and binary PPM are read
// through the project's own image layer.
#include <morva6/morva6_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kGap = 8;

struct Picture {
    std::vector<std::uint8_t> bgr;  // top row first
    int width = 0;
    int height = 0;
};

struct FreeDeleter {
    void operator()(std::uint8_t* p) const { std::free(p); }
};
using CBlock = std::unique_ptr<std::uint8_t, FreeDeleter>;

bool ends_with(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool load(const std::string& path, Picture& picture) {
    std::uint8_t* raw = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    const bool ppm = ends_with(path, ".ppm");
    const int status = ppm ? readPPM_QW(&raw, &width, &height, path.c_str())
                           : readBMP_QW(&raw, &width, &height, path.c_str(), MORVA6_BGR, 1);
    CBlock block(raw);
    if (status != MORVA6_IMG_OK || raw == nullptr) {
        std::fprintf(stderr, "contact_sheet: cannot read %s (status %d)\n", path.c_str(), status);
        return false;
    }
    picture.width = width;
    picture.height = height;
    picture.bgr.assign(static_cast<std::size_t>(width) * height * 3, 0);
    if (ppm) {
        RGB_to_BGR(picture.bgr.data(), block.get(), width, height);
    } else {
        std::memcpy(picture.bgr.data(), block.get(), picture.bgr.size());
    }
    return true;
}

int usage() {
    std::fputs("usage: contact_sheet -o <sheet.bmp> [-c <columns>] <picture.bmp|picture.ppm>...\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string output;
    int columns = 0;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-o" && i + 1 < argc) {
            output = argv[++i];
        } else if (arg == "-c" && i + 1 < argc) {
            columns = std::atoi(argv[++i]);
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else {
            inputs.emplace_back(arg);
        }
    }
    if (output.empty() || inputs.empty()) return usage();
    const int count = static_cast<int>(inputs.size());
    if (columns < 1) columns = count;
    columns = std::min(columns, count);
    const int rows = (count + columns - 1) / columns;

    std::vector<Picture> pictures(inputs.size());
    int cell_width = 0;
    int cell_height = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (!load(inputs[i], pictures[i])) return 1;
        cell_width = std::max(cell_width, pictures[i].width);
        cell_height = std::max(cell_height, pictures[i].height);
    }

    const long long sheet_width = static_cast<long long>(columns) * (cell_width + kGap) + kGap;
    const long long sheet_height = static_cast<long long>(rows) * (cell_height + kGap) + kGap;
    if (sheet_width * sheet_height * 4 > INT32_MAX) {
        std::fputs("contact_sheet: the sheet would be too large\n", stderr);
        return 1;
    }
    std::vector<std::uint8_t> sheet(static_cast<std::size_t>(sheet_width * sheet_height * 3), 255);
    for (int i = 0; i < count; ++i) {
        const Picture& picture = pictures[i];
        const long long left = kGap + static_cast<long long>(i % columns) * (cell_width + kGap);
        const long long top = kGap + static_cast<long long>(i / columns) * (cell_height + kGap);
        for (int y = 0; y < picture.height; ++y) {
            const auto* from = picture.bgr.data() + static_cast<std::size_t>(y) * picture.width * 3;
            auto* to = sheet.data() + static_cast<std::size_t>(((top + y) * sheet_width + left) * 3);
            std::memcpy(to, from, static_cast<std::size_t>(picture.width) * 3);
        }
    }
    if (saveBMP_QW(sheet.data(), static_cast<std::int32_t>(sheet_width),
                   static_cast<std::int32_t>(sheet_height), output.c_str(), MORVA6_BGR, 1) != 0) {
        std::fprintf(stderr, "contact_sheet: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
