#include "common/formats/pnm.h"
#include "ulmarender/program/ppm_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "common/bounded_read.h"
#include "ulmarender/program/settings.h"

namespace {

// Largest header number kept exactly; longer numbers are only known to be too large.
constexpr long long kNumberCap = INT32_MAX + 1LL;

bool is_header_space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool is_digit(int c) { return c >= '0' && c <= '9'; }

// Skips the rest of a comment line, including its line end.
int skip_comment(std::FILE* file) {
    int c;
    do {
        c = std::fgetc(file);
    } while (c != EOF && c != '\n' && c != '\r');
    return c;
}

// Reads one unsigned decimal header number, skipping whitespace and
// comments in front of it. The character that ends it must be whitespace
// or the start of a comment; `terminator` receives it (a comment is left
// for the next read). Numbers above kNumberCap are stored as kNumberCap.
bool read_header_number(std::FILE* file, long long& value, int& terminator) {
    int c = std::fgetc(file);
    for (;;) {
        if (is_header_space(c)) {
            c = std::fgetc(file);
        } else if (c == '#') {
            skip_comment(file);
            c = std::fgetc(file);
        } else {
            break;
        }
    }
    if (!is_digit(c)) return false;
    value = 0;
    while (is_digit(c)) {
        value = std::min(value * 10 + (c - '0'), kNumberCap);
        c = std::fgetc(file);
    }
    terminator = c;
    if (c == '#') {
        std::ungetc(c, file);
        return true;
    }
    return is_header_space(c);
}

// Prints the message of `problem`; true when there is none.
bool report(const char* filename, PpmProblem problem) {
    switch (problem) {
        case PpmProblem::none:
            return true;
        case PpmProblem::not_p6:
            std::printf("error! %s is not a binary PPM (P6) file\n", filename);
            break;
        case PpmProblem::bad_header:
            std::printf("error! %s has an unreadable PPM header\n", filename);
            break;
        case PpmProblem::max_not_255:
            std::printf("error! %s: only PPM files with maximum value 255 are supported\n", filename);
            break;
        case PpmProblem::bad_size:
            std::printf("error! %s: picture size not supported\n", filename);
            break;
        case PpmProblem::truncated:
            std::printf("error! %s: pixel data incomplete\n", filename);
            break;
    }
    return false;
}

// Opens `filename` for reading; null, with the reason printed, when it
// cannot. Only a regular file: the picture's size is checked against the
// file's before any buffer exists, which a pipe or a device cannot tell.
std::FILE* open_or_report(const char* filename) {
    std::string problem;
    bool opened = false;
    std::FILE* file = common::open_regular_file(filename, problem, opened);
    if (file == nullptr && opened) {
        std::printf("error! %s is not a regular file: the picture cannot be read from a pipe or a device\n", filename);
    } else if (file == nullptr) {
        std::perror("fopen");
    }
    return file;
}

// The pixel block that follows a header, in one read.
PpmProblem read_pixels_after_header(std::FILE* file, const PpmHeader& header, std::span<unsigned char> pixels) {
    const std::size_t byte_count = static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height) * 3;
    if (byte_count != pixels.size()) return PpmProblem::bad_size;
    if (std::fread(pixels.data(), 1, byte_count, file) != byte_count) return PpmProblem::truncated;
    return PpmProblem::none;
}

// Whether a regular file holds fewer bytes after its header than the
// header's pixels need (other files are only known to be short when read).
bool file_ends_before_pixels(std::FILE* file, const PpmHeader& header) {
    struct stat info {};
    const long position = std::ftell(file);
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode) || position < 0) return false;
    const long long needed = 3LL * header.width * header.height;
    return info.st_size - position < needed;
}

}  // namespace

PpmProblem read_ppm_header(std::FILE* file, PpmHeader& header) {
    if (std::fgetc(file) != 'P' || std::fgetc(file) != '6') return PpmProblem::not_p6;
    const int after_magic = std::fgetc(file);
    if (!is_header_space(after_magic) && after_magic != '#') return PpmProblem::not_p6;
    std::ungetc(after_magic, file);

    long long width = 0;
    long long height = 0;
    long long maximum = 0;
    int terminator = 0;
    if (!read_header_number(file, width, terminator) || !read_header_number(file, height, terminator) ||
        !read_header_number(file, maximum, terminator)) {
        return PpmProblem::bad_header;
    }
    // The maximum is followed by exactly one whitespace character, or by a
    // comment whose line end takes its place.
    if (terminator == '#') {
        std::fgetc(file);
        if (skip_comment(file) == EOF) return PpmProblem::bad_header;
    }
    // width x height x 4 must fit in int32; both factors may be as large as
    // kNumberCap, so the product is not formed.
    if (width < 1 || height < 1 || width > INT32_MAX / 4 / height) return PpmProblem::bad_size;
    if (maximum != 255) return PpmProblem::max_not_255;
    header.width = static_cast<int>(width);
    header.height = static_cast<int>(height);
    return PpmProblem::none;
}

bool ppm_load(const char* filename, int& w, int& h) {
    std::FILE* file = open_or_report(filename);
    if (file == nullptr) return false;
    PpmHeader header;
    PpmProblem problem = read_ppm_header(file, header);
    if (problem == PpmProblem::none && file_ends_before_pixels(file, header)) problem = PpmProblem::truncated;
    std::fclose(file);
    if (!report(filename, problem)) return false;
    w = header.width;
    h = header.height;
    return true;
}

bool ppm_read_picture(const char* filename, std::vector<unsigned char>& rgb, int& w, int& h) {
    std::FILE* file = open_or_report(filename);
    if (file == nullptr) return false;
    PpmHeader header;
    PpmProblem problem = read_ppm_header(file, header);
    if (problem == PpmProblem::none && file_ends_before_pixels(file, header)) problem = PpmProblem::truncated;
    if (problem == PpmProblem::none) {
        rgb.assign(static_cast<std::size_t>(header.width) * static_cast<std::size_t>(header.height) * 3, 0);
        problem = read_pixels_after_header(file, header, rgb);
    }
    std::fclose(file);
    if (!report(filename, problem)) return false;
    w = header.width;
    h = header.height;
    return true;
}

bool ppm_load_rgb(const char* filename, std::span<unsigned char> out_data, int& w, int& h) {
    std::FILE* file = open_or_report(filename);
    if (file == nullptr) return false;
    PpmHeader header;
    PpmProblem problem = read_ppm_header(file, header);
    if (problem == PpmProblem::none) problem = read_pixels_after_header(file, header, out_data);
    std::fclose(file);
    if (!report(filename, problem)) return false;
    w = header.width;
    h = header.height;
    return true;
}

std::string proof_image_path(std::string_view output_path) {
    const std::size_t kept = output_path.size() >= 4 ? output_path.size() - 4 : 0;
    return std::string(output_path.substr(0, kept)) + "_proof.ppm";
}

void ppm_save(common::OutputSet& outputs, const char* filename, std::vector<unsigned char>&& data, int w, int h) {
    const std::string proof_path = proof_image_path(filename);
    std::printf("proof image : %s\n", proof_path.c_str());
    outputs.add(proof_path, common::pnm::header("P6", w, h), std::move(data));
}

void buf_pgm_save(common::OutputSet& outputs, const char* filename, std::vector<unsigned char>&& out_pgm_buf) {
    outputs.add(filename, common::pnm::header("P5", static_cast<int>(ImageX), static_cast<int>(ImageY)),
                std::move(out_pgm_buf));
}

bool save_outputs(common::OutputSet& outputs) {
    std::string error;
    if (outputs.commit(error)) return true;
    const int saved_errno = errno;
    if (!outputs.failed_to_create()) std::printf("error! can not write %s\n", outputs.failed_path().c_str());
    errno = saved_errno;
    std::perror(outputs.failed_to_create() ? "fopen" : "write");
    return false;
}

bool ppm_save(const char* filename, std::span<const unsigned char> data, int w, int h) {
    common::OutputSet outputs;
    ppm_save(outputs, filename, std::vector<unsigned char>(data.begin(), data.end()), w, h);
    return save_outputs(outputs);
}

bool buf_pgm_save(const char* filename, std::span<const unsigned char> out_pgm_buf) {
    common::OutputSet outputs;
    buf_pgm_save(outputs, filename, std::vector<unsigned char>(out_pgm_buf.begin(), out_pgm_buf.end()));
    return save_outputs(outputs);
}

void execmd(std::string& result_str, const char* cmd) {
    std::FILE* pipe = popen(cmd, "r");
    if (pipe == nullptr) {
        std::puts("Error opening pipe!");
        return;
    }
    char piece[128];
    while (std::fgets(piece, sizeof piece, pipe) != nullptr) {
        result_str = piece;
        if (!result_str.empty()) result_str.pop_back();
    }
    if (pclose(pipe) == -1) std::puts("Command not found or exited with error status");
}
