#include "morva6/sample/arguments.h"

#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "common/numbers.h"
#include "morva6/dither/kernels.h"
#include "morva6/morva6.h"
#include "morva6/sample/settings.h"
#include "morva6/sample/usage_text.h"

namespace {

// Stores an option's value in its setting; false after printing why the
// value is refused.
using StoreValue = bool (*)(const char* value);

struct ValueOption {
    std::string_view shortName;
    std::string_view longName;
    const char* missingMessage;
    StoreValue store;
};

// The text from the last "." to the end must be exactly ".bmp"; a "." in a
// directory name counts when no later one follows.
bool hasBmpExtension(const char* path) {
    const char* dot = std::strrchr(path, '.');
    return dot != nullptr && std::strcmp(dot, ".bmp") == 0;
}

bool storeInputPath(const char* value) {
    INPUT_IMAGE_PATH = value;
    if (hasBmpExtension(value)) return true;
    std::puts("The input file format is not supported. Only BMP file formats are supported.");
    return false;
}

bool storeOutputPath(const char* value) {
    OUTPUT_IMAGE_PATH = value;
    if (hasBmpExtension(value)) return true;
    std::puts("The output file format is not supported. Only BMP file formats are supported.");
    return false;
}

// atoi's reading, except that a number too large for int (which atoi would
// wrap into range) becomes INT32_MIN, outside every range, so that the
// option's range check refuses it.
std::int32_t wholeValue(const char* value) { return common::parse_leading_int(value).value_or(INT32_MIN); }

// Command-line methods 1..6 are library codes 0..5; anything else is kept as
// -1 for the range check to refuse.
std::int32_t ditherCode(const char* value) {
    const std::int32_t number = wholeValue(value);
    return number >= 1 && number <= 6 ? number - 1 : -1;
}

// Matched in this order; the first match wins.
constexpr std::array<ValueOption, 11> kValueOptions{{
    {"-i", "--input", "The input image path is missing.", storeInputPath},
    {"-o", "--output", "The output image path is missing.", storeOutputPath},
    {"-l", "--lut", "The LUT path is missing.",
     [](const char* v) {
         LUT_PATH = v;
         return true;
     }},
    {"-d", "--dither", "The dither number is missing.",
     [](const char* v) {
         DITHER = ditherCode(v);
         return true;
     }},
    {"-m", "--mode", "The mode number is missing.",
     [](const char* v) {
         MODE = wholeValue(v);
         return true;
     }},
    {"-t", "--TFT", "The TFT number is missing.",
     [](const char* v) {
         TFT_mode = wholeValue(v);
         return true;
     }},
    {"-h", "--hue", "The hue number is missing.",
     [](const char* v) {
         HUE = wholeValue(v);
         return true;
     }},
    {"-s", "--saturation", "The saturation number is missing.",
     [](const char* v) {
         SATURATION = wholeValue(v);
         return true;
     }},
    {"-b", "--brightness", "The brightness number is missing.",
     [](const char* v) {
         BRIGHTNESS = wholeValue(v);
         return true;
     }},
    {"-c", "--contrast", "The contrast number is missing.",
     [](const char* v) {
         CONTRAST = wholeValue(v);
         return true;
     }},
    {"-g", "--gamma", "The gamma number is missing.",
     [](const char* v) {
         GAMMA = std::atof(v);
         return true;
     }},
}};

const ValueOption* findValueOption(std::string_view word) {
    for (const ValueOption& option : kValueOptions) {
        if (word == option.shortName || word == option.longName) return &option;
    }
    return nullptr;
}

bool inRange(std::int32_t value, std::int32_t low, std::int32_t high) { return value >= low && value <= high; }

// Checks the settings in a fixed order; the first failure prints its
// message. Bounds are inclusive.
std::int32_t validateSettings() {
    const std::array<std::pair<bool, const char*>, 11> checks{{
        {INPUT_IMAGE_PATH == nullptr,
         "Please provide the input file path by using the [-i <path> | --input <path>] flag"},
        {OUTPUT_IMAGE_PATH == nullptr,
         "Please provide the output file path by using the [-o <path> | --output <path>] flag."},
        {LUT_PATH == nullptr, "Please provide the LUT path by using the [-l <path> | --lut <path>] flag."},
        {!inRange(DITHER, 0, morva6::diffusion::kMethodCount - 1), "The dither number only can be 1, 2, 3, 4, 5 or 6."},
        {!inRange(MODE, 1, 3), "The mode number only can be 1, 2 or 3."},
        {!inRange(TFT_mode, 0, 5), "The TFT number only can be 0, 1, 2, 3, 4 or 5."},
        {!inRange(HUE, 0, 360), "The range of hue can only be between 0 and 360"},
        {!inRange(SATURATION, -100, 100), "The range of saturation can only be between -100 and 100"},
        {!inRange(BRIGHTNESS, -100, 100), "The range of brightness can only be between -100 and 100"},
        {!inRange(CONTRAST, -100, 100), "The range of contrast can only be between -100 and 100"},
        // Written so that a value that is not a number ("nan") is refused too.
        {!(GAMMA >= 0.0 && GAMMA <= 2.0), "The range of gamma can only be between 0.0 and 2.0"},
    }};
    for (const auto& [failed, message] : checks) {
        if (failed) {
            std::puts(message);
            return -1;
        }
    }
    return 0;
}

}  // namespace

std::int32_t processArguments(int argc, const char* const argv[]) {
    if (argc == 1) {
        std::printf("%s", usageText());
        return -1;
    }
    // Odd positions hold options, the word after each is its value whatever
    // it looks like; a value position is never read as an option.
    for (int i = 1; i < argc; i += 2) {
        const std::string_view word = argv[i];
        if (word == "--help") {
            std::printf("%s", usageText());
            return -1;
        }
        if (word == "--version") {
            std::printf("%s", Ovex_get_updateLog());
            return -1;
        }
        const ValueOption* option = findValueOption(word);
        if (option == nullptr) {
            std::printf("unknown option: %s\n", argv[i]);
            std::printf("%s", usageText());
            return -1;
        }
        if (i + 1 >= argc) {
            std::puts(option->missingMessage);
            return -1;
        }
        if (!option->store(argv[i + 1])) return -1;
    }
    return validateSettings();
}
