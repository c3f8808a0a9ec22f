// The notifiers plug-ins add, and the notifications the host sends them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/app/PluginLoader.h"

namespace orbalis::host {

struct Notifier {
    LoadedPlugin* owner;
    std::string name;
    std::string type;
};

class Notifiers {
public:
    explicit Notifiers(PluginLoader& loader) : loader_(loader) {}

    HostErr Add(LoadedPlugin* owner, const std::string& name, const std::string& type, Notifier** out);
    // Tells every started plug-in with a notifier of this type; returns the
    // first non-zero code.
    HostErr Notify(const std::string& type);
    const std::vector<std::unique_ptr<Notifier>>& all() const { return notifiers_; }

private:
    PluginLoader& loader_;
    std::vector<std::unique_ptr<Notifier>> notifiers_;
};

}  // namespace orbalis::host
