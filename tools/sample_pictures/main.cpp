// Writes the sample pictures of the renderers, each as a 24-bit BMP and as a
// binary PPM (P6), at 800 x 480 and at 1600 x 1200:
//
//   make_sample_pictures <output folder> [photo_WxH.ppm ...]
//
// chart_*, sweeps_*, detail_*, skin_* and sample_* (the mixed scene) are
// generated; every photograph is fitted to both sizes and written as
// <name>_<size> with its own size suffix dropped, so garden_800x480.ppm
// gives garden_800x480 and garden_1600x1200. The output is the same on every
// run.
#include <cstdio>
#include <string>
#include <vector>

#include "common/guarded_main.h"
#include "tools/sample_pictures/sample_pictures.h"

namespace {

using sample_pictures::Picture;

struct Size {
    int width, height;
};

// The common size of six-ink panels, and a large one.
constexpr Size kSizes[] = {{800, 480}, {1600, 1200}};

struct Generator {
    const char* name;
    Picture (*make)(int, int);
};

constexpr Generator kGenerators[] = {
    {"chart", sample_pictures::colour_chart}, {"sweeps", sample_pictures::sweeps},
    {"detail", sample_pictures::fine_detail}, {"skin", sample_pictures::skin_tones},
    {"sample", sample_pictures::scene},
};

// "folder/garden_800x480.ppm" -> "garden".
std::string photo_name(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.resize(dot);
    // Drop a trailing "_<digits>x<digits>".
    const std::size_t underscore = name.find_last_of('_');
    if (underscore == std::string::npos) return name;
    const std::string size = name.substr(underscore + 1);
    const std::size_t x = size.find('x');
    const auto digits = [](const std::string& text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    };
    if (x != std::string::npos && digits(size.substr(0, x)) && digits(size.substr(x + 1))) name.resize(underscore);
    return name;
}

bool write_both(const std::string& folder, const std::string& name, Size size, const Picture& picture) {
    const std::string stem = folder + "/" + name + "_" + std::to_string(size.width) + "x" + std::to_string(size.height);
    if (sample_pictures::write_bmp(stem + ".bmp", picture) && sample_pictures::write_ppm(stem + ".ppm", picture))
        return true;
    std::fprintf(stderr, "make_sample_pictures: cannot write %s.bmp/.ppm\n", stem.c_str());
    return false;
}

}  // namespace

static int run_main(int argc, char* argv[]) {
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::puts("make_sample_pictures " MORVA6_VERSION);
        return 0;
    }
    const bool help = argc == 2 && std::string(argv[1]) == "--help";
    if (argc < 2 || help) {
        std::fprintf(help ? stdout : stderr, "usage: make_sample_pictures <output folder> [photo.ppm ...]\n");
        return help ? 0 : 2;
    }
    const std::string folder = argv[1];
    std::vector<Picture> photos;
    for (int i = 2; i < argc; ++i) {
        Picture photo;
        if (!sample_pictures::read_ppm(argv[i], photo)) {
            std::fprintf(stderr, "make_sample_pictures: %s is not a binary PPM with maximum 255\n", argv[i]);
            return 1;
        }
        photos.push_back(std::move(photo));
    }
    for (const Size size : kSizes) {
        for (const Generator& generator : kGenerators) {
            if (!write_both(folder, generator.name, size, generator.make(size.width, size.height))) return 1;
        }
        for (std::size_t i = 0; i < photos.size(); ++i) {
            const Picture fitted = sample_pictures::fit_photo(photos[i], size.width, size.height);
            if (!write_both(folder, photo_name(argv[i + 2]), size, fitted)) return 1;
        }
    }
    return 0;
}

int main(int argc, char* argv[]) {
    return common::run_guarded("make_sample_pictures", [&] { return run_main(argc, argv); });
}
