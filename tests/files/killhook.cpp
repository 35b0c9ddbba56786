// Preloaded into a saving child, it kills the child with SIGKILL, or makes the disk look full, at an
// exact point of a save, so a test interrupts the same byte on every run instead of racing a timer or
// filling a real disk. Only files in one folder count; the rest of the process writes undisturbed.
//   BB_HOOK_DIR        the folder, as an absolute path without a trailing slash
//   BB_KILL_AFTER      bytes that reach files in the folder before the kill; the write that would pass
//                      this count is cut short at it
//   BB_KILL_AT_RENAME  when set, the kill comes as something is about to be renamed into the folder
//   BB_KILL_AFTER_SYNCS  the kill comes as this many fsync or fdatasync calls on files in the folder have
//                      returned
// A kill first writes "killed at <ms since the epoch>" to standard error, for what a test measures.
//   BB_FULL_AFTER      bytes that fit in the folder: the write that would pass this count is cut short
//                      at it, as a full disk does, and every later one fails with ENOSPC
//   BB_FULL_AT_SYNC    when set, fsync and fdatasync of a file in the folder fail with ENOSPC
//   BB_FULL_AT_RENAME  when set, renaming something into the folder fails with ENOSPC
//   BB_KILL_AT_NAME    k: the kill comes at the k-th name given in the folder, by rename, renameat2 or link
//   BB_NAME_BARRIER    a folder: at the first exclusive name (renameat2) in the folder, the process leaves
//                      a file named after its pid there and waits, ten seconds at most, until two
//                      processes have, so that two writers reach their commits together
//   BB_FIXED_TIME      seconds since the epoch the wall clock stands at, so that two processes name their
//                      files after the same second

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <limits.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <time.h>
#include <unistd.h>

namespace {

std::atomic<long long> g_written {0};
std::atomic<long long> g_synced {0};
std::atomic<int> g_names {0};
std::atomic<bool> g_barrierPassed {false};

template<typename F>
F nextSymbol(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool inHookDir(const char *path)
{
    const char *dir = std::getenv("BB_HOOK_DIR");
    if (!dir || !*dir || !path)
        return false;
    const size_t length = std::strlen(dir);
    return std::strncmp(path, dir, length) == 0 && path[length] == '/';
}

// An unnamed temporary file still reads as a path in its folder, "#123 (deleted)".
bool fdInHookDir(int fd)
{
    char fdLink[64];
    std::snprintf(fdLink, sizeof fdLink, "/proc/self/fd/%d", fd);
    char path[PATH_MAX];
    const ssize_t n = readlink(fdLink, path, sizeof path - 1);
    if (n < 0)
        return false;
    path[n] = '\0';
    return inHookDir(path);
}

bool killing()
{
    return std::getenv("BB_KILL_AFTER") != nullptr;
}

// How many of `n` bytes about to go to `fd` may pass; fewer than `n` means the kill or the full disk
// follows them.
size_t allowance(int fd, size_t n)
{
    const char *limitText = killing() ? std::getenv("BB_KILL_AFTER") : std::getenv("BB_FULL_AFTER");
    if (!limitText || !fdInHookDir(fd))
        return n;
    const long long left = std::max(0LL, std::atoll(limitText) - g_written.load());
    return static_cast<unsigned long long>(left) < n ? size_t(left) : n;
}

void count(int fd, ssize_t written)
{
    if (written > 0 && fdInHookDir(fd))
        g_written += written;
}

[[noreturn]] void die()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    char line[64];
    const int n = std::snprintf(line, sizeof line, "killed at %lld\n",
        static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
    static const auto real = nextSymbol<ssize_t (*)(int, const void *, size_t)>("write");
    real(2, line, size_t(n));
    kill(getpid(), SIGKILL);
    _exit(127);
}

int noSpace()
{
    errno = ENOSPC;
    return -1;
}

// One plain write of `n` bytes to `fd`, done by `real(allowed)`: cut short at the allowance, then killed
// or, once nothing fits any more, refused.
template<typename Write>
ssize_t guarded(int fd, size_t n, const Write &real)
{
    const size_t allowed = allowance(fd, n);
    if (allowed == 0 && n > 0 && !killing())
        return noSpace();
    const ssize_t written = allowed > 0 || n == 0 ? real(allowed) : 0;
    if (allowed < n && killing())
        die();
    count(fd, written);
    return written;
}

// A sync of `fd` that returned `result`, counted towards BB_KILL_AFTER_SYNCS.
int synced(int fd, int result)
{
    const char *limit = std::getenv("BB_KILL_AFTER_SYNCS");
    if (limit && result == 0 && fdInHookDir(fd) && ++g_synced >= std::atoll(limit))
        die();
    return result;
}

// Counts a name given in the folder, and kills the process at the chosen one.
void naming(const char *to)
{
    const char *at = std::getenv("BB_KILL_AT_NAME");
    if (at && inHookDir(to) && ++g_names == std::atoi(at))
        die();
}

void barrier(const char *to)
{
    const char *folder = std::getenv("BB_NAME_BARRIER");
    if (!folder || !inHookDir(to) || g_barrierPassed.exchange(true))
        return;
    char mine[PATH_MAX];
    std::snprintf(mine, sizeof mine, "%s/%d", folder, int(getpid()));
    if (FILE *f = std::fopen(mine, "w"))
        std::fclose(f);
    for (int waited = 0; waited < 10000; ++waited) {
        int arrived = 0;
        if (DIR *dir = opendir(folder)) {
            while (const dirent *entry = readdir(dir))
                arrived += entry->d_name[0] != '.';
            closedir(dir);
        }
        if (arrived >= 2)
            return;
        const timespec millisecond {0, 1000000};
        nanosleep(&millisecond, nullptr);
    }
}

} // namespace

extern "C" {

ssize_t write(int fd, const void *buf, size_t n)
{
    static const auto real = nextSymbol<ssize_t (*)(int, const void *, size_t)>("write");
    return guarded(fd, n, [&](size_t allowed) { return real(fd, buf, allowed); });
}

ssize_t pwrite(int fd, const void *buf, size_t n, off_t offset)
{
    static const auto real = nextSymbol<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite");
    return guarded(fd, n, [&](size_t allowed) { return real(fd, buf, allowed, offset); });
}

ssize_t pwrite64(int fd, const void *buf, size_t n, off64_t offset)
{
    static const auto real = nextSymbol<ssize_t (*)(int, const void *, size_t, off64_t)>("pwrite64");
    return guarded(fd, n, [&](size_t allowed) { return real(fd, buf, allowed, offset); });
}

ssize_t writev(int fd, const struct iovec *iov, int iovcnt)
{
    static const auto real = nextSymbol<ssize_t (*)(int, const struct iovec *, int)>("writev");
    size_t n = 0;
    for (int i = 0; i < iovcnt; ++i)
        n += iov[i].iov_len;
    size_t allowed = allowance(fd, n);
    if (allowed == n) {
        const ssize_t written = real(fd, iov, iovcnt);
        count(fd, written);
        return written;
    }
    if (allowed == 0 && !killing())
        return noSpace();
    // The vector cut short at the allowance, as a short write would leave it.
    static struct iovec cut[IOV_MAX];
    int pieces = 0;
    for (int i = 0; i < iovcnt && i < IOV_MAX && allowed > 0; ++i) {
        cut[i] = iov[i];
        cut[i].iov_len = std::min(iov[i].iov_len, allowed);
        allowed -= cut[i].iov_len;
        pieces = i + 1;
    }
    const ssize_t written = pieces > 0 ? real(fd, cut, pieces) : 0;
    if (killing())
        die();
    count(fd, written);
    return written;
}

int fsync(int fd)
{
    static const auto real = nextSymbol<int (*)(int)>("fsync");
    return synced(fd, std::getenv("BB_FULL_AT_SYNC") && fdInHookDir(fd) ? noSpace() : real(fd));
}

int fdatasync(int fd)
{
    static const auto real = nextSymbol<int (*)(int)>("fdatasync");
    return synced(fd, std::getenv("BB_FULL_AT_SYNC") && fdInHookDir(fd) ? noSpace() : real(fd));
}

int rename(const char *from, const char *to) noexcept
{
    static const auto real = nextSymbol<int (*)(const char *, const char *)>("rename");
    naming(to);
    if (std::getenv("BB_KILL_AT_RENAME") && inHookDir(to))
        die();
    if (std::getenv("BB_FULL_AT_RENAME") && inHookDir(to))
        return noSpace();
    return real(from, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned int flags) noexcept
{
    static const auto real
        = nextSymbol<int (*)(int, const char *, int, const char *, unsigned int)>("renameat2");
    naming(to);
    barrier(to);
    return real(fromDir, from, toDir, to, flags);
}

int link(const char *from, const char *to) noexcept
{
    static const auto real = nextSymbol<int (*)(const char *, const char *)>("link");
    naming(to);
    return real(from, to);
}

int clock_gettime(clockid_t clock, struct timespec *at) noexcept
{
    static const auto real = nextSymbol<int (*)(clockid_t, struct timespec *)>("clock_gettime");
    const char *fixed = std::getenv("BB_FIXED_TIME");
    const int result = real(clock, at);
    if (fixed && clock == CLOCK_REALTIME && result == 0)
        at->tv_sec = std::atoll(fixed);
    return result;
}

} // extern "C"
