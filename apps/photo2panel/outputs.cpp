#include "apps/photo2panel/outputs.h"

#include <filesystem>
#include <system_error>

namespace photo2panel {

std::string find_data(const std::string& name) {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    // Relative to the program's folder: installed, then in the build tree.
    for (const char* place : {PHOTO2PANEL_INSTALLED_DATA, PHOTO2PANEL_BUILD_DATA}) {
        const std::filesystem::path candidate = program.parent_path() / place / name;
        if (std::filesystem::exists(candidate, error)) return candidate.lexically_normal().string();
    }
    return {};
}

std::string stem(const std::string& path) { return std::filesystem::path(path).stem().string(); }

std::string in_folder(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

}  // namespace photo2panel
