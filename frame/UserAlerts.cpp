#include "frame/UserAlerts.h"

#include "frame/HostSuites.h"
#include "frame/UnicodeString.h"

namespace orbalis {

HostErr ShowAlert(std::string_view message) { return sUser->MessageAlert(ai::UnicodeString(message).handle()); }

HostErr AskQuestion(std::string_view message, bool* yes) {
    int32_t answer = kHostAnswerNo;
    const HostErr err = sUser->QuestionAlert(ai::UnicodeString(message).handle(), &answer);
    *yes = err == 0 && answer == kHostAnswerYes;
    return err;
}

HostErr SetProgressText(std::string_view text) { return sUser->SetProgressText(ai::UnicodeString(text).handle()); }

HostErr UpdateProgress(int32_t current, int32_t maximum) { return sUser->UpdateProgress(current, maximum); }

HostErr CheckCancel() {
    HostBool cancelled = 0;
    if (HostErr err = sUser->IsProgressCancelled(&cancelled)) return err;
    return cancelled ? kCanceled : 0;
}

}  // namespace orbalis
