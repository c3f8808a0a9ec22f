#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

User& TheUser() { return Host::Current().user(); }

HostErr MessageAlert(StringObject& message) {
    TheUser().Alert(ToUtf8(message));
    return 0;
}

HostErr QuestionAlert(StringObject& message, int32_t& answer) {
    answer = TheUser().Ask(ToUtf8(message)) ? kHostAnswerYes : kHostAnswerNo;
    return 0;
}

HostErr SetProgressText(StringObject& text) {
    TheUser().SetProgressText(ToUtf8(text));
    return 0;
}

HostErr UpdateProgress(int32_t current, int32_t maximum) {
    TheUser().UpdateProgress(current, maximum);
    return 0;
}

HostErr IsProgressCancelled(HostBool& cancelled) {
    cancelled = TheUser().Cancelled() ? 1 : 0;
    return 0;
}

HostErr CloseProgress() {
    TheUser().CloseProgress();
    return 0;
}

}  // namespace

const HostUserSuite& UserSuite() {
    return SuiteTable<HostUserSuite, MessageAlert, QuestionAlert, SetProgressText, UpdateProgress, IsProgressCancelled,
                      CloseProgress>;
}

}  // namespace orbalis::host
