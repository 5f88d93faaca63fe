#include "ulmarender/engine/render_data.h"

#include <cstdarg>
#include <cstdint>
#include <string_view>

#include "common/bounded_read.h"
#include "ulmarender/engine/settings.h"

namespace {

// Byte offsets of the two fields read from a waveform file.
constexpr long kBandCountOffset = 38;
constexpr long kBoundariesOffset = 48;
// gTempTable holds kTempTableSize boundaries, i.e. kTempTableSize - 1 bands;
// byte 38 is the band count less one.
constexpr int kMaxBandCountByte = kTempTableSize - 2;

// Path of a per-band file: "<dir>/<base>_<kind>_<band>_<version>.bin", where
// base is the lot name less its last three characters.
std::string band_file_path(const char* render_data_dir, const char* kind, int temp) {
    const int r = search_temp_region(temp);
    const HeapString band = str_concat("%dCto%dC", gTempTable[r], gTempTable[r + 1]);
    std::string_view lot_name = gLotName;
    const std::string base(lot_name.substr(0, lot_name.size() >= 3 ? lot_name.size() - 3 : 0));
    const HeapString path = str_concat("%s/%s_%s_%s_%s.bin", render_data_dir, base.c_str(), kind,
                                       band ? band.get() : "", gLotCodeVer);
    return path ? std::string(path.get()) : std::string();
}

bool is_separator(char c) { return c == '/' || c == '\\'; }

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

TempTableProblem read_temp_table(std::FILE* waveform_file) {
    if (std::fseek(waveform_file, kBandCountOffset, SEEK_SET) != 0) return TempTableProblem::too_short;
    const int band_count_byte = std::fgetc(waveform_file);
    if (band_count_byte == EOF) return TempTableProblem::too_short;
    if (band_count_byte > kMaxBandCountByte) return TempTableProblem::too_many_bands;

    const int boundary_count = band_count_byte + 2;
    unsigned char boundaries[kTempTableSize] = {};
    if (std::fseek(waveform_file, kBoundariesOffset, SEEK_SET) != 0 ||
        std::fread(boundaries, 1, static_cast<std::size_t>(boundary_count), waveform_file) !=
            static_cast<std::size_t>(boundary_count)) {
        return TempTableProblem::too_short;
    }
    gTempRange = band_count_byte + 1;
    for (int i = 0; i < boundary_count; ++i) gTempTable[i] = static_cast<std::int8_t>(boundaries[i]);
    return TempTableProblem::none;
}

bool get_temp_data_from_wbf(const char* lot_name, const char* lot_dir) {
    const HeapString path = str_concat("%s/%s%s", lot_dir, lot_name, ".wbf");
    // A regular file only: a pipe would hang the run, a device never end.
    std::string reason;
    bool opened = false;
    std::FILE* file = path ? common::open_regular_file(path.get(), reason, opened) : nullptr;
    if (file == nullptr && opened) {
        std::printf("\r\nwbf file %s is not a regular file\n", path.get());
        return false;
    }
    if (file == nullptr) {
        std::puts("\r\ncan not locate correct wbf file");
        std::perror("fopen");
        return false;
    }
    const TempTableProblem problem = read_temp_table(file);
    std::fclose(file);
    switch (problem) {
    case TempTableProblem::none:
        return true;
    case TempTableProblem::too_short:
        std::printf("\r\nwbf file %s is too short for the temperature table it announces\n", path.get());
        break;
    case TempTableProblem::too_many_bands:
        std::printf("\r\nwbf file %s announces more than %d temperature bands\n", path.get(),
                    kTempTableSize - 1);
        break;
    }
    return false;
}

int search_temp_region(int temp) {
    if (gTempRange < 1) return 0;  // no table read: only band 0 exists
    int r = 0;
    for (int i = 1; i <= gTempRange; ++i) {
        if (temp <= gTempTable[i]) break;
        ++r;
    }
    if (r >= gTempRange - 1) r = gTempRange - 1;
    return r;
}

std::string special_get_file_temp(const char* render_data_dir, int temp) {
    return band_file_path(render_data_dir, "lut", temp);
}

std::string special_get_eo_file_temp(const char* render_data_dir, int temp) {
    return band_file_path(render_data_dir, "data", temp);
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

bool split_argv_lot(const char* lot_code_org) {
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

int my_search_temp_region(int temp) { return search_temp_region(temp); }
