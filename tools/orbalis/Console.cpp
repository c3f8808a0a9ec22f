#include "tools/orbalis/Console.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>

namespace orbalis::tools {
namespace {

bool gBarDrawn = false;

std::string Bar(int32_t current, int32_t maximum) {
    // Without a total there is no fraction to show: the count of steps so far.
    if (maximum <= 0) return "[" + std::to_string(current) + "]";
    constexpr int kWidth = 30;
    const double fraction = maximum > 0 ? std::min(1.0, std::max(0.0, double(current) / double(maximum))) : 0.0;
    const int filled = static_cast<int>(fraction * kWidth + 0.5);
    std::string bar = "[";
    for (int i = 0; i < kWidth; ++i) bar += i < filled ? "#" : "-";
    bar += "] ";
    bar += std::to_string(static_cast<int>(fraction * 100 + 0.5)) + "%";
    return bar;
}

std::optional<bool> AskAtTerminal(const std::string& question) {
    for (;;) {
        FinishProgress();
        std::cerr << question << " [y/n] " << std::flush;
        std::string line;
        if (!std::getline(std::cin, line)) return std::nullopt;
        if (line == "y" || line == "Y" || line == "yes") return true;
        if (line == "n" || line == "N" || line == "no") return false;
    }
}

}  // namespace

void FinishProgress() {
    if (gBarDrawn) std::fputs("\n", stderr);
    gBarDrawn = false;
}

void AttachConsole(host::User& user, Answers answers) {
    const bool interactive = isatty(STDIN_FILENO);
    auto remaining = std::make_shared<Answers>(std::move(answers));
    user.asker = [remaining, interactive](const std::string& question) -> std::optional<bool> {
        std::optional<bool> answer;
        if (!remaining->sequence.empty()) {
            answer = remaining->sequence.front();
            remaining->sequence.pop_front();
        } else if (remaining->all) {
            answer = remaining->all;
        } else if (interactive) {
            return AskAtTerminal(question);
        }
        FinishProgress();
        if (answer)
            std::cerr << "question: " << question << " -> " << (*answer ? "yes" : "no") << "\n";
        else
            std::cerr << "question: " << question << " -> no (no answer given)\n";
        return answer;
    };
    user.onAlert = [](const std::string& message) {
        FinishProgress();
        std::cerr << "alert: " << message << "\n";
    };
    if (isatty(STDERR_FILENO)) {
        user.onProgress = [last = std::chrono::steady_clock::time_point{}](const std::string& text, int32_t current,
                                                                           int32_t maximum) mutable {
            const auto now = std::chrono::steady_clock::now();
            if (now - last < std::chrono::milliseconds(100) && (maximum <= 0 || current < maximum)) return;
            last = now;
            std::fprintf(stderr, "\r\033[K%s %s", Bar(current, maximum).c_str(), text.c_str());
            std::fflush(stderr);
            gBarDrawn = true;
        };
    }
}

}  // namespace orbalis::tools
