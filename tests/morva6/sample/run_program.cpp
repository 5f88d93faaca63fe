#include "run_program.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

extern char** environ;

namespace sample_test {

namespace {

// Starts the program; the child inherits the file size limit and, so that
// an over-long write fails rather than kills it, an ignored SIGXFSZ.
int spawnWithLimit(pid_t* child, const std::string& program, const posix_spawn_file_actions_t* actions,
                   char* const argv[], long fileSizeLimit) {
    if (fileSizeLimit < 0) return posix_spawn(child, program.c_str(), actions, nullptr, argv, environ);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = static_cast<rlim_t>(fileSizeLimit);
    void (*savedHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    const int spawned = posix_spawn(child, program.c_str(), actions, nullptr, argv, environ);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    return spawned;
}

}  // namespace

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      long fileSizeLimit) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);

    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = 0;
    const int spawned = spawnWithLimit(&child, program, &actions, argv.data(), fileSizeLimit);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        throw std::runtime_error("cannot start " + program);
    }

    ProgramRun run{-1, {}};
    char chunk[4096];
    for (ssize_t got; (got = read(pipeEnds[0], chunk, sizeof chunk)) != 0;) {
        if (got < 0) {
            if (errno == EINTR) continue;
            break;
        }
        run.output.append(chunk, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
    return run;
}

namespace {

// "<digits>.<six digits> ms", as "%lf ms" writes a non-negative number.
bool isCost(const std::string& text) {
    const std::size_t dot = text.find('.');
    if (dot == 0 || dot == std::string::npos || text.size() != dot + 7 + 3) return false;
    const auto digits = [&text](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
        }
        return true;
    };
    return digits(0, dot) && digits(dot + 1, dot + 7) && text.compare(dot + 7, 3, " ms") == 0;
}

}  // namespace

std::string withoutCosts(const std::string& output) {
    static const std::string marker = " cost: ";
    std::string result;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        end = end == std::string::npos ? output.size() : end + 1;
        std::string line = output.substr(start, end - start);
        const std::size_t at = line.find(marker);
        const bool hasBreak = line.back() == '\n';
        if (at != std::string::npos && hasBreak) {
            const std::string value = line.substr(at + marker.size(), line.size() - 1 - at - marker.size());
            if (isCost(value)) line = line.substr(0, at + marker.size()) + "# ms\n";
        }
        result += line;
        start = end;
    }
    return result;
}

}  // namespace sample_test
