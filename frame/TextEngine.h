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

#include <string>
#include <vector>

#include "frame/HostSuites.h"

namespace ATE {

// The full table of an object's suite, whose head is the reference counting.
template <typename Suite, const HostTextEngineSuite* const* SuitePointer>
const Suite& TableOf() {
    return *reinterpret_cast<const Suite*>(*SuitePointer);
}

// Reads UTF-8 text that a suite hands out into a buffer of the caller's.
template <typename Read>
std::string ReadText(Read read) {
    int32_t needed = 0;
    Check(read(nullptr, 0, &needed));
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    Check(read(buffer.data(), static_cast<int32_t>(buffer.size()), &needed));
    return std::string(buffer.data());
}

class ICharFeatures : public Ref<&orbalis::sATECharFeatures> {
public:
    using Ref::Ref;
    // A set with nothing assigned.
    static ICharFeatures New();
    ICharFeatures Clone() const;

    // Each getter sets *assigned (when given) and returns the value, or 0
    // (an empty name) when it is not assigned.
    std::string GetFont(bool* assigned = nullptr) const;
    void SetFont(const std::string& name);
    double GetFontSize(bool* assigned = nullptr) const;
    void SetFontSize(double size);
    double GetHorizontalScale(bool* assigned = nullptr) const;
    void SetHorizontalScale(double scale);
    double GetVerticalScale(bool* assigned = nullptr) const;
    void SetVerticalScale(double scale);
    double GetCharacterRotation(bool* assigned = nullptr) const;
    void SetCharacterRotation(double degrees);

    // The features' fill and stroke paint over `base`, and back.
    HostPathStyle GetPathStyle(const HostPathStyle& base) const;
    void SetPathStyle(const HostPathStyle& style);

private:
    static const HostATECharFeaturesSuite& Suite() {
        return TableOf<HostATECharFeaturesSuite, &orbalis::sATECharFeatures>();
    }
};

class IParaFeatures : public Ref<&orbalis::sATEParaFeatures> {
public:
    using Ref::Ref;
    static IParaFeatures New();
    // kHostJustifyLeft, Right or Center; Left when not assigned.
    int32_t GetJustification(bool* assigned = nullptr) const;
    void SetJustification(int32_t justification);

private:
    static const HostATEParaFeaturesSuite& Suite() {
        return TableOf<HostATEParaFeaturesSuite, &orbalis::sATEParaFeatures>();
    }
};

class IStory;
class ITextRunsIterator;

class ITextRange : public Ref<&orbalis::sATETextRange> {
public:
    using Ref::Ref;
    int32_t GetStart() const;
    int32_t GetEnd() const;
    int32_t GetSize() const;
    std::string GetContents() const;
    IStory GetStory() const;
    ITextRunsIterator GetTextRuns() const;
    ICharFeatures GetUniqueCharFeatures() const;
    void SetLocalCharFeatures(const ICharFeatures& features);
    IParaFeatures GetUniqueParaFeatures() const;
    void SetLocalParaFeatures(const IParaFeatures& features);
    void InsertAfter(const std::string& utf8);

private:
    static const HostATETextRangeSuite& Suite() { return TableOf<HostATETextRangeSuite, &orbalis::sATETextRange>(); }
};

class ITextRunsIterator : public Ref<&orbalis::sATETextRunsIterator> {
public:
    using Ref::Ref;
    bool IsDone() const;
    void Next();
    ITextRange Item() const;

private:
    static const HostATETextRunsIteratorSuite& Suite() {
        return TableOf<HostATETextRunsIteratorSuite, &orbalis::sATETextRunsIterator>();
    }
};

class IStory : public Ref<&orbalis::sATEStory> {
public:
    using Ref::Ref;
    ITextRange GetTextRange() const;
    int32_t GetSize() const;

private:
    static const HostATEStorySuite& Suite() { return TableOf<HostATEStorySuite, &orbalis::sATEStory>(); }
};

class ITextFrame : public Ref<&orbalis::sATETextFrame> {
public:
    using Ref::Ref;
    // In the text engine's space, the page mirrored (y down).
    HostMatrix GetMatrix() const;
    int32_t GetType() const;
    int32_t GetLineOrientation() const;
    ITextRange GetTextRange(bool includeOverflow = true) const;
    IStory GetStory() const;

private:
    static const HostATETextFrameSuite& Suite() { return TableOf<HostATETextFrameSuite, &orbalis::sATETextFrame>(); }
};

// ---------------------------------------------------------------- inline definitions

namespace detail {

template <typename Get>
double Real(Get get, bool* assigned) {
    HostBool isAssigned = 0;
    double value = 0;
    Check(get(&isAssigned, &value));
    if (assigned) *assigned = isAssigned != 0;
    return isAssigned ? value : 0;
}

template <typename Wrapper, typename Call>
Wrapper Adopt(Call call) {
    HostTextRef ref = nullptr;
    Check(call(&ref));
    return Wrapper(ref);
}

}  // namespace detail

inline ICharFeatures ICharFeatures::New() {
    return detail::Adopt<ICharFeatures>([](HostTextRef* r) { return Suite().Initialize(r); });
}
inline ICharFeatures ICharFeatures::Clone() const {
    return detail::Adopt<ICharFeatures>([&](HostTextRef* r) { return Suite().Clone(get(), r); });
}
inline std::string ICharFeatures::GetFont(bool* assigned) const {
    HostBool isAssigned = 0;
    std::string name = ReadText([&](char* buffer, int32_t size, int32_t* needed) {
        return Suite().GetFont(get(), &isAssigned, buffer, size, needed);
    });
    if (assigned) *assigned = isAssigned != 0;
    return name;
}
inline void ICharFeatures::SetFont(const std::string& name) { Check(Suite().SetFont(get(), name.c_str())); }

#define ORBALIS_ATE_CHAR_REAL(Name)                                                                            \
    inline double ICharFeatures::Get##Name(bool* assigned) const {                                             \
        return detail::Real([&](HostBool* a, double* v) { return Suite().Get##Name(get(), a, v); }, assigned); \
    }                                                                                                          \
    inline void ICharFeatures::Set##Name(double value) { Check(Suite().Set##Name(get(), value)); }
ORBALIS_ATE_CHAR_REAL(FontSize)
ORBALIS_ATE_CHAR_REAL(HorizontalScale)
ORBALIS_ATE_CHAR_REAL(VerticalScale)
ORBALIS_ATE_CHAR_REAL(CharacterRotation)
#undef ORBALIS_ATE_CHAR_REAL

inline HostPathStyle ICharFeatures::GetPathStyle(const HostPathStyle& base) const {
    HostPathStyle style = base;
    Check(orbalis::sATEPaint->GetPathStyle(get(), &style));
    return style;
}
inline void ICharFeatures::SetPathStyle(const HostPathStyle& style) {
    Check(orbalis::sATEPaint->SetPathStyle(get(), &style));
}

inline IParaFeatures IParaFeatures::New() {
    return detail::Adopt<IParaFeatures>([](HostTextRef* r) { return Suite().Initialize(r); });
}
inline int32_t IParaFeatures::GetJustification(bool* assigned) const {
    HostBool isAssigned = 0;
    int32_t value = kHostJustifyLeft;
    Check(Suite().GetJustification(get(), &isAssigned, &value));
    if (assigned) *assigned = isAssigned != 0;
    return isAssigned ? value : kHostJustifyLeft;
}
inline void IParaFeatures::SetJustification(int32_t justification) {
    Check(Suite().SetJustification(get(), justification));
}

inline int32_t ITextRange::GetStart() const {
    int32_t v = 0;
    Check(Suite().GetStart(get(), &v));
    return v;
}
inline int32_t ITextRange::GetEnd() const {
    int32_t v = 0;
    Check(Suite().GetEnd(get(), &v));
    return v;
}
inline int32_t ITextRange::GetSize() const {
    int32_t v = 0;
    Check(Suite().GetSize(get(), &v));
    return v;
}
inline std::string ITextRange::GetContents() const {
    return ReadText(
        [&](char* buffer, int32_t size, int32_t* needed) { return Suite().GetContents(get(), buffer, size, needed); });
}
inline IStory ITextRange::GetStory() const {
    return detail::Adopt<IStory>([&](HostTextRef* r) { return Suite().GetStory(get(), r); });
}
inline ITextRunsIterator ITextRange::GetTextRuns() const {
    return detail::Adopt<ITextRunsIterator>([&](HostTextRef* r) { return Suite().GetTextRuns(get(), r); });
}
inline ICharFeatures ITextRange::GetUniqueCharFeatures() const {
    return detail::Adopt<ICharFeatures>([&](HostTextRef* r) { return Suite().GetUniqueCharFeatures(get(), r); });
}
inline void ITextRange::SetLocalCharFeatures(const ICharFeatures& features) {
    Check(Suite().SetLocalCharFeatures(get(), features.get()));
}
inline IParaFeatures ITextRange::GetUniqueParaFeatures() const {
    return detail::Adopt<IParaFeatures>([&](HostTextRef* r) { return Suite().GetUniqueParaFeatures(get(), r); });
}
inline void ITextRange::SetLocalParaFeatures(const IParaFeatures& features) {
    Check(Suite().SetLocalParaFeatures(get(), features.get()));
}
inline void ITextRange::InsertAfter(const std::string& utf8) { Check(Suite().InsertAfter(get(), utf8.c_str())); }

inline bool ITextRunsIterator::IsDone() const {
    HostBool done = 1;
    Check(Suite().IsDone(get(), &done));
    return done != 0;
}
inline void ITextRunsIterator::Next() { Check(Suite().Next(get())); }
inline ITextRange ITextRunsIterator::Item() const {
    return detail::Adopt<ITextRange>([&](HostTextRef* r) { return Suite().Item(get(), r); });
}

inline ITextRange IStory::GetTextRange() const {
    return detail::Adopt<ITextRange>([&](HostTextRef* r) { return Suite().GetTextRange(get(), r); });
}
inline int32_t IStory::GetSize() const {
    int32_t v = 0;
    Check(Suite().GetSize(get(), &v));
    return v;
}

inline HostMatrix ITextFrame::GetMatrix() const {
    HostMatrix m{};
    Check(Suite().GetMatrix(get(), &m));
    return m;
}
inline int32_t ITextFrame::GetType() const {
    int32_t v = 0;
    Check(Suite().GetType(get(), &v));
    return v;
}
inline int32_t ITextFrame::GetLineOrientation() const {
    int32_t v = 0;
    Check(Suite().GetLineOrientation(get(), &v));
    return v;
}
inline ITextRange ITextFrame::GetTextRange(bool includeOverflow) const {
    return detail::Adopt<ITextRange>([&](HostTextRef* r) { return Suite().GetTextRange(get(), includeOverflow, r); });
}
inline IStory ITextFrame::GetStory() const {
    return detail::Adopt<IStory>([&](HostTextRef* r) { return Suite().GetStory(get(), r); });
}

}  // namespace ATE
