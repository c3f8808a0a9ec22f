#include "tests/sweep/Sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

#include "host/app/CodeText.h"
#include "host/app/Faults.h"
#include "host/app/PanelUser.h"
#include "host/io/JsonDocument.h"
#include "host/suites/SuiteTables.h"
#include "host/win32/Driver.h"
#include "host/win32/Handles.h"
#include "sdk/HostMessages.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::testing::sweep {
namespace {

using host::CodeText;
using handles::HandleKind;
using host::HostKind;
// Live objects by kind number.
constexpr size_t kKinds = HandleKind::kMaxKinds + 1;
size_t Number(const HandleKind& kind) { return kind.number(); }

// Everything that must be no more after a run than before it.
struct Alive {
    std::array<int, kKinds> handles{};
    std::map<std::string, int> suites;
    int layers = 0;

    static Alive Now(host::Host& host) {
        Alive a;
        for (const HandleKind* kind : HandleKind::All()) a.handles[kind->number()] = handles::Handles().Live(*kind);
        for (const auto& [name, held] : host.heldSuites)
            if (held) a.suites[name] = held;
        a.layers = host.document() ? static_cast<int>(host.document()->allLayers().size()) : 0;
        return a;
    }
};

// The kind of host object an operation gives back to the host: when it
// fails, that one object stays alive, which is the host's doing.
const HandleKind* ReleasedKind(const std::string& operation) {
    if (operation == "TextEngineRelease") return &HostKind::TextEngineRef;
    if (operation == "DisposeArtSet") return &HostKind::ArtSet;
    if (operation == "DisposeString") return &HostKind::String;
    if (operation == "DisposeFilePath") return &HostKind::FilePath;
    return nullptr;
}

bool TextEngineOperation(const std::string& operation) {
    return operation.starts_with("ATE") || operation == "TextEngineAddRef";
}

Outcome DefaultOutcome(const std::string& operation) {
    // Giving an object back cannot fail the command that gives it: holders
    // release in their destructors and ignore the code.
    if (ReleasedKind(operation) || operation == "PopAppContext") return Outcome::Same;
    if (TextEngineOperation(operation)) return Outcome::Cant;
    // The art set holder's At never fails: it gives null, which the next
    // host call refuses.
    if (operation == "IndexArtSet") return Outcome::Failed;
    // The settings store ignores every failure of the preference store; the
    // settings are those of the dialog either way.
    if (operation.ends_with("Preference")) return Outcome::Same;
    return Outcome::Code;
}

struct RunResult {
    HostErr code = 0;
    std::string seen;
    bool toldFailure = false;
    std::vector<std::pair<std::string, uint64_t>> calls;
    int layersAfter = 0;
};

class Sweeper {
public:
    explicit Sweeper(const Scenario& scenario) : s_(scenario) {}

    SweepCount Run() {
        SweepCount count;
        count.scenario = s_.name;
        const auto started = std::chrono::steady_clock::now();
        Start();
        if (::testing::Test::HasFatalFailure()) return count;

        const RunResult clean = RunOnce("", 0, 0, s_.name + ": clean run");
        ++count.runs;
        EXPECT_EQ(clean.code, 0) << s_.name << ": the clean run ended with " << CodeText(clean.code);
        EXPECT_FALSE(clean.calls.empty()) << s_.name << ": the clean run called no host operation";
        cleanLayers_ = clean.layersAfter;

        for (const auto& [operation, calls] : clean.calls) {
            ++count.operations;
            std::vector<HostErr> codes{kInjected};
            if (TextEngineOperation(operation)) codes.push_back(kTextEngineFailure);
            for (uint64_t n = 1; n <= calls; ++n) {
                ++count.failurePoints;
                for (HostErr code : codes) {
                    const std::string where = s_.name + ": " + operation + " failing at call " + std::to_string(n) +
                                              " of " + std::to_string(calls) + " with " + CodeText(code);
                    const RunResult failed = RunOnce(operation, n, code, where);
                    ++count.runs;
                    Judge(operation, n, code, clean, failed, where);
                }
            }
        }
        // After every failure the plug-in still works as before.
        const RunResult after = RunOnce("", 0, 0, s_.name + ": clean run after the sweep");
        ++count.runs;
        EXPECT_EQ(CodeText(after.code), CodeText(clean.code)) << s_.name << ": the clean run after the sweep";
        EXPECT_EQ(after.calls, clean.calls) << s_.name << ": the clean run after the sweep calls the host differently";
        EXPECT_EQ(after.seen, clean.seen) << s_.name << ": the clean run after the sweep ends differently";
        Stop();
        count.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return count;
    }

private:
    void Start() {
        host::Faults::Reset();
        windowsAtStart_ = win32::LiveWindows();
        textEngineAtStart_ = host::LiveTextEngineObjects();
        host_ = std::make_unique<host::Host>();
        host_->OpenDocument(NewDocument());
        std::string error;
        plugin_ = host_->loader().Load(ORBALIS_PLUGIN_DEFAULT_PATH, &error);
        ASSERT_NE(plugin_, nullptr) << error;
        ASSERT_EQ(host_->StartPlugins(), 0);
        host_->user().asker = [this](const std::string& question) -> std::optional<bool> {
            auto it = s_.answers.find(question);
            return it == s_.answers.end() ? true : it->second;
        };
    }

    void Stop() {
        host_->ShutdownPlugins();
        EXPECT_EQ(host_->liveStrings, leaked_[Number(HostKind::String)])
            << s_.name << ": host strings left after shutdown";
        EXPECT_EQ(host_->liveArtSets, leaked_[Number(HostKind::ArtSet)]) << s_.name << ": art sets left after shutdown";
        EXPECT_EQ(host_->liveFilePaths, leaked_[Number(HostKind::FilePath)])
            << s_.name << ": file paths left after shutdown";
        EXPECT_EQ(host_->handles.live(HostKind::Panel), 0) << s_.name << ": panels left after shutdown";
        for (const auto& [name, held] : host_->heldSuites)
            EXPECT_EQ(held, 0) << s_.name << ": suite " << name << " still held after shutdown";
        host_.reset();
        EXPECT_EQ(win32::LiveWindows(), windowsAtStart_) << s_.name << ": windows left after shutdown";
        EXPECT_EQ(win32::LiveGdiObjects(), 0) << s_.name << ": GDI objects left after shutdown";
        EXPECT_EQ(host::LiveTextEngineObjects(), textEngineAtStart_ + leaked_[Number(HostKind::TextEngineRef)])
            << s_.name << ": text-engine objects left after shutdown";
        host::Faults::Reset();
    }

    // A fresh copy of the scenario's document, made current.
    void FreshDocument() {
        host::Layer* layer = nullptr;
        auto document = NewDocument(&layer);
        if (s_.build) s_.build(*document, layer);
        host_->documents().Close();
        host_->OpenDocument(std::move(document));
    }

    RunResult RunOnce(const std::string& operation, uint64_t nth, HostErr code, const std::string& where) {
        RunResult result;
        const bool clean = operation.empty();
        FreshDocument();
        host_->preferences().reset();
        if (s_.prepare) s_.prepare();
        host_->user().ClearTranscript();
        if (!s_.panelSetup.empty()) {
            win32::ScriptedUser setup;
            AddSteps(setup, s_.panelSetup);
            host::PlayPanelSteps(*host_, setup);
            for (const std::string& e : setup.errors()) ADD_FAILURE() << where << ": panel set-up: " << e;
        }
        if (s_.arrange) s_.arrange(*host_);
        win32::ScriptedUser ui;
        AddSteps(ui, s_.item.empty() ? s_.panelSteps : s_.ui);
        win32::SetDialogUser(&ui);
        const Alive before = Alive::Now(*host_);

        host::Faults::Reset();
        if (!clean) host::Faults::FailOperation(operation, nth, code);
        if (!s_.item.empty()) {
            result.code = Choose();
        } else if (s_.hostAction) {
            s_.hostAction(*host_);
        } else {
            host::PlayPanelSteps(*host_, ui);
        }
        if (clean) result.calls = host::Faults::AllCalls();
        host::Faults::Reset();
        win32::SetDialogUser(nullptr);

        result.seen = s_.seen ? s_.seen(*host_) : host::WriteJsonDocument(*host_->document());
        if (s_.toldFailure) result.toldFailure = s_.toldFailure(*host_);
        if (clean) {
            for (const std::string& e : ui.errors()) ADD_FAILURE() << where << ": ui: " << e;
            if (result.code)
                for (const std::string& alert : host_->user().alerts()) ADD_FAILURE() << where << ": alert " << alert;
            EXPECT_EQ(ui.pendingSteps(), 0u) << where << ": ui steps left unused";
        }
        const Alive after = Alive::Now(*host_);
        result.layersAfter = after.layers;
        ExpectNothingLeft(operation, before, after, where);
        return result;
    }

    HostErr Choose() {
        auto items = host_->menus().FindItems(s_.item);
        EXPECT_EQ(items.size(), 1u) << s_.item;
        if (items.size() != 1) return kHostNotFoundErr;
        host::MenuItem* item = items.front();
        host_->menus().UpdateEnabling(host_->document());
        EXPECT_TRUE(item->enabled) << s_.item << " is disabled";
        // As the host chooses an item, without the notifications after it:
        // those are the panels' work, not the command's.
        HostMenuMessage message{};
        message.menuItem = reinterpret_cast<HostMenuItem>(item);
        const HostErr code = host_->loader().Send(*item->owner, kCallerMenu, kSelectorGo, &message.d);
        host_->user().CloseProgress();
        return code;
    }

    static void AddSteps(win32::ScriptedUser& user, const std::string& script) {
        std::vector<win32::UiStep> steps;
        std::string error;
        ASSERT_TRUE(win32::ParseUiScript(script, &steps, &error)) << error;
        user.Add(std::move(steps));
    }

    void ExpectNothingLeft(const std::string& operation, const Alive& before, const Alive& after,
                           const std::string& where) {
        const HandleKind* released = ReleasedKind(operation);
        for (const HandleKind* kind : HandleKind::All()) {
            // Resources found in the library stay loaded with it, as on
            // Windows; art and layers are the document's contents, which a
            // command may add to (the layer check below keeps the scratch
            // layers apart).
            if (kind == &win32::Kind::Module || kind == &win32::Kind::Resource || kind == &host::Art::kKind ||
                kind == &host::Layer::kKind)
                continue;
            const size_t k = kind->number();
            const int allowed = before.handles[k] + (released == kind ? 1 : 0);
            if (released == kind && after.handles[k] > before.handles[k]) ++leaked_[k];
            EXPECT_LE(after.handles[k], allowed) << where << ": " << kind->name() << " objects left behind ("
                                                 << before.handles[k] << " before, " << after.handles[k] << " after)";
        }
        EXPECT_EQ(after.suites, before.suites) << where << ": suites acquired and not released";
        EXPECT_TRUE(win32::OpenDialogs().empty()) << where << ": a dialog left open";
        if (operation == "PopAppContext" && host_->contextStack.size() == 1) {
            host_->contextStack.clear();  // the host's own failure to pop
        } else {
            EXPECT_TRUE(host_->contextStack.empty()) << where << ": application context left pushed";
        }
        // A scratch layer whose deletion the host refused stays, by the host's doing.
        if (!operation.empty() && operation != "DeleteLayer") {
            EXPECT_LE(after.layers, std::max(before.layers, cleanLayers_))
                << where << ": a layer left behind that the clean run does not leave";
        }
    }

    void Judge(const std::string& operation, uint64_t n, HostErr code, const RunResult& clean, const RunResult& failed,
               const std::string& where) {
        auto rule = s_.rules.find(operation + "#" + std::to_string(n));
        if (rule == s_.rules.end()) rule = s_.rules.find(operation);
        Outcome outcome = rule != s_.rules.end() ? rule->second : DefaultOutcome(operation);
        if (rule == s_.rules.end() && s_.otherwise && (outcome == Outcome::Code || outcome == Outcome::Cant))
            outcome = *s_.otherwise;
        if (s_.item.empty()) {
            // A panel action: what the user sees tells how it ended.
            switch (outcome) {
            case Outcome::Code:
                EXPECT_TRUE(failed.toldFailure) << where << ": the failure is not shown; seen: " << failed.seen;
                break;
            case Outcome::Clean:
            case Outcome::Same:
                EXPECT_FALSE(failed.toldFailure) << where << ": an ignored failure is shown";
                EXPECT_EQ(failed.seen, clean.seen) << where << ": an ignored failure changed the outcome";
                break;
            default: break;
            }
            return;
        }
        HostErr expected = code;
        if (outcome == Outcome::Cant) expected = kCant;
        if (outcome == Outcome::Clean || outcome == Outcome::Same) expected = clean.code;
        if (outcome == Outcome::Same && failed.seen != clean.seen)
            ADD_FAILURE() << where << ": the document differs from the clean run's";
        bool allowed = failed.code == expected;
        switch (outcome) {
        case Outcome::Either: allowed = failed.code == code || failed.code == clean.code; break;
        case Outcome::Failed: allowed = failed.code != 0; break;
        case Outcome::Quiet: allowed = failed.code == clean.code || failed.code == kStop; break;
        case Outcome::Any:
            allowed = failed.code == code || failed.code == clean.code ||
                      std::find(s_.ownCodes.begin(), s_.ownCodes.end(), failed.code) != s_.ownCodes.end();
            break;
        default: break;
        }
        if (!allowed)
            ADD_FAILURE() << where << ": ended with " << CodeText(failed.code) << ", not " << CodeText(expected);
    }

    const Scenario& s_;
    std::unique_ptr<host::Host> host_;
    host::LoadedPlugin* plugin_ = nullptr;
    int windowsAtStart_ = 0;
    int textEngineAtStart_ = 0;
    // Objects the host kept because giving them back was made to fail.
    std::array<int, kKinds> leaked_{};
    int cleanLayers_ = 0;
};

}  // namespace

SweepCount RunSweep(const Scenario& scenario) {
    SweepCount count = Sweeper(scenario).Run();
    Counts().push_back(count);
    std::printf("sweep: %-44s %3d operations %5llu failure points %5llu runs %6.1f s\n", scenario.name.c_str(),
                count.operations, static_cast<unsigned long long>(count.failurePoints),
                static_cast<unsigned long long>(count.runs), count.seconds);
    std::fflush(stdout);
    return count;
}

std::vector<SweepCount>& Counts() {
    static std::vector<SweepCount> counts;
    return counts;
}

namespace {

// Writes the table of counts at the end of the program when asked to.
class Report : public ::testing::Environment {
public:
    void TearDown() override {
        const char* path = std::getenv("ORBALIS_SWEEP_REPORT");
        if (!path || !*path) return;
        std::ofstream out(path, std::ios::binary);
        out << "| action | operations | failure points | runs | seconds |\n|---|---:|---:|---:|---:|\n";
        SweepCount total;
        for (const SweepCount& c : Counts()) {
            out << "| " << c.scenario << " | " << c.operations << " | " << c.failurePoints << " | " << c.runs << " | "
                << Seconds(c.seconds) << " |\n";
            total.operations += c.operations;
            total.failurePoints += c.failurePoints;
            total.runs += c.runs;
            total.seconds += c.seconds;
        }
        out << "| **all " << Counts().size() << "** | " << total.operations << " | " << total.failurePoints << " | "
            << total.runs << " | " << Seconds(total.seconds) << " |\n";
    }

private:
    static std::string Seconds(double s) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", s);
        return text;
    }
};

[[maybe_unused]] ::testing::Environment* const report = ::testing::AddGlobalTestEnvironment(new Report);

}  // namespace

}  // namespace orbalis::testing::sweep
