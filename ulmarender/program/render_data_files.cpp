#include "ulmarender/program/render_data_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "common/bounded_read.h"
#include "ulmarender/engine/render_data.h"
#include "ulmarender/program/settings.h"

namespace {

ulma::TempTable temp_table_of_run() {
    ulma::TempTable table;
    std::copy(std::begin(gTempTable), std::end(gTempTable), table.bounds.begin());
    table.range = gTempRange;
    return table;
}

}  // namespace

HeapString str_concat(const char* format, ...) {
    char* text = nullptr;
    va_list arguments;
    va_start(arguments, format);
    const int length = vasprintf(&text, format, arguments);
    va_end(arguments);
    if (length < 0) {
        std::puts("vasprintf failed");
        return HeapString();
    }
    return HeapString(text);
}

bool split_argv_lot(const char* lot_code_org) {
    ulma::LotName lot;
    switch (ulma::split_lot_name(lot_code_org, lot)) {
        case ulma::LotNameProblem::none:
            std::snprintf(gLotCodeVer, sizeof gLotCodeVer, "%s", lot.code_version.c_str());
            std::snprintf(gLotName, sizeof gLotName, "%s", lot.name.c_str());
            return true;
        case ulma::LotNameProblem::no_name:
            std::puts("\r\ncan not locate wbf file, render_data path format not correct");
            break;
        case ulma::LotNameProblem::too_short:
            std::printf(
                "\r\nrender_data directory name too short: it needs at least %zu characters "
                "(lot name, \"_\" and a two-character version)\n",
                ulma::kShortestLotDirectoryName);
            break;
        case ulma::LotNameProblem::too_long:
            std::printf("\r\nrender_data directory name too long: at most %zu characters\n",
                        ulma::kLongestLotDirectoryName);
            break;
    }
    return false;
}

bool get_temp_data_from_wbf(const char* lot_name, const char* lot_dir) {
    const HeapString path = str_concat("%s/%s%s", lot_dir, lot_name, ".wbf");
    // A regular file only: a pipe would hang the run, a device never end.
    std::string reason;
    bool opened = false;
    const common::File file(path ? common::open_regular_file(path.get(), reason, opened) : nullptr);
    if (!file && opened) {
        std::printf("\r\nwbf file %s is not a regular file\n", path.get());
        return false;
    }
    if (!file) {
        const int saved_errno = errno;
        std::puts("\r\ncan not locate correct wbf file");
        errno = saved_errno;
        std::perror("fopen");
        return false;
    }
    ulma::TempTable table;
    switch (ulma::read_temp_table(file.get(), table)) {
        case ulma::TempTableProblem::none:
            gTempRange = table.range;
            std::copy(table.bounds.begin(), table.bounds.end(), std::begin(gTempTable));
            return true;
        case ulma::TempTableProblem::too_short:
            std::printf("\r\nwbf file %s is too short for the temperature table it announces\n", path.get());
            break;
        case ulma::TempTableProblem::too_many_bands:
            std::printf("\r\nwbf file %s announces more than %d temperature bands\n", path.get(), kTempTableSize - 1);
            break;
    }
    return false;
}

bool open_render_data_of_run(const char* dir) { return split_argv_lot(dir) && get_temp_data_from_wbf(gLotName, dir); }

int search_temp_region(int temp) { return ulma::search_temp_region(temp_table_of_run(), temp); }

int my_search_temp_region(int temp) { return search_temp_region(temp); }

std::string special_get_file_temp(const char* render_data_dir, int temp) {
    return ulma::band_file_path(render_data_of_run(render_data_dir), ulma::BandFile::lut, temp);
}

std::string special_get_eo_file_temp(const char* render_data_dir, int temp) {
    return ulma::band_file_path(render_data_of_run(render_data_dir), ulma::BandFile::palette_data, temp);
}
