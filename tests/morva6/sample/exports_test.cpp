// The library's entry points are exported by name, from the shared library
// and from the program; its internal helpers are not.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "morva6/morva6.h"

namespace {

const char* const kEntryPoints[] = {"Ovex_Morva6_render_init", "Ovex_Morva6_render", "Ovex_Morva6_render_All",
                                    "Ovex_image_adjustment", "Ovex_get_updateLog"};
const char* const kInternalHelpers[] = {"Ovex_dithering_Floyd_QW", "Ovex_dithering_Jarvis_Judice_Ninkle_QW",
                                        "Ovex_dithering_Stucki_QW", "Ovex_TFT_format_transfer"};

// Names of the dynamic symbols that `file` defines, demangled and without
// parameter lists.
std::set<std::string> exportedNames(const std::string& file) {
    const std::string command = "nm -D --defined-only -C '" + file + "' 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string listing;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) listing.append(chunk, got);
    pclose(pipe);
    std::set<std::string> names;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        // "<address> <type> <name>"
        const std::size_t nameStart = line.find(' ', line.find(' ') + 1);
        if (nameStart == std::string::npos) continue;
        std::string name = line.substr(nameStart + 1);
        names.insert(name.substr(0, name.find('(')));
    }
    return names;
}

TEST(Exports, SharedLibraryHandsOutEveryEntryPoint) {
    void* library = dlopen(MORVA6_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const char* name : kEntryPoints) EXPECT_NE(dlsym(library, name), nullptr) << name;
    for (const char* name : kInternalHelpers) EXPECT_EQ(dlsym(library, name), nullptr) << name;

    using UpdateLog = const char* (*)();
    const auto updateLog = reinterpret_cast<UpdateLog>(dlsym(library, "Ovex_get_updateLog"));
    ASSERT_NE(updateLog, nullptr);
    EXPECT_STREQ(updateLog(), Ovex_get_updateLog());
    dlclose(library);
}

TEST(Exports, SharedLibraryKeepsInternalHelpersHidden) {
    const std::set<std::string> names = exportedNames(MORVA6_SHARED_LIBRARY);
    ASSERT_FALSE(names.empty()) << "nm found nothing in " << MORVA6_SHARED_LIBRARY;
    for (const char* name : kEntryPoints) EXPECT_EQ(names.count(name), 1u) << name;
    for (const char* name : kInternalHelpers) EXPECT_EQ(names.count(name), 0u) << name;
}

TEST(Exports, ProgramExportsEveryEntryPointButNoInternalHelper) {
    const std::set<std::string> names = exportedNames(MORVA6_RENDER_EXE);
    ASSERT_FALSE(names.empty()) << "nm found nothing in " << MORVA6_RENDER_EXE;
    for (const char* name : kEntryPoints) EXPECT_EQ(names.count(name), 1u) << name;
    for (const char* name : kInternalHelpers) EXPECT_EQ(names.count(name), 0u) << name;
}

}  // namespace
