#include "host/app/Faults.h"

namespace orbalis::host {

std::map<std::string, FaultPoint>& Faults::Points() {
    // std::map never moves its elements, so references handed out stay valid.
    static std::map<std::string, FaultPoint> points;
    return points;
}

FaultPoint& Faults::Point(const char* name) {
    auto [it, inserted] = Points().try_emplace(name);
    if (inserted) it->second.name = it->first.c_str();
    return it->second;
}

void Faults::FailOperation(const std::string& operation, uint64_t nth, HostErr code, bool repeat) {
    FaultPoint& point = Point(operation.c_str());
    point.failAt = nth ? point.calls + nth : 0;
    point.code = code;
    point.repeat = repeat;
}

void Faults::FailAcquire(const std::string& suite, uint64_t nth, HostErr code) {
    FailOperation("Acquire:" + suite, nth, code);
}

HostErr Faults::CheckAcquire(const char* suite) {
    const HostErr any = Point("Acquire:*").hit();
    const HostErr named = Point(("Acquire:" + std::string(suite)).c_str()).hit();
    return any ? any : named;
}

uint64_t Faults::Calls(const std::string& operation) {
    auto it = Points().find(operation);
    return it == Points().end() ? 0 : it->second.calls;
}

std::vector<std::pair<std::string, uint64_t>> Faults::AllCalls() {
    std::vector<std::pair<std::string, uint64_t>> out;
    for (const auto& [name, point] : Points())
        if (point.calls) out.emplace_back(name, point.calls);
    return out;
}

bool& Faults::Logging() {
    static bool logging = false;
    return logging;
}

std::vector<std::string>& Faults::Log() {
    static std::vector<std::string> log;
    return log;
}

void LogCall(const char* name) {
    if (Faults::Logging()) Faults::Log().emplace_back(name);
}

void Faults::KeepCallLog() {
    Log().clear();
    Logging() = true;
}

const std::vector<std::string>& Faults::CallLog() { return Log(); }

void Faults::DetailLastCall(const char* detail) {
    if (Logging() && !Log().empty() && detail) Log().back().append(" ").append(detail);
}

void Faults::Reset() {
    Logging() = false;
    Log().clear();
    for (auto& [name, point] : Points()) {
        point.calls = 0;
        point.failAt = 0;
        point.code = 0;
        point.repeat = false;
    }
}

}  // namespace orbalis::host
