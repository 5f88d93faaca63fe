#include "ulmarender/command_line.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ulmarender/render_data.h"
#include "ulmarender/run_script.h"
#include "ulmarender/engine/settings.h"

namespace {

// The leading '+' keeps getopt from reordering the words: option parsing
// stops at the first word that is not an option, so the positional words
// (a negative temperature among them) are never taken for options.
#if ULMA_IS_0301
constexpr const char* kVersion = "Ulma render 0301.windows (08/02/2022)";
constexpr const char* kOptions = "+p::";
#else
constexpr const char* kVersion = "Ulma render 0302.windows (18/11/2022)";
constexpr const char* kOptions = "+p::c:b:n:";
#endif

// The positional words: input, output, render-data directory, temperature.
struct RunArguments {
    const char* input = nullptr;
    const char* output = nullptr;
    const char* lot_dir = nullptr;
    int temp = 0;
};

bool is_separator(char c) { return c == '/' || c == '\\'; }

// Steps shared by both versions once the positional words are known: the
// version line, the working directory check, the output line, the lot name
// and the temperature table. Returns the copy of the output path, or an
// empty holder when the run must end with status 1 (the reason is printed).
HeapString prepare_run(const RunArguments& arguments) {
    std::puts(kVersion);
    std::string cwd;
    if (!read_working_directory(cwd)) {
        std::perror("getcwd() error");
        return HeapString();
    }
    HeapString outdir = str_concat("%s", arguments.output);
    if (!outdir) return outdir;
    std::printf("PGM output  : %s\n", outdir.get());
    if (!try_split_argv_lot(arguments.lot_dir) || !try_get_temp_data_from_wbf(gLotName, arguments.lot_dir)) {
        return HeapString();
    }
    return outdir;
}

#if ULMA_IS_0301

// Words 1 to 4, or 2 to 5 when the first word is exactly "-p"; the
// temperature only when its word is present.
RunArguments positional_arguments(int argc, char** argv) {
    const int first = std::strcmp(argv[1], "-p") == 0 ? 2 : 1;
    RunArguments arguments;
    arguments.input = argv[first];
    arguments.output = argv[first + 1];
    arguments.lot_dir = argv[first + 2];
    if (first + 3 < argc) arguments.temp = std::atoi(argv[first + 3]);
    return arguments;
}

// Every accepted -p renders at once, with the proof image; without one the
// picture is rendered after the options. False when a render failed so that
// the run ends with status 1.
bool parse_options_and_render(int argc, char** argv, const char* prog_name, const RunArguments& arguments,
                              const char* outdir) {
    int option;
    while ((option = getopt(argc, argv, kOptions)) >= 0) {
        if (option == 'p' && optind < argc) {
            gProof = 1;
            if (!convert_img(0, arguments.input, arguments.lot_dir, arguments.output, outdir, arguments.temp)) {
                return false;
            }
        } else {
            usage(prog_name);
        }
    }
    return gProof != 0 ||
           convert_img(0, arguments.input, arguments.lot_dir, arguments.output, outdir, arguments.temp);
}

#else

// The last four words, whatever they hold.
RunArguments positional_arguments(int argc, char** argv) {
    RunArguments arguments;
    arguments.input = argv[argc - 4];
    arguments.output = argv[argc - 3];
    arguments.lot_dir = argv[argc - 2];
    arguments.temp = std::atoi(argv[argc - 1]);
    return arguments;
}

bool parse_options_and_render(int argc, char** argv, const char* prog_name, const RunArguments& arguments,
                              const char* outdir) {
    int option;
    while ((option = getopt(argc, argv, kOptions)) >= 0) {
        switch (option) {
        case 'p':
            if (optind < argc) {
                gProof = 1;
            } else {
                usage(prog_name);
            }
            break;
        case 'c':
            gSat_offset = percent_offset(optarg);
            break;
        case 'b':
            gLight_offset = percent_offset(optarg);
            break;
        case 'n':
            gNoise_range = std::atoi(optarg);
            break;
        default:
            usage(prog_name);
            break;
        }
    }
    gPreprocess = (gSat_offset != 0.0 || gLight_offset != 0.0) ? 1 : 0;
    return convert_img(0, arguments.input, arguments.lot_dir, arguments.output, outdir, arguments.temp);
}

#endif

}  // namespace

void usage(const char* program_name) {
    std::printf("\n%s\n", kVersion);
    std::printf("\nUsage: %s [-p] <input file> <outputfile> <render_data_directory> <temperature>\n\n", program_name);
    std::printf("    ex : %s /home/pi/Desktop/ppm/ColorChecker24.ppm /home/pi/Desktop/ColorChecker24_output.pgm "
                "ulma_data/ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC_03 25\n\n",
                program_name);
    std::printf("    ex : %s -p /ppm/Logo.ppm Logo_output.pgm  "
                "ulma_data/ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC_03 23\n\n",
                program_name);
}

LotNameProblem split_lot_name(std::string_view path, LotName& lot) {
    while (!path.empty() && is_separator(path.back())) path.remove_suffix(1);
    const std::size_t separator = path.find_last_of("/\\");
    const std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
    if (name.empty()) return LotNameProblem::no_name;
    if (name.size() < kShortestLotDirectoryName) return LotNameProblem::too_short;
    if (name.size() > kLongestLotDirectoryName) return LotNameProblem::too_long;
    lot.code_version = std::string(name.substr(name.size() - 2));
    lot.name = std::string(name.substr(0, name.size() - 3));
    return LotNameProblem::none;
}

bool try_split_argv_lot(const char* lot_code_org) {
    LotName lot;
    switch (split_lot_name(lot_code_org, lot)) {
    case LotNameProblem::none:
        std::snprintf(gLotCodeVer, sizeof gLotCodeVer, "%s", lot.code_version.c_str());
        std::snprintf(gLotName, sizeof gLotName, "%s", lot.name.c_str());
        return true;
    case LotNameProblem::no_name:
        std::puts("\r\ncan not locate wbf file, render_data path format not correct");
        break;
    case LotNameProblem::too_short:
        std::printf("\r\nrender_data directory name too short: it needs at least %zu characters "
                    "(lot name, \"_\" and a two-character version)\n",
                    kShortestLotDirectoryName);
        break;
    case LotNameProblem::too_long:
        std::printf("\r\nrender_data directory name too long: at most %zu characters\n", kLongestLotDirectoryName);
        break;
    }
    return false;
}

void split_argv_lot(const char* lot_code_org) {
    if (!try_split_argv_lot(lot_code_org)) std::exit(1);
}

int filter_dot(const struct dirent* d) {
    return (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) ? 0 : 1;
}

int my_search_temp_region(int temp) { return search_temp_region(temp); }

double percent_offset(const char* text) {
    double value = std::strtod(text, nullptr);
    if (value > 100) value = 100;
    if (value < -100) value = -100;
    return value;
}

int run_command_line(int argc, char** argv) {
    const char* prog_name = argc > 0 && argv[0] != nullptr ? argv[0] : "ulmarender";
    gProof = 0;
#if !ULMA_IS_0301
    gPreprocess = 0;
#endif
    // Fewer than four words leave positional arguments without a word.
    if (argc < 5) {
        usage(prog_name);
        return 1;
    }
    const RunArguments arguments = positional_arguments(argc, argv);
    const HeapString outdir = prepare_run(arguments);
    if (!outdir || !parse_options_and_render(argc, argv, prog_name, arguments, outdir.get())) return 1;
    return 0;
}
