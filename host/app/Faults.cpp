#include "host/app/Faults.h"

#include <charconv>
#include <new>
#include <stdexcept>

namespace orbalis::host {

std::map<std::string, FaultPoint>& Faults::Points() {
    // std::map never moves its elements, so references handed out stay valid.
    static std::map<std::string, FaultPoint> points;
    return points;
}

void FaultPoint::rearm() {
    if (Faults::logging)
        heedFrom = 0;
    else if (failAt == 0 || (!repeat && calls >= failAt))
        heedFrom = kNever;
    else
        heedFrom = failAt;
}

HostErr FaultPoint::heed() {
    if (Faults::logging) Faults::LogCall(name);
    if (failAt == 0 || calls < failAt || (!repeat && calls != failAt)) return 0;
    // A single fault is spent: the calls after it need counting only.
    if (!repeat) rearm();
    if (kind != FaultKind::Code) ThrowFault(kind);
    return code;
}

FaultPoint& Faults::Point(const char* name) {
    auto [it, inserted] = Points().try_emplace(name);
    if (inserted) {
        it->second.name = it->first.c_str();
        it->second.rearm();
    }
    return it->second;
}

void Faults::FailOperation(const std::string& operation, uint64_t nth, HostErr code, bool repeat) {
    FaultPoint& point = Point(operation.c_str());
    point.failAt = nth ? point.calls + nth : 0;
    point.code = code;
    point.repeat = repeat;
    point.kind = FaultKind::Code;
    point.rearm();
}

void Faults::ThrowInOperation(const std::string& operation, uint64_t nth, FaultKind kind) {
    FailOperation(operation, nth, 0);
    Point(operation.c_str()).kind = kind;
}

void Faults::RearmAll() {
    for (auto& [name, point] : Points()) point.rearm();
}

void ThrowFault(FaultKind kind) {
    if (kind == FaultKind::OutOfMemory) throw std::bad_alloc();
    throw std::runtime_error("injected failure");
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

std::vector<std::string>& Faults::Log() {
    static std::vector<std::string> log;
    return log;
}

void Faults::LogCall(const char* name) {
    if (logging) Log().emplace_back(name);
}

void Faults::KeepCallLog() {
    Log().clear();
    logging = true;
    RearmAll();
}

const std::vector<std::string>& Faults::CallLog() { return Log(); }

void Faults::DetailLastCall(const char* detail) {
    if (logging && !Log().empty() && detail) Log().back().append(" ").append(detail);
}

void Faults::Reset() {
    logging = false;
    Log().clear();
    for (auto& [name, point] : Points()) {
        point.calls = 0;
        point.failAt = 0;
        point.code = 0;
        point.repeat = false;
        point.kind = FaultKind::Code;
        point.rearm();
    }
}

bool Faults::ParseSpec(const std::string& text, Spec* spec, std::string* error) {
    const size_t first = text.find(':');
    const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (first == std::string::npos || first == 0) {
        *error = "\"" + text + "\" is not OPERATION:N[:CODE]";
        return false;
    }
    Spec parsed;
    parsed.operation = text.substr(0, first);
    const std::string nth =
        text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    auto [end, ec] = std::from_chars(nth.data(), nth.data() + nth.size(), parsed.nth);
    if (ec != std::errc() || end != nth.data() + nth.size() || parsed.nth == 0) {
        *error = "the call number in \"" + text + "\" is not a whole number from 1";
        return false;
    }
    parsed.code = HOST_FOURCC('F', 'A', 'I', 'L');
    if (second != std::string::npos) {
        const std::string code = text.substr(second + 1);
        int32_t number = 0;
        auto [codeEnd, codeEc] = std::from_chars(code.data(), code.data() + code.size(), number);
        if (codeEc == std::errc() && codeEnd == code.data() + code.size() && number != 0) {
            parsed.code = number;
        } else if (code.size() == 4) {
            parsed.code = HOST_FOURCC(code[0], code[1], code[2], code[3]);
        } else {
            *error = "the code in \"" + text + "\" is neither four characters nor a number other than 0";
            return false;
        }
    }
    *spec = std::move(parsed);
    return true;
}

}  // namespace orbalis::host
