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
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "host/app/Host.h"
#include "host/win32/QueuedUser.h"
#include "tools/workbench/RootFolder.h"

namespace orbalis::workbench {

// The answer to a request: an HTTP status, and a body (a one-line message
// for a refusal).
// The current document as the page draws it, at one revision: written
// once, compressed at most once, however often it is fetched.
struct Drawing {
    std::string id;  // the same for the same bytes, so a page keeps what it has
    std::string svg;
    HostRect box{};  // the part of the page it shows (the artboard and all art)
    std::once_flag packed;
    std::string gzip;  // made by the first request that takes gzip
};

struct Reply {
    int status = 200;
    std::string body;
    std::string type = "application/json; charset=utf-8";
    std::string filename;  // for a download
    // A refusal's reason and what it names, for the page to word (Refusal).
    std::string reason;
    std::string detail;
    // The state published once the input was applied: states before it do
    // not show the input yet.
    uint64_t version = 0;
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
    bool OpenFile(const std::string& relative, Refusal* why);
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
    // The current document drawn by the host's SVG export, its placed
    // images put in as data.
    std::shared_ptr<Drawing> CurrentDrawing();
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
    Reply Close(const nlohmann::json& input);
    // The notice the page shows: what happened, as a word the page puts in
    // its language, with the names it needs.
    void Say(const std::string& what, nlohmann::json details = nullptr);
    void Opened(const std::string& title);
    bool IsOpen(uint64_t openSerial);

    // Waits for the user's answer to an alert or a question, running
    // inputs meanwhile.
    bool AskUser(const std::string& kind, const std::string& text);
    // The plug-in's progress: a report of its text or value, and any check
    // (a report or a cancel check), which publishes at most every 100 ms.
    void OnProgressReport(const std::string& text, int32_t value, int32_t maximum);
    void OnProgress();
    // Answers the requests whose inputs are still running because they
    // opened a dialog, an alert or a question or started a long task: the
    // page then goes on and sends the inputs that will end them.
    void ReleaseInputs();
    uint64_t PublishedVersion();
    // Publishes the state; `idle` when no command runs (the menus are
    // updated and the document redrawn then).
    void Publish(bool idle);
    nlohmann::json StateJson(bool idle);
    std::string TitleOf(const host::Document* document) const;
    // The document's folder relative to the root ("" for the root itself or
    // an uploaded document).
    std::string FolderOf(const host::Document& document) const;
    // Why the host takes no input now; no reason when it does.
    Refusal Busy() const;
    Refusal AnswerFirst() const;
    // Whether the last command can be undone in the current document.
    bool CanUndo() const;

    host::Host& host_;
    RootFolder root_;
    win32::InputQueue queue_;
    win32::QueuedDialogUser dialogUser_;

    // Owned by the user-interface thread.
    std::string running_;                                  // the menu command now running
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
    std::string notice_;                // how the last command or file operation went
    nlohmann::json noticeDetails_;
    std::string shellFile_;  // what the running command asked the shell to open
    std::string written_;    // the file chosen in the running command's save dialog
    // The drawing each document had when opened or last saved (by open
    // serial), whether it differs now, and the documents whose next drawing
    // is their saved one.
    std::map<uint64_t, std::string> savedIds_;
    std::map<uint64_t, bool> modified_;
    std::set<uint64_t> savedPending_;
    std::map<uint64_t, std::string> titles_;  // of documents, by open serial
    uint64_t svgKey_ = ~uint64_t(0);
    bool svgStale_ = true;
    std::chrono::steady_clock::time_point lastProgressPublish_{};
    // The progress as last reported, and since when its bar stood still:
    // what the page needs to show a scan under way at a fixed share.
    struct ProgressSeen {
        std::string text;
        int32_t value = 0;
        int32_t maximum = 0;
        bool textAhead = false;  // the text changed, its value may follow
        uint64_t steadyChecks = 0;
        std::chrono::steady_clock::time_point since{};
        std::chrono::steady_clock::time_point commandStart{};
    } progressSeen_;

    // Shared with the server's threads.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t version_ = 0;
    std::string state_;
    std::shared_ptr<Drawing> drawing_;
    // The drawing the last undoable command started from, and the host's
    // undo generation it belongs to.
    std::shared_ptr<Drawing> undoDrawing_;
    uint64_t undoDrawingGeneration_ = 0;
    bool stopped_ = false;
};

}  // namespace orbalis::workbench
