#pragma once
// Reads the X clipboard (the CLIPBOARD selection) through a connection of its own, with
// a cap on the bytes taken, a time limit on every step of its owner and a cancel from
// another thread. Another program owns the clipboard and answers in its own time: a
// slow or hostile one must cost neither the window's thread nor unbounded memory. The
// reads block, so they belong on a worker thread; that thread must not be the one
// that serves a clipboard this process owns.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora::platform {

// What one read has come to, shared with a thread that shows it or cancels it.
class SelectionProgress {
public:
    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }
    // Bytes received so far, and how many the owner announced (0 when it did not say).
    std::uint64_t received() const { return received_; }
    std::uint64_t announced() const { return announced_; }

    void setReceived(std::uint64_t bytes) { received_ = bytes; }
    void setAnnounced(std::uint64_t bytes) { announced_ = bytes; }

private:
    std::atomic<bool> cancelled_{false};
    std::atomic<std::uint64_t> received_{0};
    std::atomic<std::uint64_t> announced_{0};
};

struct SelectionLimits {
    std::uint64_t maxBytes = 0;
    // The longest wait for the owner's next answer or chunk.
    std::chrono::milliseconds stallTimeout{5000};
};

enum class SelectionOutcome {
    Received,
    NotOffered,  // no owner, or the owner refused the type
    TooLarge,    // announced or sent more than maxBytes: refused without taking the rest
    Cancelled,
    TimedOut,
    Failed,      // no display, or the connection broke
};

// Takes the bytes as they arrive, in order.
using SelectionSink = std::function<void(const std::uint8_t* data, std::size_t size)>;

class X11Clipboard {
public:
    // Connects to the display named (empty: $DISPLAY); every read fails without one.
    explicit X11Clipboard(const std::string& display = "");
    ~X11Clipboard();
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    // The clipboard's content as the type named (a MIME type such as "image/png"), whole
    // or in the owner's increments (INCR), handed to sink; never more than maxBytes in
    // all. A size the owner announces over the cap is refused before anything is taken.
    SelectionOutcome read(const std::string& type, const SelectionLimits& limits, SelectionProgress& progress,
                          const SelectionSink& sink);
    // The names of the types the owner offers; none when it offers none or fails.
    std::vector<std::string> offeredTypes(SelectionProgress& progress);

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
};

}  // namespace velmora::platform
