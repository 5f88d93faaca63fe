#include "ulmarender/program/run_script.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "ulmarender/program/file_replace.h"
#include "ulmarender/program/pipeline.h"

namespace {

// Whether `filename` could be written, tested without changing it: an
// existing file is opened for appending (and, for a regular file, a
// temporary beside it is tried, since the new content replaces it by
// renaming); a missing file is created and removed again.
bool output_is_writable(const char* filename) {
    struct stat info {};
    if (stat(filename, &info) == 0) {
        std::FILE* file = std::fopen(filename, "ab");
        if (file == nullptr) return false;
        std::fclose(file);
        return !S_ISREG(info.st_mode) || can_create_beside(filename);
    }
    const int descriptor = open(filename, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (descriptor < 0) return false;
    close(descriptor);
    unlink(filename);
    return true;
}

}  // namespace

bool read_working_directory(std::string& cwd) {
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) {
            cwd = buffer.data();
            return true;
        }
        if (errno != ERANGE) return false;
        buffer.resize(buffer.size() * 2);
    }
}

bool check_output_name_correct(const char* filename) {
    if (output_is_writable(filename)) return true;
    const int saved_errno = errno;
    std::puts("\r\nmake sure output path name correct");
    errno = saved_errno;
    std::perror("fopen");
    return false;
}

HeapString render_Ulma(const UlmaVersion& version, const char* img, const char* lot, const char* /*render_path*/,
                       const char* output_path, int temp) {
    std::string cwd;
    if (!read_working_directory(cwd)) {
        std::perror("getcwd() error");
        return HeapString();
    }
    std::printf("Current working dir: %s\n", cwd.c_str());

    const char* last_backslash = std::strrchr(img, '\\');
    const char* file_name = last_backslash != nullptr ? last_backslash + 1 : img;
    if (std::strstr(file_name, ".ppm") == nullptr) {
        std::printf("%s is not .ppm file\n", file_name);
        return HeapString();
    }

    HeapString rendered_img = str_concat("%s", output_path);
    if (!rendered_img || !check_output_name_correct(rendered_img.get()) ||
        !my_ulma_render(version, img, rendered_img.get(), lot, temp)) {
        return HeapString();
    }
    return rendered_img;
}

bool convert_img(const UlmaVersion& version, int cnv_type, const char* img, const char* lot_code,
                 const char* render_path, const char* output_path, int temp) {
    timeval start {};
    gettimeofday(&start, nullptr);
    if (cnv_type == 0) {
        if (!render_Ulma(version, img, lot_code, render_path, output_path, temp)) return false;
    } else if (cnv_type != 1) {
        std::printf("Wrong convert type (%d)\n", cnv_type);
    }
    timeval end {};
    gettimeofday(&end, nullptr);
    std::printf("render_Ulma image time = %d sec\n", static_cast<int>(end.tv_sec - start.tv_sec));
    return true;
}
