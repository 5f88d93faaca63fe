// The command line of the renderer: ulmarender (version 0302) takes its four
// positional words from the end and the options -p, -c, -b, -n; ulmarender03
// (version 0301) takes them from the front and knows only -p.
#pragma once

#include <dirent.h>

#include <string>
#include <string_view>

// The whole run of the program; the return value is the exit status.
int run_command_line(int argc, char** argv);

// Prints the version, the usage line and two examples.
void usage(const char* program_name);

// Last component of a render-data directory path, split into the lot name
// (without its last three characters) and the two-character code version.
struct LotName {
    std::string name;
    std::string code_version;
};

enum class LotNameProblem {
    none,
    no_name,    // the path is empty or only separators
    too_short,  // fewer than kShortestLotDirectoryName characters
    too_long,   // more than kLongestLotDirectoryName characters
};

// "_" and the version are cut from the directory name, then three more
// characters from the lot name for the band file names.
inline constexpr std::size_t kShortestLotDirectoryName = 6;
inline constexpr std::size_t kLongestLotDirectoryName = 99;

// Splits `path` at its last '/' or '\\' (trailing separators ignored; a path
// without separator is the name itself).
LotNameProblem split_lot_name(std::string_view path, LotName& lot);

// Fills gLotName and gLotCodeVer from the render-data directory path; ends
// the process with status 1 when the name is unusable.
void split_argv_lot(const char* lot_code_org);

// split_argv_lot without the exit: the same messages, then false.
[[nodiscard]] bool try_split_argv_lot(const char* lot_code_org);

// 0 for the directory entries "." and "..", 1 for any other.
int filter_dot(const struct dirent* d);

// Same as search_temp_region.
int my_search_temp_region(int temp);

// strtod of the text, limited to [-100, 100] (a NaN stays NaN).
double percent_offset(const char* text);
