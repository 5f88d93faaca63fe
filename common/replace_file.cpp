#include "common/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <new>
#include <random>
#include <vector>

namespace common {
namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 18;

// Named temporary files that exist right now, removed by the handler of
// SIGINT and SIGTERM before the signal takes its default course. Fixed
// storage: the handler may only call async-signal-safe functions.
constexpr int kSlots = 64;
struct Slot {
    std::atomic<bool> used{false};
    char name[PATH_MAX]{};
};
Slot g_slots[kSlots];
std::atomic<bool> g_taken[kSlots];

extern "C" void remove_temporaries_and_die(int signal_number) {
    for (Slot& slot : g_slots) {
        if (slot.used.load(std::memory_order_acquire)) unlink(slot.name);
    }
    std::signal(signal_number, SIG_DFL);
    raise(signal_number);
}

// Installs the handler for each signal that still has its default action.
void install_handlers_once() {
    static const bool installed = [] {
        for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction current {};
            if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler != SIG_DFL ||
                (current.sa_flags & SA_SIGINFO) != 0)
                continue;
            struct sigaction handler {};
            handler.sa_handler = remove_temporaries_and_die;
            sigemptyset(&handler.sa_mask);
            sigaction(signal_number, &handler, nullptr);
        }
        return true;
    }();
    (void)installed;
}

int register_temporary(const std::string& name) {
    if (name.size() >= PATH_MAX) return -1;
    install_handlers_once();
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (!g_taken[i].compare_exchange_strong(expected, true)) continue;
        std::memcpy(g_slots[i].name, name.c_str(), name.size() + 1);
        g_slots[i].used.store(true, std::memory_order_release);
        return i;
    }
    return -1;  // more temporaries at once than slots: left unguarded
}

void unregister_temporary(int& slot) {
    if (slot < 0) return;
    g_slots[slot].used.store(false, std::memory_order_release);
    g_taken[slot].store(false);
    slot = -1;
}

// Follows symbolic links (relative ones from their own folder) to the path
// that is really written; other paths stay as they are.
std::string resolve_links(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t length = readlink(path.c_str(), target.data(), PATH_MAX);
        if (length < 0) return path;
        std::string next(target.data(), static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        if (next.front() != '/' && slash != std::string::npos) next = path.substr(0, slash + 1) + next;
        path = std::move(next);
    }
    return path;
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The prefix of a temporary beside `destination`; fixed length, so that a
// destination name near the file system's limit still gets one.
std::string temporary_prefix(const std::string& destination) {
    const std::size_t slash = destination.rfind('/');
    return (slash == std::string::npos ? std::string() : destination.substr(0, slash + 1)) + ".replace.";
}

// An unnamed file in the folder of `destination` (O_TMPFILE), when the
// file system has them and /proc lets it be named later; -1 otherwise.
int create_unnamed(const std::string& destination) {
#ifdef O_TMPFILE
    if (access("/proc/self/fd", X_OK) != 0) return -1;
    return open(folder_of(destination).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    (void)destination;
    return -1;
#endif
}

// A new named file beside `destination`, with the mode fopen would give a
// new file (0666 less the umask); -1 on failure.
int create_named(const std::string& destination, std::string& name) {
    name = temporary_prefix(destination) + "XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    return fd;
}

// Gives the unnamed file `fd` a new name beside `destination`.
bool name_unnamed(int fd, const std::string& destination, std::string& name) {
    const std::string source = "/proc/self/fd/" + std::to_string(fd);
    static thread_local std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporary_prefix(destination) + std::to_string(random() % 900000 + 100000);
        if (linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

}  // namespace

bool is_special_file(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

ReplaceFile::ReplaceFile(const std::string& destination) : destination_(resolve_links(destination)) {
    struct stat info {};
    const bool exists = stat(destination_.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) return;
    if (exists && !S_ISREG(info.st_mode)) {
        stream_ = std::fopen(destination_.c_str(), "wb");
    } else {
        int fd = create_unnamed(destination_);
        unnamed_ = fd >= 0;
        std::string name;
        if (fd < 0) fd = create_named(destination_, name);
        if (fd < 0) return;
        if (exists) fchmod(fd, info.st_mode & 07777);
        if (!unnamed_) {
            temporary_ = std::move(name);
            slot_ = register_temporary(temporary_);
        }
        stream_ = fdopen(fd, "wb");
        if (stream_ == nullptr) {
            close(fd);
            return;
        }
    }
    if (stream_ == nullptr) return;
    buffer_.reset(new (std::nothrow) char[kBufferBytes]);
    if (buffer_) std::setvbuf(stream_, buffer_.get(), _IOFBF, kBufferBytes);
}

ReplaceFile::~ReplaceFile() {
    if (stream_ != nullptr) std::fclose(stream_);
    if (!temporary_.empty()) unlink(temporary_.c_str());
    unregister_temporary(slot_);
}

bool ReplaceFile::write(const void* data, std::size_t size) {
    if (stream_ == nullptr || failed_ || finished_) return false;
    if (size != 0 && std::fwrite(data, 1, size, stream_) != size) failed_ = true;
    return !failed_;
}

bool ReplaceFile::finish() {
    if (stream_ == nullptr) return false;
    if (finished_) return !failed_;
    finished_ = true;
    if (std::fflush(stream_) != 0 || std::ferror(stream_) != 0) failed_ = true;
    const bool direct = !unnamed_ && temporary_.empty();
    if (!failed_ && !direct && fsync(fileno(stream_)) != 0) failed_ = true;
    if (direct) {
        if (std::fclose(stream_) != 0) failed_ = true;
        stream_ = nullptr;
    }
    return !failed_;
}

bool ReplaceFile::publish() {
    if (!finished_ || failed_) return false;
    if (stream_ == nullptr) return true;  // written directly
    bool done = true;
    if (unnamed_) {
        done = name_unnamed(fileno(stream_), destination_, temporary_);
        if (done)
            slot_ = register_temporary(temporary_);
        else
            temporary_.clear();
    }
    if (std::fclose(stream_) != 0) done = false;
    stream_ = nullptr;
    if (done && std::rename(temporary_.c_str(), destination_.c_str()) != 0) done = false;
    if (done) {
        temporary_.clear();
        unregister_temporary(slot_);
    } else {
        failed_ = true;
    }
    return done;
}

WriteResult write_file_replacing(const std::string& path, std::string_view header, std::span<const std::uint8_t> body) {
    ReplaceFile file(path);
    if (!file.is_open()) return WriteResult::not_created;
    const bool written = file.write(header.data(), header.size()) && file.write(body.data(), body.size());
    return written && file.commit() ? WriteResult::written : WriteResult::not_written;
}

}  // namespace common
