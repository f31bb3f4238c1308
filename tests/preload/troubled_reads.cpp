// A library preloaded into the tool by the fault tests: reads of the file named by
// VORLINE_TROUBLED_FILE fail with EIO once VORLINE_FAIL_AFTER bytes have been read, or, with
// VORLINE_SLOW_READS set, return at most 64 bytes each after a pause of 2 ms.
#include <dlfcn.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

using ReadFunction = ssize_t (*)(int, void*, size_t);

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
