#include "host/win32/QueuedUser.h"

namespace orbalis::win32 {

void InputQueue::Push(Input input) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) return;
        inputs_.push_back(std::move(input));
    }
    ready_.notify_one();
}

bool InputQueue::RunNext(std::chrono::milliseconds timeout) {
    Input input;
    {
        std::unique_lock lock(mutex_);
        if (!ready_.wait_for(lock, timeout, [&] { return closed_ || !inputs_.empty(); }) || closed_) return false;
        input = std::move(inputs_.front());
        inputs_.pop_front();
    }
    input();
    return true;
}

size_t InputQueue::RunWaiting() {
    size_t ran = 0;
    for (;;) {
        Input input;
        {
            std::lock_guard lock(mutex_);
            if (closed_ || inputs_.empty()) return ran;
            input = std::move(inputs_.front());
            inputs_.pop_front();
        }
        input();
        ++ran;
    }
}

void InputQueue::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        inputs_.clear();
    }
    ready_.notify_all();
}

bool InputQueue::closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

bool QueuedDialogUser::Act(HWND dialog) {
    if (onTurn_) onTurn_(dialog);
    // One input per turn: the loop then looks again whether the dialog ended.
    while (!queue_.closed())
        if (queue_.RunNext(std::chrono::milliseconds(250))) return true;
    return false;
}

}  // namespace orbalis::win32
