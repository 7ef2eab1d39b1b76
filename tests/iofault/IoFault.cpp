// A failing device for the programs under test, loaded with LD_PRELOAD: the
// N-th call of a chosen file operation (and, with "+", every later one)
// fails with a chosen error, or writes only half, as a full or failing disk
// would. Only files below QUARVEL_IOFAULT_DIR count, so the program's own
// output and libraries are left alone.
//
//   QUARVEL_IOFAULT="msync:1:EIO,fallocate:3+:ENOSPC,write:2+:short"
//
// "short" writes half of the first struck call and fails the later ones with
// ENOSPC, as a disk does that fills in the middle of a write.
//   QUARVEL_IOFAULT_DIR=/path/of/the/root
//
// Operations: write pwrite fsync fdatasync msync ftruncate fallocate rename.
//
//   QUARVEL_IOFAULT_COUNT=/path/of/a/file
// appends "operation calls" lines for the calls below the folder at exit, so
// that a sweep knows how many points an operation has, and a "struck
// operation path" line for every call it failed and an "ok operation path"
// line for every flush that went through, so that a sweep can tell an
// operation that reported success over a failed write.

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

enum Op { Write, Pwrite, Fsync, Fdatasync, Msync, Ftruncate, Fallocate, Rename, kOps };
const char *const kNames[kOps] = {"write", "pwrite", "fsync", "fdatasync", "msync", "ftruncate", "fallocate", "rename"};

struct Rule {
    bool set = false;
    long at = 0;
    bool onward = false;
    int error = EIO;
    bool shortWrite = false;
};

struct Plan {
    Rule rules[kOps];
    std::atomic<long> calls[kOps] = {};
    std::string dir;
};

int errorNamed(const char *name)
{
    if (std::strncmp(name, "ENOSPC", 6) == 0)
        return ENOSPC;
    if (std::strncmp(name, "EDQUOT", 6) == 0)
        return EDQUOT;
    if (std::strncmp(name, "EROFS", 5) == 0)
        return EROFS;
    return EIO;
}

Plan &plan()
{
    static Plan *p = [] {
        auto *made = new Plan;
        if (const char *dir = std::getenv("QUARVEL_IOFAULT_DIR"))
            made->dir = dir;
        const char *text = std::getenv("QUARVEL_IOFAULT");
        std::string all = text ? text : "";
        std::size_t from = 0;
        while (from < all.size()) {
            std::size_t end = all.find(',', from);
            if (end == std::string::npos)
                end = all.size();
            const std::string item = all.substr(from, end - from);
            from = end + 1;
            const std::size_t colon = item.find(':');
            if (colon == std::string::npos)
                continue;
            for (int op = 0; op < kOps; ++op) {
                if (item.compare(0, colon, kNames[op]) != 0)
                    continue;
                Rule &r = made->rules[op];
                char *rest = nullptr;
                r.at = std::strtol(item.c_str() + colon + 1, &rest, 10);
                r.onward = rest && *rest == '+';
                const std::size_t second = item.find(':', colon + 1);
                if (second != std::string::npos) {
                    const char *what = item.c_str() + second + 1;
                    r.shortWrite = std::strcmp(what, "short") == 0;
                    r.error = errorNamed(what);
                }
                r.set = r.at > 0;
            }
        }
        return made;
    }();
    return *p;
}

// The file the last call that counted was about, for the struck lines.
thread_local std::string lastPath;

bool below(const char *path)
{
    const std::string &dir = plan().dir;
    const bool inside = !dir.empty() && path && std::strncmp(path, dir.c_str(), dir.size()) == 0;
    if (inside)
        lastPath = path;
    return inside;
}

// The file mapped at `address`, from the process's map list.
bool mappingBelow(const void *address)
{
    FILE *maps = std::fopen("/proc/self/maps", "r");
    if (!maps)
        return false;
    const auto at = reinterpret_cast<unsigned long>(address);
    char line[4352];
    bool inside = false;
    while (std::fgets(line, sizeof line, maps)) {
        unsigned long from = 0;
        unsigned long to = 0;
        int pathAt = 0;
        if (std::sscanf(line, "%lx-%lx %*s %*s %*s %*s %n", &from, &to, &pathAt) < 2 || at < from || at >= to)
            continue;
        char *path = line + pathAt;
        path[std::strcspn(path, "\n")] = '\0';
        inside = below(path);
        break;
    }
    std::fclose(maps);
    return inside;
}

bool fdBelow(int fd)
{
    char link[64];
    char target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    return below(target);
}

void note(const char *what, Op op)
{
    const char *path = std::getenv("QUARVEL_IOFAULT_COUNT");
    if (!path || !*path)
        return;
    if (FILE *out = std::fopen(path, "a")) {
        std::fprintf(out, "%s %s %s\n", what, kNames[op], lastPath.c_str());
        std::fclose(out);
    }
}

// Whether this call of the operation is one to fail; `first` tells the
// first struck call from the later ones.
bool strikes(Op op, bool counted, bool *first = nullptr)
{
    if (!counted)
        return false;
    const long n = ++plan().calls[op];
    const Rule &r = plan().rules[op];
    if (!r.set)
        return false;
    if (first)
        *first = n == r.at;
    const bool struck = n == r.at || (r.onward && n > r.at);
    if (struck)
        note("struck", op);
    return struck;
}

template <class F> F next(const char *name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

ssize_t writeFault(Op op, bool first, size_t count, size_t *shortened)
{
    const Rule &r = plan().rules[op];
    if (r.shortWrite && first && count > 1) {
        *shortened = count / 2;
        return 0;
    }
    errno = r.shortWrite ? ENOSPC : r.error;
    return -1;
}

__attribute__((destructor)) void reportCalls()
{
    const char *path = std::getenv("QUARVEL_IOFAULT_COUNT");
    if (!path || !*path)
        return;
    FILE *out = std::fopen(path, "a");
    if (!out)
        return;
    for (int op = 0; op < kOps; ++op)
        std::fprintf(out, "%s %ld\n", kNames[op], plan().calls[op].load());
    std::fclose(out);
}

} // namespace

extern "C" {

ssize_t write(int fd, const void *buf, size_t count)
{
    static auto real = next<ssize_t (*)(int, const void *, size_t)>("write");
    bool first = false;
    if (fd > 2 && strikes(Write, fdBelow(fd), &first)) {
        size_t shortened = 0;
        if (writeFault(Write, first, count, &shortened) < 0)
            return -1;
        return real(fd, buf, shortened);
    }
    return real(fd, buf, count);
}

ssize_t pwrite(int fd, const void *buf, size_t count, off_t offset)
{
    static auto real = next<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite");
    bool first = false;
    if (strikes(Pwrite, fdBelow(fd), &first)) {
        size_t shortened = 0;
        if (writeFault(Pwrite, first, count, &shortened) < 0)
            return -1;
        return real(fd, buf, shortened, offset);
    }
    return real(fd, buf, count, offset);
}

ssize_t pwrite64(int fd, const void *buf, size_t count, off_t offset)
{
    return pwrite(fd, buf, count, offset);
}

int fsync(int fd)
{
    static auto real = next<int (*)(int)>("fsync");
    const bool counted = fdBelow(fd);
    if (strikes(Fsync, counted)) {
        errno = plan().rules[Fsync].error;
        return -1;
    }
    const int r = real(fd);
    if (counted && r == 0)
        note("ok", Fsync);
    return r;
}

int fdatasync(int fd)
{
    static auto real = next<int (*)(int)>("fdatasync");
    const bool counted = fdBelow(fd);
    if (strikes(Fdatasync, counted)) {
        errno = plan().rules[Fdatasync].error;
        return -1;
    }
    const int r = real(fd);
    if (counted && r == 0)
        note("ok", Fdatasync);
    return r;
}

int msync(void *addr, size_t length, int flags)
{
    static auto real = next<int (*)(void *, size_t, int)>("msync");
    const bool counted = mappingBelow(addr);
    if (strikes(Msync, counted)) {
        errno = plan().rules[Msync].error;
        return -1;
    }
    const int r = real(addr, length, flags);
    if (counted && r == 0)
        note("ok", Msync);
    return r;
}

int ftruncate(int fd, off_t length)
{
    static auto real = next<int (*)(int, off_t)>("ftruncate");
    if (strikes(Ftruncate, fdBelow(fd))) {
        errno = plan().rules[Ftruncate].error;
        return -1;
    }
    return real(fd, length);
}

int ftruncate64(int fd, off_t length)
{
    return ftruncate(fd, length);
}

int posix_fallocate(int fd, off_t offset, off_t length)
{
    static auto real = next<int (*)(int, off_t, off_t)>("posix_fallocate");
    if (strikes(Fallocate, fdBelow(fd)))
        return plan().rules[Fallocate].error;
    return real(fd, offset, length);
}

int posix_fallocate64(int fd, off_t offset, off_t length)
{
    return posix_fallocate(fd, offset, length);
}

int rename(const char *from, const char *to)
{
    static auto real = next<int (*)(const char *, const char *)>("rename");
    if (strikes(Rename, below(from) || below(to))) {
        errno = plan().rules[Rename].error;
        return -1;
    }
    return real(from, to);
}

int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    static auto real = next<int (*)(int, const char *, int, const char *)>("renameat");
    if (strikes(Rename, below(from) || below(to))) {
        errno = plan().rules[Rename].error;
        return -1;
    }
    return real(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned flags)
{
    static auto real = next<int (*)(int, const char *, int, const char *, unsigned)>("renameat2");
    if (strikes(Rename, below(from) || below(to))) {
        errno = plan().rules[Rename].error;
        return -1;
    }
    return real(fromDir, from, toDir, to, flags);
}
}
