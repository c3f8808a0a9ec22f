#include "host/app/Notifiers.h"

#include "sdk/HostErrors.h"

namespace orbalis::host {

HostErr Notifiers::Add(LoadedPlugin* owner, const std::string& name, const std::string& type, Notifier** out) {
    if (!owner || name.empty() || type.empty()) return kHostBadParameterErr;
    notifiers_.push_back(std::make_unique<Notifier>(Notifier{owner, name, type}));
    if (out) *out = notifiers_.back().get();
    return 0;
}

HostErr Notifiers::Notify(const std::string& type) {
    HostErr first = 0;
    // Notification handlers may add notifiers; walk by index.
    for (size_t i = 0; i < notifiers_.size(); ++i) {
        Notifier* n = notifiers_[i].get();
        if (n->type != type || !n->owner->started()) continue;
        HostNotifierMessage message{};
        message.notifier = reinterpret_cast<HostNotifier>(n);
        message.type = n->type.c_str();
        const HostErr err = loader_.Send(*n->owner, kCallerNotifier, kSelectorNotify, &message.d);
        if (err && !first) first = err;
    }
    return first;
}

}  // namespace orbalis::host
