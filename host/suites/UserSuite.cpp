#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

HostErr MessageAlert(HostString message) {
    HOST_OPERATION("MessageAlert");
    StringObject* text = StringOf(message);
    if (!text) return kHostBadParameterErr;
    Host::Current().user().Alert(ToUtf8(*text));
    return 0;
}

HostErr QuestionAlert(HostString message, int32_t* answer) {
    HOST_OPERATION("QuestionAlert");
    StringObject* text = StringOf(message);
    if (!text || !answer) return kHostBadParameterErr;
    *answer = Host::Current().user().Ask(ToUtf8(*text)) ? kHostAnswerYes : kHostAnswerNo;
    return 0;
}

HostErr SetProgressText(HostString text) {
    HOST_OPERATION("SetProgressText");
    StringObject* s = StringOf(text);
    if (!s) return kHostBadParameterErr;
    Host::Current().user().SetProgressText(ToUtf8(*s));
    return 0;
}

HostErr UpdateProgress(int32_t current, int32_t maximum) {
    HOST_OPERATION("UpdateProgress");
    Host::Current().user().UpdateProgress(current, maximum);
    return 0;
}

HostErr IsProgressCancelled(HostBool* cancelled) {
    HOST_OPERATION("IsProgressCancelled");
    if (!cancelled) return kHostBadParameterErr;
    *cancelled = Host::Current().user().Cancelled() ? 1 : 0;
    return 0;
}

HostErr CloseProgress() {
    HOST_OPERATION("CloseProgress");
    Host::Current().user().CloseProgress();
    return 0;
}

}  // namespace

const HostUserSuite& UserSuite() {
    static const HostUserSuite suite{MessageAlert,        QuestionAlert,  SetProgressText,
                                     UpdateProgress,      IsProgressCancelled, CloseProgress};
    return suite;
}

}  // namespace orbalis::host
