#include "tests/support/support.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <array>
#include <iterator>
#include <stdexcept>

namespace test_support {

ProgramRun run_program(const std::string& program, const std::vector<std::string>& words, const fs::path& where,
                       std::uint64_t memory_limit, const std::string& name) {
    const TempDir capture;
    const fs::path out_path = capture / "stdout";
    const fs::path err_path = capture / "stderr";
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (memory_limit != 0) {
            // rlim_t is 32 bits wide on 32-bit systems: a larger limit is no limit.
            const auto value = static_cast<rlim_t>(std::min<std::uint64_t>(memory_limit, RLIM_INFINITY));
            const rlimit limit{value, value};
            if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(126);
        }
        if (chdir(where.c_str()) != 0 || !std::freopen(out_path.c_str(), "w", stdout) ||
            !std::freopen(err_path.c_str(), "w", stderr)) {
            _exit(127);
        }
        // Under a cross build's emulator the program is started by a script,
        // which loses argv[0]: the emulator takes it from QEMU_ARGV0.
        if (!name.empty()) setenv("QEMU_ARGV0", name.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>((name.empty() ? program : name).c_str())};
        for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ProgramRun run;
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = read_file(out_path);
    run.err = read_file(err_path);
    return run;
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "morva6-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> read_bytes(const fs::path& path) {
    const std::string bytes = read_file(path);
    return {bytes.begin(), bytes.end()};
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("can not write " + path.string());
}

void write_file(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    write_file(path, std::string(bytes.begin(), bytes.end()));
}

std::vector<std::uint8_t> bmp_bytes(int width, int height, int bits, const std::vector<std::uint8_t>& pixels) {
    const std::size_t table = bits == 8 ? 1024 : 0;
    std::vector<std::uint8_t> file(54 + table);
    const auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(0, 0x4D42, 2);
    put(2, static_cast<std::uint32_t>(file.size() + pixels.size()), 4);
    put(10, static_cast<std::uint32_t>(54 + table), 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, static_cast<std::uint32_t>(bits), 2);
    for (std::size_t i = 0; i < table; ++i) file[54 + i] = static_cast<std::uint8_t>(i * 7 + 3);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

std::string identity_table(bool bgr) {
    std::string table;
    for (int r = 0; r < 64; ++r)
        for (int g = 0; g < 64; ++g)
            for (int b = 0; b < 64; ++b) {
                const std::array<int, 3> entry = bgr ? std::array{b, g, r} : std::array{r, g, b};
                for (const int c : entry) table += static_cast<char>(c * 4 + 2);
            }
    return table;
}

std::vector<std::uint8_t> identity_lut() {
    std::vector<std::uint8_t> lut = {0, 0, 0, 255, 255, 255, 0, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0};
    const std::string table = identity_table(true);
    lut.insert(lut.end(), table.begin(), table.end());
    return lut;
}

}  // namespace test_support
