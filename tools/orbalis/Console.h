// The host's user at a terminal: alerts on stderr, questions asked at the
// terminal or answered from the command line, and a progress bar.
#pragma once

#include <deque>
#include <optional>
#include <string>

#include "host/app/User.h"

namespace orbalis::tools {

struct Answers {
    std::deque<bool> sequence;  // --answer, one per question in order
    std::optional<bool> all;    // --yes / --no, for every other question
};

// Wires `user` to the terminal.
void AttachConsole(host::User& user, Answers answers);

// Ends the progress bar's line, if one was drawn.
void FinishProgress();

}  // namespace orbalis::tools
