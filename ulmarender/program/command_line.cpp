#include "ulmarender/program/command_line.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "common/numbers.h"
#include "ulmarender/program/render_data_files.h"
#include "ulmarender/program/settings.h"
#include "ulmarender/program/run_script.h"

namespace {

// The positional words: input, output, render-data directory, temperature.
struct RunArguments {
    const char* input = nullptr;
    const char* output = nullptr;
    const char* lot_dir = nullptr;
    int temp = 0;
    const char* temp_word = nullptr;  // the temperature's word, when present
};

// Needs argc >= 5. Version 0302: the last four words, whatever they hold.
// Version 0301: words 1 to 4, or 2 to 5 when the first word is exactly
// "-p"; the temperature only when its word is present.
RunArguments positional_arguments(const UlmaVersion& version, int argc, char** argv) {
    RunArguments arguments;
    if (version.positional_rule == PositionalRule::last_four) {
        arguments.input = argv[argc - 4];
        arguments.output = argv[argc - 3];
        arguments.lot_dir = argv[argc - 2];
        arguments.temp_word = argv[argc - 1];
        arguments.temp = std::atoi(argv[argc - 1]);
        return arguments;
    }
    const int first = std::strcmp(argv[1], "-p") == 0 ? 2 : 1;
    arguments.input = argv[first];
    arguments.output = argv[first + 1];
    arguments.lot_dir = argv[first + 2];
    if (first + 3 < argc) {
        arguments.temp_word = argv[first + 3];
        arguments.temp = std::atoi(argv[first + 3]);
    }
    return arguments;
}

// The version line, the working directory check, the output line, the lot
// name and the temperature table. Returns the copy of the output path, or
// an empty holder when the run must end with status 1 (the reason is
// printed).
HeapString prepare_run(const UlmaVersion& version, const RunArguments& arguments) {
    std::puts(version.version_line);
    std::string cwd;
    if (!read_working_directory(cwd)) {
        std::perror("getcwd() error");
        return HeapString();
    }
    HeapString outdir = str_concat("%s", arguments.output);
    if (!outdir) return outdir;
    std::printf("PGM output  : %s\n", outdir.get());
    if (!open_render_data_of_run(arguments.lot_dir)) return HeapString();
    return outdir;
}

// A value that is not a number the option can take: NaN, infinity, or a
// number too large for it (which would otherwise wrap).
bool refused_value(int option, const char* value) {
    std::printf("error! -%c %s: not a number this option accepts\n", option, value);
    return false;
}

// Parses the options and renders: once after the options, or (version
// 0301) at every accepted -p, with the proof image. False when a render
// failed so that the run ends with status 1.
bool parse_options_and_render(const UlmaVersion& version, int argc, char** argv, const char* prog_name,
                              const RunArguments& arguments, const char* outdir) {
    const auto render = [&] {
        return convert_img(version, 0, arguments.input, arguments.lot_dir, arguments.output, outdir, arguments.temp);
    };
    int option;
    while ((option = getopt(argc, argv, version.option_string)) >= 0) {
        switch (option) {
            case 'p':
                if (optind < argc) {
                    gProof = 1;
                    if (version.renders_at_each_proof && !render()) return false;
                } else {
                    usage(version, prog_name);
                }
                break;
            case 'c':
            case 'b':
                // Clamped to -100..100; NaN and infinity have no place in that range.
                if (!common::parse_leading_real(optarg)) return refused_value(option, optarg);
                (option == 'c' ? gSat_offset : gLight_offset) = percent_offset(optarg);
                break;
            case 'n':
                if (!common::parse_leading_int(optarg)) return refused_value(option, optarg);
                gNoise_range = std::atoi(optarg);
                break;
            default:
                usage(version, prog_name);
                break;
        }
    }
    gPreprocess = (gSat_offset != 0.0 || gLight_offset != 0.0) ? 1 : 0;
    if (version.renders_at_each_proof && gProof != 0) return true;
    return render();
}

int run(const UlmaVersion& version, int argc, char** argv) {
    const char* prog_name = argc > 0 && argv[0] != nullptr ? argv[0] : "ulmarender";
    gProof = 0;
    gPreprocess = 0;
    // Fewer than four words leave positional arguments without a word.
    if (argc < 5) {
        usage(version, prog_name);
        return 1;
    }
    const RunArguments arguments = positional_arguments(version, argc, argv);
    if (arguments.temp_word != nullptr && !common::parse_leading_int(arguments.temp_word)) {
        std::printf("error! temperature %s: number out of range\n", arguments.temp_word);
        return 1;
    }
    const HeapString outdir = prepare_run(version, arguments);
    if (!outdir || !parse_options_and_render(version, argc, argv, prog_name, arguments, outdir.get())) return 1;
    return 0;
}

}  // namespace

void usage(const UlmaVersion& version, const char* program_name) {
    std::printf("\n%s\n", version.version_line);
    std::printf("\nUsage: %s [-p] <input file> <outputfile> <render_data_directory> <temperature>\n\n", program_name);
    std::printf(
        "    ex : %s /home/pi/Desktop/ppm/ColorChecker24.ppm /home/pi/Desktop/ColorChecker24_output.pgm "
        "ulma_data/ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC_03 25\n\n",
        program_name);
    std::printf(
        "    ex : %s -p /ppm/Logo.ppm Logo_output.pgm  "
        "ulma_data/ULMA_KRB17305_WM3907_RD418PK2V4_HN5831-QLD_TC_03 23\n\n",
        program_name);
}

int filter_dot(const struct dirent* d) {
    return (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) ? 0 : 1;
}

double percent_offset(const char* text) {
    double value = std::strtod(text, nullptr);
    if (value > 100) value = 100;
    if (value < -100) value = -100;
    return value;
}

int run_command_line(const UlmaVersion& version, int argc, char** argv) {
    try {
        return run(version, argc, argv);
    } catch (const std::bad_alloc&) {
        std::puts("error! not enough memory for the picture");
        return 1;
    } catch (const std::exception& problem) {  // nothing escapes main
        std::printf("error! %s\n", problem.what());
        return 1;
    }
}
