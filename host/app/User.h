// The host's user: alerts and questions with a transcript, scripted answers,
// and the progress display with a scripted cancel.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sdk/HostTypes.h"

namespace orbalis::host {

class User {
public:
    struct Entry {
        enum class Kind { Alert, Question };
        Kind kind;
        std::string text;  // UTF-8, exactly as the plug-in gave it
        bool yes = false;  // a question's answer
    };

    // ---- Configuration.
    // Answers for the next questions, in order.
    void QueueAnswers(std::initializer_list<bool> answers) { answers_.insert(answers_.end(), answers); }
    void QueueAnswer(bool yes) { answers_.push_back(yes); }
    size_t pendingAnswers() const { return answers_.size(); }
    // Asked when no scripted answer is left; nullopt means the question was
    // not answered (treated as no and recorded as unscripted).
    std::function<std::optional<bool>(const std::string& question)> asker;
    // Told about every alert as it is shown.
    std::function<void(const std::string& message)> onAlert;
    // Told about every progress change.
    std::function<void(const std::string& text, int32_t current, int32_t maximum)> onProgress;
    // Told before every cancel check, so that a user who can press a cancel
    // button is heard while a command runs.
    std::function<void()> onCancelCheck;
    // The n-th cancel check from now reports cancel, and every one after it.
    void CancelAtCheck(uint64_t nth) { cancelAt_ = nth ? cancelChecks_ + nth : 0; }

    // ---- What happened.
    const std::vector<Entry>& transcript() const { return transcript_; }
    std::vector<std::string> alerts() const;
    std::vector<std::string> questions() const;
    const std::vector<std::string>& unscriptedQuestions() const { return unscripted_; }
    const std::string& progressText() const { return progressText_; }
    int32_t progressValue() const { return progressValue_; }
    int32_t progressMaximum() const { return progressMaximum_; }
    // Progress texts in the order shown (consecutive repeats once; the first
    // ten thousand).
    const std::vector<std::string>& progressTexts() const { return progressTexts_; }
    uint64_t cancelChecks() const { return cancelChecks_; }
    bool progressOpen() const { return progressOpen_; }
    void ClearTranscript();

    // ---- Used by the host's suites.
    void Alert(const std::string& text);
    bool Ask(const std::string& text);
    void SetProgressText(const std::string& text);
    void UpdateProgress(int32_t current, int32_t maximum);
    bool Cancelled();
    void CloseProgress();

private:
    static constexpr size_t kProgressTextsKept = 10000;
    std::deque<bool> answers_;
    std::vector<Entry> transcript_;
    std::vector<std::string> unscripted_;
    std::string progressText_;
    std::vector<std::string> progressTexts_;
    int32_t progressValue_ = 0;
    int32_t progressMaximum_ = 0;
    uint64_t cancelChecks_ = 0;
    uint64_t cancelAt_ = 0;
    bool progressOpen_ = false;
};

}  // namespace orbalis::host
