#include "tools/workbench/Workbench.h"

#include <algorithm>
#include <cmath>
#include <future>

#include "host/app/CodeText.h"
#include "host/app/PanelUser.h"
#include "host/app/Panels.h"
#include "host/io/DocumentFiles.h"
#include "host/io/JsonDocument.h"
#include "host/io/SvgDocument.h"
#include "host/win32/Dialogs.h"
#include "host/win32/Driver.h"
#include "host/win32/Windows.h"
#include "tools/workbench/HitTest.h"
#include "tools/workbench/PlacedImages.h"
#include "tools/workbench/WindowState.h"

namespace orbalis::workbench {

namespace fs = std::filesystem;
using host::CodeText;
using host::Document;
using host::Layer;
using host::MenuItem;
using nlohmann::json;

namespace {

Reply Refuse(int status, const Refusal& why) {
    return {status, why.line + "\n", "text/plain; charset=utf-8", {}, why.reason, why.detail};
}
Reply Refuse(int status, const char* reason, const std::string& line, const std::string& detail = {}) {
    return Refuse(status, Refusal{reason, line, detail});
}

// The plug-in's menus in the order the host shows them; an item's place in
// this list is its name for the page.
void MenuOrder(const host::MenuGroup& group, std::vector<MenuItem*>& out) {
    for (MenuItem* item : group.items) {
        out.push_back(item);
        if (item->submenu) MenuOrder(*item->submenu, out);
    }
}

std::vector<MenuItem*> MenuOrder(const host::MenuBar& menus) {
    std::vector<MenuItem*> out;
    for (const auto& group : menus.groups())
        if (!group->parentItem) MenuOrder(*group, out);
    return out;
}

json MenuItems(const host::MenuGroup& group, const std::vector<MenuItem*>& order) {
    json items = json::array();
    for (const MenuItem* item : group.items) {
        const auto id = std::find(order.begin(), order.end(), item) - order.begin();
        json entry = {{"id", id},
                      {"text", item->text},
                      {"enabled", item->enabled},
                      {"checked", item->checked},
                      {"separator", item->isSeparator()}};
        if (item->submenu) entry["submenu"] = MenuItems(*item->submenu, order);
        items.push_back(std::move(entry));
    }
    return items;
}

int Depth(const Document& document, const Layer* layer) {
    int depth = 0;
    for (const Layer* p = document.parentLayer(layer); p; p = document.parentLayer(p)) ++depth;
    return depth;
}

bool AnySelected(const host::Art* art) {
    if (art->attributes() & kHostArtSelected) return true;
    for (const host::Art* child = art->firstChild(); child; child = child->next())
        if (AnySelected(child)) return true;
    return false;
}

void SelectionBounds(const Document& document, const Layer* layer, json& out) {
    for (const host::Art* child = layer->group()->firstChild(); child; child = child->next()) {
        if (const Layer* sub = child->ownerLayer()) {
            SelectionBounds(document, sub, out);
            continue;
        }
        HostRect r;
        if (AnySelected(child) && document.bounds(child, &r)) out.push_back({r.left, r.top, r.right, r.bottom});
    }
}

double Number(const json& input, const char* key) {
    const auto it = input.find(key);
    if (it == input.end() || !it->is_number())
        throw std::invalid_argument(std::string("\"") + key + "\" must be a number");
    const double v = it->get<double>();
    if (!std::isfinite(v)) throw std::invalid_argument(std::string("\"") + key + "\" must be a finite number");
    return v;
}

int Integer(const json& input, const char* key) {
    const double v = Number(input, key);
    if (v != std::floor(v) || std::fabs(v) > 1e9)
        throw std::invalid_argument(std::string("\"") + key + "\" must be a whole number");
    return static_cast<int>(v);
}

std::string Text(const json& input, const char* key) {
    const auto it = input.find(key);
    if (it == input.end() || !it->is_string())
        throw std::invalid_argument(std::string("\"") + key + "\" must be a text");
    return it->get<std::string>();
}

// The file dialogs' name field: the page chooses files from the root
// folder's list instead, so that no path outside it is ever typed.
constexpr int kFileNameField = 0x047c;

// The part of the page the drawing shows: the artboard, widened to take in
// art that lies beyond it (with room for its strokes), so that the page
// draws that art too. Page points, y up.
HostRect DrawingBox(const Document& document) {
    const HostRect& a = document.artboard;
    HostRect box{std::min(a.left, a.right), std::max(a.top, a.bottom), std::max(a.left, a.right),
                 std::min(a.top, a.bottom)};
    const HostRect board = box;
    for (const Layer* layer : document.topLayers()) {
        HostRect r;
        if (!document.bounds(layer->group(), &r)) continue;
        box.left = std::min(box.left, std::min(r.left, r.right));
        box.right = std::max(box.right, std::max(r.left, r.right));
        box.top = std::max(box.top, std::max(r.top, r.bottom));
        box.bottom = std::min(box.bottom, std::min(r.top, r.bottom));
    }
    const double margin = 4;
    if (box.left < board.left) box.left -= margin;
    if (box.right > board.right) box.right += margin;
    if (box.top > board.top) box.top += margin;
    if (box.bottom < board.bottom) box.bottom -= margin;
    return box;
}

// The exported drawing with its root's size and viewBox set to `box`.
std::string Widened(std::string svg, const HostRect& box) {
    const size_t root = svg.find("<svg ");
    const size_t end = root == std::string::npos ? root : svg.find('>', root);
    if (end == std::string::npos) return svg;
    const auto number = [](double v) {
        char text[40];
        std::snprintf(text, sizeof text, "%.6g", v);
        return std::string(text);
    };
    std::string tag = svg.substr(root, end - root);
    const auto set = [&](const std::string& name, const std::string& value) {
        const std::string key = " " + name + "=\"";
        const size_t at = tag.find(key);
        if (at == std::string::npos) return;
        const size_t close = tag.find('"', at + key.size());
        if (close != std::string::npos) tag.replace(at + key.size(), close - at - key.size(), value);
    };
    const double width = box.right - box.left, height = box.top - box.bottom;
    set("width", number(width) + "pt");
    set("height", number(height) + "pt");
    set("viewBox", number(box.left) + " " + number(-box.top) + " " + number(width) + " " + number(height));
    return svg.replace(root, end - root, tag);
}

// Which document, at which revision, a drawing shows.
uint64_t DrawingKey(const Document* document) {
    return document ? (document->openSerial << 32) ^ document->revision() : 0;
}

bool Flag(const json& input, const char* key) {
    const auto it = input.find(key);
    return it != input.end() && it->is_boolean() && it->get<bool>();
}

}  // namespace

// A request waiting for its answer from the user-interface thread.
struct Workbench::Pending {
    std::promise<Reply> promise;
    std::once_flag once;
    void Answer(Reply reply) {
        std::call_once(once, [&] { promise.set_value(std::move(reply)); });
    }
};

Workbench::Workbench(host::Host& host, RootFolder root)
    : host_(host), root_(std::move(root)), dialogUser_(queue_, [this](HWND) {
          Publish(false);
          ReleaseInputs();
      }) {
    host::User& user = host_.user();
    user.asker = [this](const std::string& question) -> std::optional<bool> { return AskUser("question", question); };
    user.onAlert = [this](const std::string& text) { AskUser("alert", text); };
    user.onProgress = [this](const std::string& text, int32_t value, int32_t maximum) {
        OnProgressReport(text, value, maximum);
    };
    user.onCancelCheck = [this] { OnCancelCheck(); };
    win32::SetDialogUser(&dialogUser_);
    // The stand-in opens nothing: the page says where a button would go.
    win32::OnShellRequest([this](const win32::ShellRequest& request) { shellFile_ = request.file; });
}

Workbench::~Workbench() {
    win32::SetDialogUser(nullptr);
    win32::OnShellRequest(nullptr);
    host::User& user = host_.user();
    user.asker = nullptr;
    user.onAlert = nullptr;
    user.onProgress = nullptr;
    user.onCancelCheck = nullptr;
}

// ---------------------------------------------------------------- threads

void Workbench::Run() {
    Publish(true);
    while (!queue_.closed()) queue_.RunNext(std::chrono::milliseconds(250));
}

void Workbench::Stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    queue_.Close();
    changed_.notify_all();
}

Reply Workbench::Call(std::function<Reply()> work) {
    auto pending = std::make_shared<Pending>();
    std::future<Reply> answer = pending->promise.get_future();
    queue_.Push([this, pending, work = std::move(work)] {
        runningInputs_.push_back(pending);
        Reply reply;
        try {
            reply = work();
        } catch (const std::exception& e) {
            reply = Refuse(400, "bad-input", e.what());
        }
        runningInputs_.pop_back();
        Publish(running_.empty() && !box_);
        reply.version = PublishedVersion();
        pending->Answer(std::move(reply));
    });
    // The queue may close first; the work is then dropped unanswered.
    while (answer.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready) {
        std::lock_guard lock(mutex_);
        if (stopped_) return Refuse(503, "shutting-down", "the workbench is shutting down");
    }
    return answer.get();
}

void Workbench::ReleaseInputs() {
    Reply released;
    released.version = PublishedVersion();
    for (const auto& pending : runningInputs_) pending->Answer(released);
}

uint64_t Workbench::PublishedVersion() {
    std::lock_guard lock(mutex_);
    return version_;
}

Reply Workbench::Input(const json& input) {
    if (!input.is_object() || !input.contains("do") || !input["do"].is_string())
        return Refuse(400, "bad-input", "an input is a JSON object with \"do\"");
    return Call([this, input] { return Dispatch(input); });
}

std::string Workbench::State(uint64_t after, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    // A request may come before the user-interface thread has published its
    // first state: it waits for that one however short its own wait.
    const auto limit = version_ == 0 ? std::max(wait, std::chrono::milliseconds(10000)) : wait;
    changed_.wait_for(lock, limit, [&] { return (version_ > after && version_ > 0) || stopped_; });
    if (state_.empty()) return "{}";
    return state_;
}

std::shared_ptr<Drawing> Workbench::CurrentDrawing() {
    std::lock_guard lock(mutex_);
    return drawing_;
}

// ---------------------------------------------------------------- state

std::string Workbench::FolderOf(const Document& document) const {
    // An uploaded document has no folder: its images are looked for at the
    // root.
    if (document.filePath.empty()) return {};
    const fs::path folder = fs::path(document.filePath).parent_path();
    std::error_code ec;
    const fs::path resolved = fs::weakly_canonical(folder, ec);
    if (ec) return {};
    const std::string relative = root_.Relative(resolved);
    return relative == "." ? std::string() : relative;
}

std::string Workbench::TitleOf(const Document* document) const {
    if (!document) return {};
    if (auto it = titles_.find(document->openSerial); it != titles_.end()) return it->second;
    if (!document->filePath.empty()) return fs::path(document->filePath).filename().string();
    return "untitled";
}

bool Workbench::CanUndo() const {
    const Document* document = host_.document();
    return host_.undo().canUndo() && document && host_.undo().document() == document->openSerial;
}

Refusal Workbench::Busy() const {
    if (box_) return AnswerFirst();
    if (!win32::OpenDialogs().empty()) return {"dialog-open", "a dialog is open", {}};
    if (!running_.empty()) return {"running", "\"" + running_ + "\" is running", running_};
    return {};
}

Refusal Workbench::AnswerFirst() const { return {"answer-first", "answer the " + box_->kind + " first", box_->kind}; }

json Workbench::StateJson(bool idle) {
    json state;
    Document* document = host_.document();
    json documents = json::array();
    for (size_t i = 0; i < host_.documents().count(); ++i)
        documents.push_back({{"title", TitleOf(host_.documents().at(i))},
                             {"current", i == host_.documents().currentIndex()},
                             {"modified", modified_.count(host_.documents().at(i)->openSerial)
                                              ? modified_[host_.documents().at(i)->openSerial]
                                              : false}});
    state["documents"] = documents;
    if (document) {
        const HostRect& a = document->artboard;
        json layers = json::array();
        for (Layer* layer : document->allLayers())
            layers.push_back({{"title", layer->title},
                              {"depth", Depth(*document, layer)},
                              {"visible", layer->visible},
                              {"locked", !layer->editable},
                              {"current", layer == document->currentLayer()}});
        json selection = json::array();
        for (const Layer* layer : document->topLayers()) SelectionBounds(*document, layer, selection);
        state["document"] = {
            {"title", TitleOf(document)},
            {"svg", drawing_ ? drawing_->id : std::string()},
            {"drawingBox", drawing_
                               ? json{drawing_->box.left, drawing_->box.top, drawing_->box.right - drawing_->box.left,
                                      drawing_->box.top - drawing_->box.bottom}
                               : json(nullptr)},
            {"artboard",
             {std::min(a.left, a.right), std::max(a.top, a.bottom), std::fabs(a.right - a.left),
              std::fabs(a.top - a.bottom)}},
            {"layers", layers},
            {"selection", selection},
        };
    } else {
        state["document"] = nullptr;
    }
    if (idle) host_.UpdateMenus();
    const auto order = MenuOrder(host_.menus());
    json menus = json::array();
    std::string currentMenu;
    for (const auto& group : host_.menus().groups()) {
        if (group->parentItem || group->items.empty()) continue;
        if (menus.empty() || group->menu != currentMenu) {
            currentMenu = group->menu;
            menus.push_back({{"menu", currentMenu}, {"items", json::array()}});
        }
        json& items = menus.back()["items"];
        if (!items.empty()) items.push_back({{"separator", true}});
        for (auto& item : MenuItems(*group, order)) items.push_back(std::move(item));
    }
    state["menus"] = menus;
    state["undo"] = CanUndo() ? json(host_.undo().command()) : json(nullptr);
    state["running"] = running_;
    // A notice about opening or saving a document is shown while that
    // document is the current one only.
    const bool aboutAnother = (notice_ == "opened" || notice_ == "saved") && noticeDetails_.is_object() &&
                              noticeDetails_.value("name", std::string()) != TitleOf(document);
    state["notice"] = aboutAnother ? std::string() : notice_;
    state["noticeDetails"] = noticeDetails_.is_null() || aboutAnother ? json::object() : noticeDetails_;
    // An answered box is gone for the page, though the host has not yet
    // left its wait.
    state["box"] = box_ && !box_->answered ? json{{"kind", box_->kind}, {"text", box_->text}} : json(nullptr);
    const host::User& user = host_.user();
    if (user.progressOpen() || !running_.empty()) {
        const ProgressSeen& seen = progressSeen_;
        const auto now = std::chrono::steady_clock::now();
        const auto ms = [&](auto since) {
            return std::chrono::duration_cast<std::chrono::milliseconds>(now - since).count();
        };
        state["progress"] = {{"text", user.progressText()},       {"value", user.progressValue()},
                             {"maximum", user.progressMaximum()}, {"cancelling", cancelRequested_},
                             {"elapsed", ms(seen.commandStart)},  {"steady", ms(seen.since)},
                             {"steadyChecks", seen.steadyChecks}};
    } else {
        state["progress"] = nullptr;
    }
    json dialogs = json::array();
    for (HWND dialog : win32::OpenDialogs()) dialogs.push_back(DescribeWindow(dialog));
    state["dialogs"] = dialogs;
    json panels = json::array();
    for (const host::PanelEntry& entry : host::LivePanels()) {
        json window = DescribeWindow(entry.panel->window);
        if (window.is_null()) continue;
        window["title"] = win32::Narrow(entry.panel->title);
        window["shown"] = IsWindowVisible(entry.panel->window) != 0;
        window["resizable"] = entry.panel->resizable;
        panels.push_back(std::move(window));
    }
    state["panels"] = panels;
    state["dark"] = host_.theme().isDark();
    state["shell"] = shellFile_;
    return state;
}

void Workbench::Publish(bool idle) {
    std::shared_ptr<Drawing> drawing;
    if (idle) {
        Document* document = host_.document();
        const uint64_t key = DrawingKey(document);
        if (key != svgKey_ || svgStale_) {
            svgKey_ = key;
            svgStale_ = false;
            drawing = std::make_shared<Drawing>();
            if (document) {
                drawing->box = DrawingBox(*document);
                drawing->svg = InlinePlacedImages(Widened(host::WriteSvgDocument(*document), drawing->box), root_,
                                                  FolderOf(*document));
            }
            // Named by its bytes: a drawing the page has had before (after
            // an undo, or a command that changed nothing) is not sent again.
            char id[40];
            std::snprintf(id, sizeof id, "%016zx-%zx", std::hash<std::string>{}(drawing->svg), drawing->svg.size());
            drawing->id = id;
            std::lock_guard lock(mutex_);
            if (drawing_ && drawing_->id == drawing->id) drawing.reset();
        }
    }
    {
        // The state names the drawing: it is in place before the state is.
        std::lock_guard lock(mutex_);
        if (drawing) drawing_ = std::move(drawing);
    }
    // A document is modified while its drawing differs from the one it had
    // when it was opened or last saved.
    if (Document* document = host_.document(); idle && document && drawing_) {
        const uint64_t serial = document->openSerial;
        if (savedPending_.erase(serial)) savedIds_[serial] = drawing_->id;
        modified_[serial] = savedIds_.count(serial) && savedIds_[serial] != drawing_->id;
    }
    json state = StateJson(idle);
    {
        std::lock_guard lock(mutex_);
        state["version"] = ++version_;
        state_ = state.dump();
    }
    changed_.notify_all();
}

// ---------------------------------------------------------------- the user

bool Workbench::AskUser(const std::string& kind, const std::string& text) {
    Box box{kind, text};
    Box* outer = box_;
    box_ = &box;
    Publish(false);
    ReleaseInputs();
    while (!box.answered && !queue_.closed()) queue_.RunNext(std::chrono::milliseconds(250));
    box_ = outer;
    Publish(false);
    return box.answered && box.yes;
}

void Workbench::OnProgressReport(const std::string& text, int32_t value, int32_t maximum) {
    ProgressSeen& seen = progressSeen_;
    const bool moved = value != seen.value || maximum != seen.maximum;
    // A new text is published with the value that comes with it: a
    // plug-in sets the text of a step, then its value ("node 0/60000",
    // then 0 of 60000), and the text alone would stand beside the last
    // step's share ("60 %").
    seen.textAhead = !moved && text != seen.text;
    seen.text = text;
    if (moved) {
        seen.value = value;
        seen.maximum = maximum;
        seen.steadyChecks = 0;
        seen.since = std::chrono::steady_clock::now();
    }
    if (seen.textAhead) {
        ReleaseInputs();
        queue_.RunWaiting();
        return;
    }
    OnProgress();
}

void Workbench::OnProgress() {
    ReleaseInputs();
    // A cancel pressed meanwhile is heard at this check.
    queue_.RunWaiting();
    const auto now = std::chrono::steady_clock::now();
    if (now - lastProgressPublish_ < std::chrono::milliseconds(100)) return;
    lastProgressPublish_ = now;
    Publish(false);
}

void Workbench::OnCancelCheck() {
    // Called before the check is counted: this is check number
    // cancelChecks() - checksBeforeCommand_ + 1 of the running command.
    if (holdAtCheck_ != 0 && host_.user().cancelChecks() - checksBeforeCommand_ + 1 == holdAtCheck_) {
        Publish(false);
        ReleaseInputs();
        while (!cancelRequested_ && !queue_.closed()) queue_.RunNext(std::chrono::milliseconds(250));
    }
    ++progressSeen_.steadyChecks;
    progressSeen_.textAhead = false;
    OnProgress();
}

// ---------------------------------------------------------------- inputs

Reply Workbench::Dispatch(const json& input) {
    const std::string what = input["do"];
    const Refusal busy = Busy();
    // What may be done while a box, a dialog or a command holds the host.
    if (what == "answer") {
        if (!box_ || box_->answered) return Refuse(409, "nothing-to-answer", "there is no alert or question to answer");
        box_->answered = true;
        box_->yes = Flag(input, "yes");
        return {};
    }
    if (what == "cancel") {
        if (running_.empty()) return Refuse(409, "not-running", "no command is running");
        cancelRequested_ = true;
        host_.user().CancelAtCheck(1);
        return {};
    }
    if (what == "dialog") return AtDialog(input);
    if (what == "file") return ChooseFile(input);
    if (!busy.reason.empty()) return Refuse(409, busy);

    if (what == "menu") return ChooseMenu(input);
    if (what == "panel") return AtPanel(input);
    if (what == "theme") {
        host_.theme().SetBrightness(Flag(input, "dark") ? 0.25 : 0.75);
        return {};
    }
    if (what == "open") {
        Refusal why;
        if (!OpenFile(Text(input, "path"), &why)) return Refuse(400, why);
        return {};
    }
    if (what == "switch") {
        const int index = Integer(input, "index");
        if (index < 0 || !host_.documents().Switch(static_cast<size_t>(index)))
            return Refuse(400, "bad-input", "there is no such document");
        Say("");
        return {};
    }
    if (what == "close") return Close(input);
    if (what == "save") return Save(input);
    if (what == "undo") {
        // The page offers the undo in the document it belongs to only.
        if (host_.undo().canUndo() && !CanUndo())
            return Refuse(409, "undo-elsewhere", "the last command changed another document");
        std::string error;
        const std::string command = host_.undo().command();
        const bool drawn = undoDrawing_ && undoDrawingGeneration_ == host_.undo().generation();
        if (!host_.undo().Undo(&error)) return Refuse(409, "undo-failed", error, command);
        Say("undone", {{"command", command}});
        if (drawn) {
            std::lock_guard lock(mutex_);
            drawing_ = undoDrawing_;
            svgKey_ = DrawingKey(host_.document());
        } else {
            svgStale_ = true;
        }
        undoDrawing_.reset();
        return {};
    }
    if (what == "select" || what == "drag" || what == "layer" || what == "deselect") {
        if (!host_.document()) return Refuse(409, "no-document", "no document is open");
        if (what == "deselect") {
            host_.document()->deselectAll();
            host_.notifications().Notify(kNotifierArtSelectionChanged);
            return {};
        }
        if (what == "layer") return SetLayer(input);
        return SelectAt(input);
    }
    return Refuse(400, "bad-input", "unknown input \"" + what + "\"");
}

Reply Workbench::ChooseMenu(const json& input) {
    const auto order = MenuOrder(host_.menus());
    const int id = Integer(input, "id");
    if (id < 0 || id >= static_cast<int>(order.size())) return Refuse(400, "bad-input", "there is no such menu item");
    MenuItem* item = order[static_cast<size_t>(id)];
    if (input.contains("text") && Text(input, "text") != item->text)
        return Refuse(409, "menus-changed", "the menus have changed; try again");
    host_.UpdateMenus();
    if (item->submenu || item->isSeparator())
        return Refuse(400, "not-command", "\"" + item->text + "\" is not a command", item->text);
    if (!item->enabled) return Refuse(409, "item-disabled", "\"" + item->text + "\" is disabled here", item->text);
    // The middle of what the user is looking at: where the plug-in puts
    // what it draws.
    if (input.contains("view") && host_.document()) {
        const json& view = input["view"];
        host_.document()->viewCenter = HostPoint{Number(view, "x"), Number(view, "y")};
    }
    // The request is answered as soon as the command is under way; the
    // command runs as the next input, and the page follows it, its dialogs
    // and its questions through the state.
    running_ = item->text;
    cancelRequested_ = false;
    written_.clear();
    shellFile_.clear();
    Say("");
    Reply started;
    started.body = "{\"started\":true}";
    queue_.Push([this, item] {
        checksBeforeCommand_ = host_.user().cancelChecks();
        progressSeen_ = {};
        progressSeen_.commandStart = progressSeen_.since = std::chrono::steady_clock::now();
        // The drawing of the document as the command finds it: what an undo
        // of this command puts back, so it need not be written again.
        const uint64_t generation = host_.undo().generation();
        const Document* document = host_.document();
        const bool drawn = document && !svgStale_ && svgKey_ == DrawingKey(document);
        std::shared_ptr<Drawing> before = drawn ? drawing_ : nullptr;
        const HostErr result = host_.ChooseMenuItem(item);
        if (host_.undo().generation() != generation) {
            undoDrawing_ = std::move(before);
            undoDrawingGeneration_ = host_.undo().generation();
        }
        host_.user().CancelAtCheck(0);
        if (result == HOST_FOURCC('S', 'T', 'O', 'P'))
            Say("cancelled", {{"command", item->text}});
        else if (result != 0)
            Say("failed", {{"command", item->text}, {"code", CodeText(result)}});
        // A file the command chose in a save dialog, and wrote.
        else if (!written_.empty() && fs::exists(root_.path() / written_))
            Say("wrote", {{"name", written_}});
        else
            Say("");
        written_.clear();
        running_.clear();
        cancelRequested_ = false;
        svgStale_ = true;
        Publish(true);
    });
    return started;
}

Reply Workbench::SelectAt(const json& input) {
    Document& document = *host_.document();
    const bool extend = Flag(input, "extend");
    if (input["do"] == "select") {
        const HostPoint p{Number(input, "x"), Number(input, "y")};
        const double tolerance = input.contains("tolerance") ? std::clamp(Number(input, "tolerance"), 0.0, 1e6) : 2.0;
        ApplyClick(document, HitObject(document, p, tolerance), extend);
    } else {
        const HostRect r{Number(input, "left"), Number(input, "top"), Number(input, "right"), Number(input, "bottom")};
        ApplyDrag(document, ObjectsInRect(document, r), extend);
    }
    host_.notifications().Notify(kNotifierArtSelectionChanged);
    return {};
}

Reply Workbench::SetLayer(const json& input) {
    Document& document = *host_.document();
    const auto layers = document.allLayers();
    const int index = Integer(input, "index");
    if (index < 0 || index >= static_cast<int>(layers.size()))
        return Refuse(400, "bad-input", "there is no such layer");
    Layer* layer = layers[static_cast<size_t>(index)];
    if (input.contains("visible")) layer->visible = Flag(input, "visible");
    if (input.contains("locked")) layer->editable = !Flag(input, "locked");
    if (Flag(input, "current")) {
        if (HostErr err = document.setCurrentLayer(layer))
            return Refuse(409, "layer-not-current", "the layer cannot be made current: code " + CodeText(err),
                          layer->title);
    }
    document.touch(layer->group());
    svgStale_ = true;
    host_.notifications().Notify(kNotifierDocumentChanged);
    return {};
}

Reply Workbench::AtDialog(const json& input) {
    const auto open = win32::OpenDialogs();
    if (box_) return Refuse(409, AnswerFirst());
    HWND window = HandleFrom(Text(input, "window"));
    // Modal: while a dialog is open only the innermost one takes input;
    // otherwise the panels that are shown do.
    HWND top = nullptr;
    if (!open.empty()) {
        top = open.back();
    } else if (running_.empty()) {
        for (const host::PanelEntry& entry : host::LivePanels())
            if (window && IsWindowVisible(entry.panel->window) && IsWithin(window, entry.panel->window))
                top = entry.panel->window;
    }
    if (!window || !top || !IsWithin(window, top))
        return open.empty() ? Refuse(409, "no-input-now", "that window takes no input now")
                            : Refuse(409, "not-in-front", "that dialog is not the one in front");
    const std::string action = Text(input, "action");
    // A panel's controls have no ids of their own: the page names them by
    // their handles.
    HWND control = nullptr;
    if (input.contains("control")) {
        control = HandleFrom(Text(input, "control"));
        if (!control || control == window || !IsWithin(control, window))
            return Refuse(400, "bad-input", "there is no such control");
        if (!win32::EffectivelyVisible(control)) return Refuse(409, "control-hidden", "that control is hidden");
        if (!win32::EffectivelyEnabled(control)) return Refuse(409, "control-disabled", "that control is disabled");
    }
    std::string error;
    if (action == "click" && control) {
        SendMessageW(control, WM_LBUTTONDOWN, 0, 0);
        if (IsWindow(control)) SendMessageW(control, WM_LBUTTONUP, 0, 0);
    } else if (action == "click")
        error = win32::UserClick(window, Integer(input, "id"));
    else if (action == "focus") {
        // A click into a text field takes the focus and selects what it
        // holds, so that typing replaces it.
        const int id = Integer(input, "id");
        error = win32::UserFocus(window, id);
        HWND field = GetDlgItem(window, id);
        if (error.empty() && field && GetFocus() == field) SendMessageW(field, EM_SETSEL, 0, -1);
    } else if (action == "select")
        error = win32::UserSelect(window, Integer(input, "id"), Integer(input, "row"));
    else if (action == "clear")
        error = win32::UserClear(window, Integer(input, "id"));
    else if (action == "char") {
        // One keystroke into the field: a click into it first when it has
        // not the focus, then the character as the keyboard sends it.
        const int id = Integer(input, "id");
        HWND field = GetDlgItem(window, id);
        if (!field) return Refuse(400, "bad-input", "there is no control " + std::to_string(id));
        if (!open.empty() && !win32::DialogKind(open.back()).empty() && id == kFileNameField)
            return Refuse(400, "choose-from-list", "choose the file from the root folder's list");
        const std::u16string text = win32::Widen(Text(input, "text"));
        if (text.size() != 1) return Refuse(400, "bad-input", "a keystroke is one character");
        if (GetFocus() != field) error = win32::UserFocus(window, id);
        // Where the page's caret stood when the key was pressed: the user
        // may have moved it with the arrows or the mouse since.
        if (error.empty() && input.contains("selection")) {
            const json& at = input["selection"];
            if (!at.is_array() || at.size() != 2 || !at[0].is_number_unsigned() || !at[1].is_number_unsigned())
                return Refuse(400, "bad-input", "a selection is two positions");
            SendMessageW(field, EM_SETSEL, static_cast<WPARAM>(std::min<uint64_t>(at[0].get<uint64_t>(), 0x7FFFFFFF)),
                         static_cast<LPARAM>(std::min<uint64_t>(at[1].get<uint64_t>(), 0x7FFFFFFF)));
        }
        if (error.empty()) SendMessageW(field, WM_CHAR, text[0], 1);
    } else if (action == "tree") {
        HWND tree = control ? control : GetDlgItem(window, Integer(input, "id"));
        const std::string part = Text(input, "part");
        const UINT where = part == "button"   ? TVHT_ONITEMBUTTON
                           : part == "indent" ? TVHT_ONITEMINDENT
                           : part == "icon"   ? TVHT_ONITEMICON
                                              : TVHT_ONITEMLABEL;
        HTREEITEM item = tree ? FindTreeItem(tree, Text(input, "item")) : nullptr;
        if (!item) return Refuse(400, "bad-input", "there is no such tree item");
        error = win32::UserClickTreeItem(tree, item, where);
    } else if (open.empty()) {
        return Refuse(400, "bad-input", "unknown action \"" + action + "\" at a panel");
    } else if (action == "tab")
        win32::UserLeave(open.back(), Flag(input, "back"));
    else if (action == "enter")
        win32::UserEnter(open.back());
    else if (action == "escape")
        win32::UserEscape(open.back());
    else if (action == "close")
        win32::UserClose(open.back());
    else
        return Refuse(400, "bad-input", "unknown dialog action \"" + action + "\"");
    if (!error.empty()) return Refuse(409, "control-refused", error);
    return {};
}

Reply Workbench::ChooseFile(const json& input) {
    const auto open = win32::OpenDialogs();
    if (open.empty() || win32::DialogKind(open.back()).empty())
        return Refuse(409, "no-file-dialog", "no file dialog is open");
    if (box_) return Refuse(409, AnswerFirst());
    const bool save = win32::DialogKind(open.back()) == "save";
    fs::path full;
    Refusal why;
    const std::string relative = Text(input, "path");
    if (!(save ? root_.Writable(relative, &full, &why) : root_.Existing(relative, &full, &why)))
        return Refuse(400, why);
    const std::string error = win32::UserChooseFile(open.back(), win32::Widen(full.string()));
    if (!error.empty()) return Refuse(409, "control-refused", error);
    if (save) written_ = root_.Relative(full);
    return {};
}

Reply Workbench::AtPanel(const json& input) {
    const std::string title = Text(input, "panel");
    const host::PanelEntry entry = host::FindPanel(title);
    if (!entry.panel) return Refuse(400, "bad-input", "there is no panel \"" + title + "\"");
    if (input.contains("width") || input.contains("height")) {
        if (!entry.panel->resizable)
            return Refuse(409, "panel-fixed", "the panel \"" + title + "\" cannot be resized", title);
        if (!IsWindowVisible(entry.panel->window))
            return Refuse(409, "panel-hidden", "the panel \"" + title + "\" is not shown", title);
        host::UserResizePanel(entry.handle, Number(input, "width"), Number(input, "height"));
        return {};
    }
    const bool show = Flag(input, "show");
    if (show)
        host::UserShowPanel(entry.handle);
    else
        host::UserClosePanel(entry.handle);
    return {};
}

// ---------------------------------------------------------------- files

bool Workbench::OpenFile(const std::string& relative, Refusal* why) {
    fs::path full;
    if (!root_.Existing(relative, &full, why)) return false;
    if (!host::IsReadableDocumentPath(full.string())) {
        *why = {"not-document", "\"" + relative + "\" is not a document (.svg, .json or a GIS file)", relative};
        return false;
    }
    // A file already open is shown, not opened a second time.
    for (size_t i = 0; i < host_.documents().count(); ++i) {
        const Document* open = host_.documents().at(i);
        std::error_code ec;
        if (!open->filePath.empty() && fs::equivalent(open->filePath, full, ec)) {
            host_.documents().Switch(i);
            Say("");
            return true;
        }
    }
    std::string error;
    auto document = host::ReadDocumentFile(full.string(), {}, &error);
    if (!document) {
        *why = {"read-failed", error, relative};
        return false;
    }
    host_.OpenDocument(std::move(document));
    titles_[host_.document()->openSerial] = root_.Relative(full);
    Opened(root_.Relative(full));
    return true;
}

void Workbench::Say(const std::string& what, json details) {
    notice_ = what;
    noticeDetails_ = std::move(details);
}

void Workbench::Opened(const std::string& title) {
    Say("opened", {{"name", title}});
    savedPending_.insert(host_.document()->openSerial);
    svgStale_ = true;
}

bool Workbench::IsOpen(uint64_t openSerial) {
    for (size_t i = 0; i < host_.documents().count(); ++i)
        if (host_.documents().at(i)->openSerial == openSerial) return true;
    return false;
}

Reply Workbench::Close(const json& input) {
    if (input.contains("index")) {
        const int index = Integer(input, "index");
        if (index < 0 || !host_.documents().at(static_cast<size_t>(index)))
            return Refuse(400, "bad-input", "there is no such document");
        const Document* target = host_.documents().at(static_cast<size_t>(index));
        if (modified_.count(target->openSerial) && modified_[target->openSerial] && !Flag(input, "discard"))
            return Refuse(409, "unsaved", "\"" + TitleOf(target) + "\" has unsaved changes", TitleOf(target));
        host_.documents().Switch(static_cast<size_t>(index));
    } else if (!host_.document()) {
        return Refuse(409, "no-document", "no document is open");
    } else if (modified_[host_.document()->openSerial] && !Flag(input, "discard")) {
        return Refuse(409, "unsaved", "\"" + TitleOf(host_.document()) + "\" has unsaved changes",
                      TitleOf(host_.document()));
    }
    const std::string title = TitleOf(host_.document());
    const uint64_t serial = host_.document()->openSerial;
    host_.documents().Close();
    titles_.erase(serial);
    modified_.erase(serial);
    savedIds_.erase(serial);
    Say("closed", {{"name", title}});
    svgStale_ = true;
    return {};
}

Reply Workbench::Save(const json& input) {
    Document* document = host_.document();
    if (!document) return Refuse(409, "no-document", "no document is open");
    // Whatever becomes of this save, an earlier one's notice is stale.
    Say("");
    const std::string relative = Text(input, "path");
    fs::path full;
    Refusal why;
    if (!root_.Writable(relative, &full, &why)) return Refuse(400, why);
    if (!host::IsDocumentPath(full.string()))
        return Refuse(400, "save-format", "\"" + relative + "\": save as .svg, .json or a GIS format", relative);
    std::error_code ec;
    if (fs::exists(full, ec) && !Flag(input, "replace"))
        return Refuse(409, "exists", "\"" + relative + "\" exists; replace it?", relative);
    std::string error;
    if (!host::WriteDocumentFile(*document, full.string(), &error)) return Refuse(500, "write-failed", error, relative);
    Say("saved", {{"name", root_.Relative(full)}});
    // Saved under another name, the document is that file from now on.
    document->filePath = full.string();
    titles_[document->openSerial] = root_.Relative(full);
    savedPending_.insert(document->openSerial);
    return {};
}

Reply Workbench::Upload(const std::string& name, std::string bytes) {
    const std::string lower = [&] {
        std::string s = name;
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }();
    const bool svg = lower.size() > 4 && lower.ends_with(".svg");
    const bool json = lower.size() > 5 && lower.ends_with(".json");
    const bool gis = host::IsGisInputPath(lower);
    if (!svg && !json && !gis)
        return Refuse(400, "upload-kind", "upload an .svg or a .json document, or a GIS file (a Shapefile as a .zip)",
                      name);
    return Call([this, name, svg, gis, bytes = std::move(bytes)]() -> Reply {
        if (const Refusal busy = Busy(); !busy.reason.empty()) return Refuse(409, busy);
        std::string error;
        auto document = gis   ? host::ReadGisBytes(name, bytes, {}, &error)
                        : svg ? host::ReadSvgDocument(bytes, {}, &error)
                              : host::ReadJsonDocument(bytes, &error);
        if (!document) return Refuse(400, "read-failed", gis ? error : name + ": " + error, name);
        host_.OpenDocument(std::move(document));
        // Two documents uploaded under one name are told apart.
        const std::string base = fs::path(name).filename().string();
        std::string title = base;
        for (int n = 2; std::any_of(titles_.begin(), titles_.end(),
                                    [&](const auto& t) { return t.second == title && IsOpen(t.first); });
             ++n)
            title = base + " (" + std::to_string(n) + ")";
        titles_[host_.document()->openSerial] = title;
        Opened(title);
        return {};
    });
}

Reply Workbench::Download(const std::string& format) {
    if (format != "svg" && format != "json") return Refuse(400, "bad-input", "download as svg or json");
    return Call([this, format]() -> Reply {
        const Document* document = host_.document();
        if (!document) return Refuse(409, "no-document", "no document is open");
        Reply reply;
        reply.body = format == "svg" ? host::WriteSvgDocument(*document) : host::WriteJsonDocument(*document);
        reply.type = format == "svg" ? "image/svg+xml; charset=utf-8" : "application/json; charset=utf-8";
        reply.filename = fs::path(TitleOf(document)).stem().string() + "." + format;
        return reply;
    });
}

}  // namespace orbalis::workbench
