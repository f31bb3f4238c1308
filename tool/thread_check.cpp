#include "tool/thread_check.h"

#include <pthread.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "io/thread_start_error.h"

namespace vorline {

namespace {

// Each thread waits for the mutex that the checking thread holds until all are started.
extern "C" void* wait_for_release(void* held) {
    static_cast<std::mutex*>(held)->lock();
    static_cast<std::mutex*>(held)->unlock();
    return nullptr;
}

}  // namespace

void check_threads_can_start(unsigned count, std::size_t stack_size) {
    std::mutex held;
    std::vector<pthread_t> threads;
    threads.reserve(count);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    if (stack_size > 0) pthread_attr_setstacksize(&attributes, stack_size);
    int error = 0;
    held.lock();
    for (unsigned i = 0; i < count && error == 0; ++i) {
        pthread_t thread;
        error = pthread_create(&thread, &attributes, wait_for_release, &held);
        if (error == 0) threads.push_back(thread);
    }
    held.unlock();
    for (pthread_t thread : threads) pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    if (error != 0)
        throw ThreadStartError("cannot start " + std::to_string(count) +
                               " threads: " + std::strerror(error));
}

}  // namespace vorline
