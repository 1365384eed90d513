#pragma once
// A thread of the product's own: whatever its body throws is caught inside the thread
// and raised again by join() on the thread that waits for it, so that nothing a worker
// throws reaches std::terminate. The destructor waits for the body too, so an error
// on the waiting thread never leaves a running thread behind (which would also end
// the process).

#include <exception>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace velmora {

class WorkerThread {
public:
    WorkerThread() = default;
    // Starts `body`; raises std::system_error when no thread can be had.
    template <class Body>
    explicit WorkerThread(Body&& body) {
        thread_ = std::thread([this, work = std::forward<Body>(body)]() mutable {
            try {
                work();
            } catch (...) {
                error_ = std::current_exception();
            }
        });
    }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    ~WorkerThread() {
        if (thread_.joinable()) thread_.join();
    }

    bool started() const { return thread_.joinable(); }

    // Waits for the body to end and raises what it raised, if anything.
    void join() {
        if (thread_.joinable()) thread_.join();
        if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    }

private:
    std::exception_ptr error_;
    std::thread thread_;
};

// Runs `other` on a second thread and `own` on this one, or both here, one after the
// other, when no thread can be had. Returns when both have ended; raises what either
// raised (this thread's error first).
template <class Own, class Other>
void runSideBySide(Own&& own, Other&& other) {
    std::optional<WorkerThread> worker;
    try {
        worker.emplace(other);
    } catch (const std::system_error&) {
        own();
        other();
        return;
    }
    own();
    worker->join();
}

}  // namespace velmora
