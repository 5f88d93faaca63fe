// The renderer's whole command line: the words are the input split at zero
// bytes. They run in a scratch directory holding the picture pic.ppm and the
// render-data directory ULMA_FZ01_TC_03; words with '/' are refused, so
// every file a run writes stays in that directory, and what a run leaves
// there is removed before the next one.
#include <getopt.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/ulma_support.h"
#include "ulmarender/program/command_line.h"

namespace {

constexpr std::size_t kMaxWords = 12;

// A 4 x 4 picture of assorted colours.
std::string small_picture() {
    std::string pixels;
    for (int i = 0; i < 16 * 3; ++i) pixels += static_cast<char>(i * 53);
    return "P6\n4 4\n255\n" + pixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::ScratchDirectory scratch;
    static const std::filesystem::path lot_dir = fuzz::make_render_data(scratch.path());

    std::vector<std::string> words = {"ulmarender"};
    std::string word;
    for (const char c : fuzz::as_text(fuzz::Bytes(data, size))) {
        if (c == '/') return 0;
        if (c != '\0') {
            word += c;
            continue;
        }
        words.push_back(word);
        word.clear();
        if (words.size() > kMaxWords) return 0;
    }
    if (!word.empty()) words.push_back(word);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    fuzz::write_file(scratch.path() / "pic.ppm", small_picture());
    fuzz::reset_run_settings();
    optind = 0;  // a full restart of getopt
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());
    (void)run_command_line(ULMA_FUZZ_VERSION, static_cast<int>(words.size()), argv.data());
    std::filesystem::current_path(home);

    for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
        if (entry.path() != lot_dir) std::filesystem::remove_all(entry.path());
    }
    return 0;
}
