// The input queue that hands a person's moves from the server's threads to
// the user-interface thread: order, wake-up of the idle and modal loops,
// and shutting down while a dialog is open.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "host/app/Host.h"
#include "host/win32/Driver.h"
#include "host/win32/QueuedUser.h"

namespace orbalis::win32 {
namespace {

using namespace std::chrono_literals;

TEST(InputQueue, RunsInOrderAndWakesAWaiterAtOnce) {
    InputQueue queue;
    std::vector<int> ran;
    EXPECT_FALSE(queue.RunNext(1ms)) << "nothing waiting";
    queue.Push([&] { ran.push_back(1); });
    queue.Push([&] {
        ran.push_back(2);
        // An input may hand on another; it runs after those already waiting.
        queue.Push([&] { ran.push_back(4); });
    });
    queue.Push([&] { ran.push_back(3); });
    EXPECT_TRUE(queue.RunNext(0ms));
    EXPECT_EQ(queue.RunWaiting(), 3u);
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4}));

    // A waiter with a long wait is woken by an input from another thread;
    // were the wake-up lost it would sleep the full minute.
    const auto start = std::chrono::steady_clock::now();
    std::thread other([&] {
        std::this_thread::sleep_for(20ms);
        queue.Push([&] { ran.push_back(5); });
    });
    EXPECT_TRUE(queue.RunNext(60s));
    other.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    EXPECT_EQ(ran.back(), 5);
}

TEST(InputQueue, CloseWakesEveryWaiterAndDropsInputs) {
    InputQueue queue;
    bool ran = false;
    queue.Push([&] { ran = true; });
    queue.Close();
    EXPECT_TRUE(queue.closed());
    EXPECT_FALSE(queue.RunNext(0ms));
    EXPECT_EQ(queue.RunWaiting(), 0u);
    queue.Push([&] { ran = true; });
    EXPECT_FALSE(queue.RunNext(0ms));
    EXPECT_FALSE(ran);

    InputQueue waited;
    const auto start = std::chrono::steady_clock::now();
    std::thread closer([&] {
        std::this_thread::sleep_for(20ms);
        waited.Close();
    });
    EXPECT_FALSE(waited.RunNext(60s));
    closer.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
}

constexpr INT_PTR kCancelled = 0x53544F50;  // 'STOP'

INT_PTR CALLBACK EndingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) return EndDialog(dialog, 7);
    if (LOWORD(wParam) == IDCANCEL) return EndDialog(dialog, kCancelled);
    return FALSE;
}

// A modal dialog of the plug-in's, run with the queue-fed user while
// another thread plays the person.
class QueuedDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<host::Host>();
        std::string error;
        ASSERT_NE(host->loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error), nullptr) << error;
        module = GetModuleHandleA(ORBALIS_PLUGIN_DEFAULT_PATH);
        owner = reinterpret_cast<HWND>(host->mainWindow());
        SetDialogUser(&user);
    }
    void TearDown() override {
        SetDialogUser(nullptr);
        EXPECT_TRUE(OpenDialogs().empty());
        host.reset();
    }
    INT_PTR Run() { return DialogBoxParamW(module, MAKEINTRESOURCEW(123), owner, EndingProc, 0); }

    InputQueue queue;
    std::atomic<int> turns{0};
    QueuedDialogUser user{queue, [this](HWND) { ++turns; }};
    std::unique_ptr<host::Host> host;
    HINSTANCE module = nullptr;
    HWND owner = nullptr;
};

TEST_F(QueuedDialogTest, InputsFromAnotherThreadReachTheModalLoop) {
    std::atomic<bool> sawDialog{false};
    std::thread person([&] {
        std::this_thread::sleep_for(20ms);
        // Inputs run on the dialog's thread, in the order given.
        queue.Push([&] { sawDialog = OpenDialogs().size() == 1 && DialogTemplateId(OpenDialogs().back()) == 123; });
        queue.Push([] { EXPECT_EQ(UserClick(OpenDialogs().back(), IDOK), ""); });
        queue.Push([] { ADD_FAILURE() << "runs after the dialog ended, from the idle loop only"; });
    });
    EXPECT_EQ(Run(), 7);
    person.join();
    EXPECT_TRUE(sawDialog);
    EXPECT_GE(turns, 2) << "the state is published at every turn";
    queue.Close();
}

TEST_F(QueuedDialogTest, ClosingTheQueueClosesTheOpenDialog) {
    std::thread stopper([&] {
        std::this_thread::sleep_for(20ms);
        queue.Close();
    });
    EXPECT_EQ(Run(), kCancelled) << "closed as by the caption's close button";
    stopper.join();
}

}  // namespace
}  // namespace orbalis::win32
