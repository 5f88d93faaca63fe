// photo2panel: from photographs to panel files in one command.
//
//   photo2panel [options] PICTURE... -o OUTPUT
//
// Every picture is read with libvips, turned upright, brought to 8-bit sRGB,
// fitted to the panel and rendered by the six-ink library or the
// eight-colour core exactly as Morva6_render or ulmarender render the fitted
// picture. Exit status 0 every picture written, 1 some picture failed (the
// others are still done), 2 a usage error.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include <morva6/morva6.h>
#include <ulma/ulma.h>

#include "common/guarded_main.h"
#include "apps/photo2panel/in_order.h"
#include "apps/photo2panel/options.h"
#include "apps/photo2panel/output_names.h"
#include "apps/photo2panel/outputs.h"
#include "apps/photo2panel/picture.h"
#include "apps/photo2panel/render.h"
#include "common/output_set.h"
#include "common/threads.h"

namespace {

using namespace photo2panel;

constexpr int kSomeFailed = 1;
constexpr int kUsage = 2;

int usage_error(const std::string& message) {
    std::fprintf(stderr, "photo2panel: %s\nTry 'photo2panel --help'.\n", message.c_str());
    return kUsage;
}

void report_failure(const std::string& file, const std::string& reason) {
    std::fprintf(stderr, "photo2panel: %s: %s\n", file.c_str(), reason.c_str());
}

// The renderer's data, found once for the whole run.
bool prepare_renderer(Options& options, std::vector<std::uint8_t>& lut, RenderData& render_data) {
    std::string& path = options.eight_colours ? options.render_data : options.lut;
    const char* what = options.eight_colours ? "render data" : "LUT file";
    if (path.empty()) {
        path = options.eight_colours ? find_data("ULMA_SAMPLE01_TC_03") : installed_lut(options.dither);
        if (path.empty()) {
            std::fprintf(stderr, "photo2panel: no %s found beside the program; name one with %s\n", what,
                         options.eight_colours ? "--render-data" : "--lut");
            return false;
        }
    }
    std::string error;
    const bool ready =
        options.eight_colours ? open_render_data(path, render_data, error) : install_lut(path, lut, error);
    if (!ready) report_failure(path, error);
    return ready;
}

// What one picture gave.
struct Outcome {
    bool done = false;
    std::string error;
    std::string warnings;  // one line each
    double seconds = 0;
};

// The picture's files are written together: all of them or none.
bool process(const std::string& picture_path, const Options& options, const RenderData& render_data,
             const PictureFiles& files, std::string& error, std::string& warnings) {
    RgbPicture picture;
    if (!load_fitted_picture(picture_path, options, picture, error, warnings)) return false;
    common::OutputSet outputs;
    if (!files.fitted.empty() && !save_fitted(picture, files.fitted, outputs, error)) return false;
    const bool rendered = options.eight_colours
                              ? render_eight_colours(*render_data, picture, options, files, outputs, error, warnings)
                              : render_six_inks(picture, options, files, outputs, error);
    return rendered && outputs.commit(error);
}

// No output may be one of the run's inputs, and no picture's files may be
// one file twice; the message names both.
std::string clash_of(const Options& options, const OutputFolders& folders) {
    std::vector<std::string> inputs = options.pictures;
    if (!options.lut.empty()) inputs.push_back(options.lut);
    std::vector<std::string> all_outputs;
    for (const std::string& picture : options.pictures) {
        const PictureFiles files = files_of(options, picture, folders);
        std::vector<std::string> own;
        for (const std::string* name : {&files.panel, &files.preview, &files.fitted})
            if (!name->empty()) own.push_back(*name);
        if (std::string clash = common::find_clash({}, own); !clash.empty()) return clash;
        all_outputs.insert(all_outputs.end(), own.begin(), own.end());
    }
    return common::find_clash(inputs, all_outputs);
}

void report_warnings(const std::string& file, const std::string& warnings) {
    for (std::size_t start = 0, end; start < warnings.size(); start = end + 1) {
        end = warnings.find('\n', start);
        if (end == std::string::npos) end = warnings.size();
        if (end > start) report_failure(file, "warning: " + warnings.substr(start, end - start));
    }
}

}  // namespace

static int run_main(int argc, char** argv) {
    Options options;
    std::string message;
    switch (parse_options(argc, argv, options, message)) {
        case Parsed::help:
            std::fputs(usage_text(), stdout);
            return 0;
        case Parsed::version:
            std::puts("photo2panel " PHOTO2PANEL_VERSION);
            return 0;
        case Parsed::error:
            return usage_error(message);
        case Parsed::run:
            break;
    }
    OutputFolders folders;
    if (const std::string problem = settle_outputs(options, folders); !problem.empty()) return usage_error(problem);
    if (options.pictures.size() > 1 && options.output == "-")
        return usage_error("-o - (standard output) takes one picture");
    if (const std::string clash = clash_of(options, folders); !clash.empty()) return usage_error(clash);
    if (!start_picture_library(argv[0])) {
        std::fputs("photo2panel: cannot start libvips\n", stderr);
        return kSomeFailed;
    }
    std::vector<std::uint8_t> lut;  // the library points into it while rendering
    RenderData render_data;
    if (!prepare_renderer(options, lut, render_data)) return kSomeFailed;
    if (std::string folder, error; !make_output_folders(options, folders, folder, error)) {
        report_failure(folder, error);
        return kSomeFailed;
    }

    const std::size_t count = options.pictures.size();
    // Pictures whose panel file another picture before them already takes.
    std::vector<bool> taken(count);
    std::set<std::string> written;
    for (std::size_t i = 0; i < count; ++i)
        taken[i] = !written.insert(files_of(options, options.pictures[i], folders).panel).second;

    const auto work = [&](std::size_t i) {
        const PictureFiles files = files_of(options, options.pictures[i], folders);
        const auto start = std::chrono::steady_clock::now();
        Outcome outcome;
        if (taken[i]) {
            outcome.error = "another picture has the same name; its file " + files.panel + " is kept";
        } else {
            outcome.done = process(options.pictures[i], options, render_data, files, outcome.error, outcome.warnings);
        }
        outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return outcome;
    };
    int failures = 0;
    const auto report = [&](std::size_t i, const Outcome& outcome) {
        const std::string& picture = options.pictures[i];
        if (!options.quiet) report_warnings(picture, outcome.warnings);
        if (!outcome.done) {
            report_failure(picture, outcome.error);
            ++failures;
            return;
        }
        if (options.quiet) return;
        // Standard output may carry the panel file itself.
        std::FILE* progress = options.output == "-" ? stderr : stdout;
        if (count > 1) std::fprintf(progress, "[%zu/%zu] ", i + 1, count);
        std::fprintf(progress, "%s -> %s  %.2f s\n", std::filesystem::path(picture).filename().c_str(),
                     files_of(options, picture, folders).panel.c_str(), outcome.seconds);
        std::fflush(progress);
    };
    // One thread budget for the pictures rendered at once and the threads
    // each six-ink render uses.
    const int budget = common::default_threads();
    const int jobs = options.jobs > 0 ? options.jobs : static_cast<int>(std::min<std::size_t>(budget, count));
    morva6_set_threads(common::threads_per_job(budget, jobs));
    ulma_set_threads(common::threads_per_job(budget, jobs));
    for_each_in_order<Outcome>(count, static_cast<unsigned>(jobs), work, report);
    return failures == 0 ? 0 : kSomeFailed;
}

int main(int argc, char** argv) {
    return common::run_guarded("photo2panel", [&] { return run_main(argc, argv); });
}
