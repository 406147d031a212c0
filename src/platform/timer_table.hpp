#pragma once
// A platform's running periodic timers by handle (the POSIX and the Windows platform keep theirs
// alike). A handle is never 0 and never one in use. A stop takes its timer out of the table
// first and finishes it outside the lock, so a callback may stop its own timer.
#include <climits>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace platform {

template <typename Timer>
struct TimerTable {
    std::mutex mutex;
    std::map<int, std::shared_ptr<Timer>> timers;
    int nextHandle = 1;

    int add(std::shared_ptr<Timer> timer) {
        std::lock_guard lock(mutex);
        int handle = nextHandle;
        while (timers.count(handle) != 0) {
            handle = handle == INT_MAX ? 1 : handle + 1;
        }
        nextHandle = handle == INT_MAX ? 1 : handle + 1;
        timers.emplace(handle, std::move(timer));
        return handle;
    }

    // Null when no timer has the handle.
    std::shared_ptr<Timer> take(int handle) {
        std::lock_guard lock(mutex);
        const auto found = timers.find(handle);
        if (found == timers.end()) {
            return nullptr;
        }
        std::shared_ptr<Timer> timer = std::move(found->second);
        timers.erase(found);
        return timer;
    }

    std::map<int, std::shared_ptr<Timer>> takeAll() {
        std::lock_guard lock(mutex);
        return std::exchange(timers, {});
    }

    int count() {
        std::lock_guard lock(mutex);
        return static_cast<int>(timers.size());
    }
};

// Waits for a timer's thread once it has been told to stop; stopped from its own callback, the
// thread is left to end when that returns.
template <typename Timer>
void endTimerThread(Timer& timer) {
    if (timer.thread.get_id() == std::this_thread::get_id()) {
        timer.thread.detach();
    } else {
        timer.thread.join();
    }
}

}  // namespace platform
