// The user at the dialogs, fed through a queue: other threads hand inputs
// to the user-interface thread, which runs them one at a time, in order,
// from its idle loop and from every modal loop. An input is a piece of work
// that acts on the window tree as a person would (a keystroke, a click, a
// selection), or on the host.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "host/win32/Driver.h"

namespace orbalis::win32 {

class InputQueue {
public:
    using Input = std::function<void()>;

    // From any thread. After Close, inputs are dropped.
    void Push(Input input);
    // On the user-interface thread: waits up to `timeout` for the next input
    // and runs it. False when none came, or the queue is closed.
    bool RunNext(std::chrono::milliseconds timeout);
    // Runs the inputs already waiting, without waiting for more; how many.
    size_t RunWaiting();
    // Wakes every waiter; from then on nothing waits and nothing runs.
    void Close();
    bool closed() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Input> inputs_;
    bool closed_ = false;
};

// The modal loops' user: each turn of a loop publishes the state (through
// `onTurn`) and runs the next input, however long the person takes. Once the
// queue is closed it has nothing more, and the loop closes the dialog.
class QueuedDialogUser : public DialogUser {
public:
    QueuedDialogUser(InputQueue& queue, std::function<void(HWND dialog)> onTurn)
        : queue_(queue), onTurn_(std::move(onTurn)) {}
    bool Act(HWND dialog) override;

private:
    InputQueue& queue_;
    std::function<void(HWND)> onTurn_;
};

}  // namespace orbalis::win32
