// Thin owners of the text engine's reference-counted objects. Constructing
// one from a reference that a suite call has just returned takes that
// reference over; copying adds a reference; destruction releases it.
#pragma once

#include <exception>
#include <utility>

#include "sdk/suites/TextEngineSuites.h"

namespace ATE {

class Exception : public std::exception {
public:
    explicit Exception(HostErr code) : code(code) {}
    const char* what() const noexcept override { return "text engine error"; }
    HostErr code;
};

inline void Check(HostErr code) {
    if (code) throw Exception(code);
}

// `SuitePointer` is the address of the process-wide pointer of the object's
// suite, so that the wrapper uses whatever table is held at the time.
template <const HostTextEngineSuite* const* SuitePointer>
class Ref {
public:
    Ref() = default;
    explicit Ref(HostTextRef adopted) : ref_(adopted) {}
    Ref(const Ref& other) : ref_(other.ref_) {
        if (ref_) Check((*SuitePointer)->AddRef(ref_));
    }
    Ref& operator=(const Ref& other) {
        Ref copy(other);
        std::swap(ref_, copy.ref_);
        return *this;
    }
    Ref(Ref&& other) noexcept : ref_(std::exchange(other.ref_, nullptr)) {}
    Ref& operator=(Ref&& other) noexcept {
        std::swap(ref_, other.ref_);
        return *this;
    }
    ~Ref() {
        if (ref_ && *SuitePointer) (*SuitePointer)->Release(ref_);
    }

    HostTextRef get() const { return ref_; }
    bool isNull() const { return ref_ == nullptr; }

private:
    HostTextRef ref_ = nullptr;
};

}  // namespace ATE

#include "frame/HostSuites.h"

namespace ATE {

using ITextRange = Ref<&orbalis::sATETextRange>;
using ITextFrame = Ref<&orbalis::sATETextFrame>;
using IStory = Ref<&orbalis::sATEStory>;
using ICharFeatures = Ref<&orbalis::sATECharFeatures>;
using ITextRunsIterator = Ref<&orbalis::sATETextRunsIterator>;

}  // namespace ATE
