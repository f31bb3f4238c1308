// A library preloaded into the tool by the fault tests: reads of the file named by
// VORLINE_TROUBLED_FILE fail with EIO once VORLINE_FAIL_AFTER bytes have been read, or, with
// VORLINE_SLOW_READS set, return at most 64 bytes each after a pause of 2 ms. With
// VORLINE_SLOW_WRITES set, writes to every regular file write at most 4096 bytes each after
// a pause of 2 ms.
#include <dlfcn.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

using ReadFunction = ssize_t (*)(int, void*, size_t);
using WriteFunction = ssize_t (*)(int, const void*, size_t);
using PositionedWriteFunction = ssize_t (*)(int, const void*, size_t, off_t);

// Slows a write to a regular file down, and returns the bytes it may write.
size_t slowed(int descriptor, size_t size) {
    struct stat status;
    if (!std::getenv("VORLINE_SLOW_WRITES") || fstat(descriptor, &status) != 0 ||
        !S_ISREG(status.st_mode))
        return size;
    const timespec pause{0, 2000000};
    nanosleep(&pause, nullptr);
    return size > 4096 ? 4096 : size;
}

bool is_troubled(int descriptor) {
    const char* name = std::getenv("VORLINE_TROUBLED_FILE");
    struct stat wanted, actual;
    return name && stat(name, &wanted) == 0 && fstat(descriptor, &actual) == 0 &&
           wanted.st_dev == actual.st_dev && wanted.st_ino == actual.st_ino;
}

}  // namespace

extern "C" ssize_t read(int descriptor, void* buffer, size_t size) {
    static const auto real_read = reinterpret_cast<ReadFunction>(dlsym(RTLD_NEXT, "read"));
    if (!is_troubled(descriptor)) return real_read(descriptor, buffer, size);
    if (const char* after = std::getenv("VORLINE_FAIL_AFTER")) {
        const off_t limit = std::atoll(after), at = lseek(descriptor, 0, SEEK_CUR);
        if (at >= limit) {
            errno = EIO;
            return -1;
        }
        if (static_cast<off_t>(size) > limit - at) size = static_cast<size_t>(limit - at);
    }
    if (std::getenv("VORLINE_SLOW_READS")) {
        const timespec pause{0, 2000000};
        nanosleep(&pause, nullptr);
        if (size > 64) size = 64;
    }
    return real_read(descriptor, buffer, size);
}

extern "C" ssize_t write(int descriptor, const void* buffer, size_t size) {
    static const auto real_write = reinterpret_cast<WriteFunction>(dlsym(RTLD_NEXT, "write"));
    return real_write(descriptor, buffer, slowed(descriptor, size));
}

extern "C" ssize_t pwrite(int descriptor, const void* buffer, size_t size, off_t offset) {
    static const auto real_pwrite =
        reinterpret_cast<PositionedWriteFunction>(dlsym(RTLD_NEXT, "pwrite"));
    return real_pwrite(descriptor, buffer, slowed(descriptor, size), offset);
}
