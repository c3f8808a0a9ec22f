#include "host/app/User.h"

namespace orbalis::host {

std::vector<std::string> User::alerts() const {
    std::vector<std::string> out;
    for (const Entry& e : transcript_)
        if (e.kind == Entry::Kind::Alert) out.push_back(e.text);
    return out;
}

std::vector<std::string> User::questions() const {
    std::vector<std::string> out;
    for (const Entry& e : transcript_)
        if (e.kind == Entry::Kind::Question) out.push_back(e.text);
    return out;
}

void User::ClearTranscript() {
    transcript_.clear();
    unscripted_.clear();
    progressTexts_.clear();
}

void User::Alert(const std::string& text) {
    transcript_.push_back({Entry::Kind::Alert, text, false});
    if (onAlert) onAlert(text);
}

bool User::Ask(const std::string& text) {
    bool yes = false;
    if (!answers_.empty()) {
        yes = answers_.front();
        answers_.pop_front();
    } else if (auto answer = asker ? asker(text) : std::nullopt) {
        yes = *answer;
    } else {
        unscripted_.push_back(text);
    }
    transcript_.push_back({Entry::Kind::Question, text, yes});
    return yes;
}

void User::SetProgressText(const std::string& text) {
    progressOpen_ = true;
    if (text == progressText_ && !progressTexts_.empty()) return;
    progressText_ = text;
    // A long search may change its text millions of times; keep the start.
    if (progressTexts_.size() < kProgressTextsKept) progressTexts_.push_back(text);
    if (onProgress) onProgress(progressText_, progressValue_, progressMaximum_);
}

void User::UpdateProgress(int32_t current, int32_t maximum) {
    progressOpen_ = true;
    if (current == progressValue_ && maximum == progressMaximum_) return;
    progressValue_ = current;
    progressMaximum_ = maximum;
    if (onProgress) onProgress(progressText_, progressValue_, progressMaximum_);
}

bool User::Cancelled() {
    if (onCancelCheck) onCancelCheck();
    ++cancelChecks_;
    return cancelAt_ != 0 && cancelChecks_ >= cancelAt_;
}

void User::CloseProgress() {
    progressOpen_ = false;
    progressText_.clear();
    progressValue_ = progressMaximum_ = 0;
}

}  // namespace orbalis::host
