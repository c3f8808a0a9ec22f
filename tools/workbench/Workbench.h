// The workbench's side of the host: runs on the host's user-interface
// thread, the only thread that touches the host, its window tree and the
// plug-in. Other threads hand it inputs (through the input queue) and read
// back snapshots of its state, which it publishes after every input.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>
#include <mutex>
#include <string>

#include <nlohmann/json.hpp>

#include "host/app/Host.h"
#include "host/win32/QueuedUser.h"
#include "tools/workbench/RootFolder.h"

namespace orbalis::workbench {

// The answer to a request: an HTTP status, and a body (a one-line message
// for a refusal).
struct Reply {
    int status = 200;
    std::string body;
    std::string type = "application/json";
    std::string filename;  // for a download
};

class Workbench {
public:
    Workbench(host::Host& host, RootFolder root);
    ~Workbench();
    Workbench(const Workbench&) = delete;
    Workbench& operator=(const Workbench&) = delete;

    // ---- On the user-interface thread.
    // The idle loop: runs inputs until Stop.
    void Run();
    // Opens a document from the root folder (before Run, or from an input).
    bool OpenFile(const std::string& relative, std::string* error);
    // Each command's progress display stops at its n-th cancel check (1 is
    // the first; 0, the default, never) until the user presses cancel, so a
    // cancel can be tried however fast the machine finishes the work.
    void HoldProgressAtCheck(uint64_t nth) { holdAtCheck_ = nth; }

    // ---- From any thread.
    void Stop();
    // Hands one input (a JSON object with "do") to the user-interface thread
    // and waits for its answer. A refused input changes nothing.
    Reply Input(const nlohmann::json& input);
    // Opens a document from an uploaded file's bytes; `name` says its format.
    Reply Upload(const std::string& name, std::string bytes);
    // The current document as a file.
    Reply Download(const std::string& format);
    // The latest state (JSON), once it is newer than `after` or `wait` has
    // passed; never before the first state is published.
    std::string State(uint64_t after, std::chrono::milliseconds wait);
    // The current document drawn by the host's SVG export.
    std::string DocumentSvg();
    const RootFolder& root() const { return root_; }

private:
    struct Pending;
    void OnCancelCheck();
    Reply Call(std::function<Reply()> work);
    Reply Dispatch(const nlohmann::json& input);

    // Inputs (user-interface thread).
    Reply ChooseMenu(const nlohmann::json& input);
    Reply SelectAt(const nlohmann::json& input);
    Reply SetLayer(const nlohmann::json& input);
    Reply AtDialog(const nlohmann::json& input);
    Reply ChooseFile(const nlohmann::json& input);
    Reply AtPanel(const nlohmann::json& input);
    Reply Save(const nlohmann::json& input);

    // Waits for the user's answer to an alert or a question, running
    // inputs meanwhile.
    bool AskUser(const std::string& kind, const std::string& text);
    void OnProgress();
    // Answers the requests whose inputs are still running because they
    // opened a dialog, an alert or a question or started a long task: the
    // page then goes on and sends the inputs that will end them.
    void ReleaseInputs();
    // Publishes the state; `idle` when no command runs (the menus are
    // updated and the document redrawn then).
    void Publish(bool idle);
    nlohmann::json StateJson(bool idle);
    std::string TitleOf(const host::Document* document) const;
    std::string Busy() const;
    // Whether the last command can be undone in the current document.
    bool CanUndo() const;

    host::Host& host_;
    RootFolder root_;
    win32::InputQueue queue_;
    win32::QueuedDialogUser dialogUser_;

    // Owned by the user-interface thread.
    std::string running_;  // the menu command now running
    std::vector<std::shared_ptr<Pending>> runningInputs_;  // innermost last
    struct Box {
        std::string kind;  // "alert" or "question"
        std::string text;
        bool answered = false;
        bool yes = false;
    };
    Box* box_ = nullptr;
    bool cancelRequested_ = false;
    uint64_t holdAtCheck_ = 0;
    uint64_t checksBeforeCommand_ = 0;  // the user's cancel checks when the command started
    std::string notice_;  // how the last command or file operation went
    std::map<uint64_t, std::string> titles_;  // of documents, by open serial
    uint64_t svgKey_ = ~uint64_t(0);
    uint64_t svgSerial_ = 0;
    bool svgStale_ = true;
    std::chrono::steady_clock::time_point lastProgressPublish_{};

    // Shared with the server's threads.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t version_ = 0;
    std::string state_;
    std::string svg_;
    bool stopped_ = false;
};

}  // namespace orbalis::workbench
