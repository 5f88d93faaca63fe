#include "ulmarender/program/run_script.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/output_set.h"
#include "common/replace_file.h"
#include "ulmarender/program/render_data_files.h"
#include "ulmarender/program/settings.h"
#include "ulmarender/program/pipeline.h"
#include "ulmarender/program/ppm_files.h"

namespace {

// Whether `filename` could be written, tested without changing it and
// without opening it: a pipe opened and closed here would end its reader's
// input (and a pipe without reader would hang the test). An existing file
// must be writable and, when it is a regular file, a temporary beside it
// must be possible, since the new content replaces it by renaming; a
// missing file is created and removed again.
bool output_is_writable(const char* filename) {
    struct stat info {};
    if (stat(filename, &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            errno = EISDIR;
            return false;
        }
        if (access(filename, W_OK) != 0) return false;
        return !S_ISREG(info.st_mode) || common::ReplaceFile(filename).is_open();
    }
    const int descriptor = open(filename, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (descriptor < 0) return false;
    close(descriptor);
    unlink(filename);
    return true;
}

// Refuses (with the reason printed) a PGM or proof path that is the input
// picture, a file of the band's render data, or the other output.
bool outputs_spare_inputs(const char* img, const char* lot, int temp, const char* output) {
    const std::vector<std::string> inputs{img, std::string(lot) + "/" + gLotName + ".wbf",
                                          special_get_file_temp(lot, temp), special_get_eo_file_temp(lot, temp)};
    std::vector<std::string> outputs{output};
    if (gProof == 1) outputs.push_back(proof_image_path(output));
    const std::string clash = common::find_clash(inputs, outputs);
    if (clash.empty()) return true;
    std::printf("error! %s\n", clash.c_str());
    return false;
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
    if (!rendered_img || !outputs_spare_inputs(img, lot, temp, rendered_img.get()) ||
        !check_output_name_correct(rendered_img.get()) ||
        !my_ulma_render(version, img, rendered_img.get(), lot, temp)) {
        return HeapString();
    }
    return rendered_img;
}

bool convert_img(const UlmaVersion& version, int cnv_type, const char* img, const char* lot_code,
                 const char* render_path, const char* output_path, int temp) {
    timeval start{};
    gettimeofday(&start, nullptr);
    if (cnv_type == 0) {
        if (!render_Ulma(version, img, lot_code, render_path, output_path, temp)) return false;
    } else if (cnv_type != 1) {
        std::printf("Wrong convert type (%d)\n", cnv_type);
    }
    timeval end{};
    gettimeofday(&end, nullptr);
    std::printf("render_Ulma image time = %d sec\n", static_cast<int>(end.tv_sec - start.tv_sec));
    return true;
}
