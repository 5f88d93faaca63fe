#include "ulmarender/engine/render_data.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include "common/bounded_read.h"
#include "common/holders.h"

namespace ulma {

namespace {

bool is_separator(char c) { return c == '/' || c == '\\'; }

LotNameProblem read_name(std::string_view dir, RenderData& data) {
    LotName lot;
    const LotNameProblem problem = split_lot_name(dir, lot);
    if (problem != LotNameProblem::none) return problem;
    data.lot_name = std::move(lot.name);
    data.code_version = std::move(lot.code_version);
    return problem;
}

OpenProblem open_problem(LotNameProblem problem) {
    switch (problem) {
        case LotNameProblem::no_name:
            return OpenProblem::no_name;
        case LotNameProblem::too_short:
            return OpenProblem::name_too_short;
        case LotNameProblem::too_long:
            return OpenProblem::name_too_long;
        case LotNameProblem::none:
            break;
    }
    return OpenProblem::none;
}

}  // namespace

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

TempTableProblem read_temp_table(std::FILE* waveform_file, TempTable& table) {
    using common::render_data::kBandCountOffset;
    using common::render_data::kBoundariesOffset;
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
    table.range = band_count_byte + 1;
    for (int i = 0; i < boundary_count; ++i) table.bounds[i] = static_cast<std::int8_t>(boundaries[i]);
    return TempTableProblem::none;
}

std::string waveform_path(std::string_view dir, std::string_view lot_name) {
    return std::string(dir) + "/" + common::render_data::waveform_file_name(lot_name);
}

OpenResult open_render_data(std::string_view dir, RenderData& data) {
    OpenResult result;
    RenderData opened;
    opened.dir = std::string(dir);
    result.problem = open_problem(read_name(dir, opened));
    if (result.problem != OpenProblem::none) return result;
    result.path = waveform_path(dir, opened.lot_name);
    // A regular file only: a pipe would hang, a device never end.
    std::string reason;
    bool not_a_file = false;
    const common::File file(common::open_regular_file(result.path, reason, not_a_file));
    if (!file) {
        result.error_number = errno;
        result.problem = not_a_file ? OpenProblem::waveform_not_a_file : OpenProblem::waveform_missing;
        return result;
    }
    switch (read_temp_table(file.get(), opened.temps)) {
        case TempTableProblem::none:
            data = std::move(opened);
            break;
        case TempTableProblem::too_short:
            result.problem = OpenProblem::waveform_too_short;
            break;
        case TempTableProblem::too_many_bands:
            result.problem = OpenProblem::too_many_bands;
            break;
    }
    return result;
}

std::string describe(const OpenResult& result) {
    switch (result.problem) {
        case OpenProblem::none:
            return "render data opened";
        case OpenProblem::no_name:
            return "the render-data path names no folder";
        case OpenProblem::name_too_short:
            return "the render-data folder's name is too short: it needs at least " +
                   std::to_string(kShortestLotDirectoryName) +
                   " characters (lot name, \"_\" and a two-character version)";
        case OpenProblem::name_too_long:
            return "the render-data folder's name is too long: at most " + std::to_string(kLongestLotDirectoryName) +
                   " characters";
        case OpenProblem::waveform_missing:
            return "cannot open the waveform file " + result.path + ": " + std::strerror(result.error_number);
        case OpenProblem::waveform_not_a_file:
            return "the waveform file " + result.path + " is not a regular file";
        case OpenProblem::waveform_too_short:
            return "the waveform file " + result.path + " is too short for the temperature table it announces";
        case OpenProblem::too_many_bands:
            return "the waveform file " + result.path + " announces more than " + std::to_string(kTempTableSize - 1) +
                   " temperature bands";
    }
    return "unknown problem";
}

int search_temp_region(const TempTable& table, int temp) {
    if (table.range < 1) return 0;  // no table read: only band 0 exists
    int r = 0;
    for (int i = 1; i <= table.range; ++i) {
        if (temp <= table.bounds[i]) break;
        ++r;
    }
    if (r >= table.range - 1) r = table.range - 1;
    return r;
}

std::string band_file_path(const RenderData& data, BandFile kind, int temp) {
    const int r = search_temp_region(data.temps, temp);
    return data.dir + "/" +
           common::render_data::band_file_name(common::render_data::file_base(data.lot_name), kind,
                                               data.temps.bounds[r], data.temps.bounds[r + 1], data.code_version);
}

}  // namespace ulma
