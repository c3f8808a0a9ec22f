// Keeps the Win32 subset of sdk/win32 equal to Windows: compiled for Windows
// only, it reads the subset's declarations and then the system's headers,
// and compares at compile time every constant and macro, every type, every
// structure's size, alignment and field offsets and types, and every
// function's signature. A difference is a compile error naming what differs.
//
// The names come from the subset's headers themselves (Win32Names.inc, made
// by cmake/Win32LayoutLists.cmake), so whatever the subset declares is
// compared. Types are compared as the plug-in uses them on both platforms:
// the subset's char16_t is Windows' wchar_t, its 32-bit int Windows' long.
#include <cstddef>
#include <cstdint>
#include <type_traits>

// The subset's declarations, in a namespace of their own.
#define ORBALIS_WIN32_OWN_DECLARATIONS
#define ORBALIS_WIN32_BEGIN_DECLARATIONS namespace sdk {
#define ORBALIS_WIN32_END_DECLARATIONS }
#include "sdk/win32/Windows.h"

// Pointer constants (resource types, tree positions) are compared by the
// integers they are made from: while their values are taken, the pointer
// types they are cast to stand for integers.
#define ORBALIS_POINTERS_AS_INTEGERS   \
    using LPWSTR = unsigned long long; \
    using LPSTR = unsigned long long;  \
    using HTREEITEM = unsigned long long;

namespace ours {
using namespace sdk;
ORBALIS_POINTERS_AS_INTEGERS
#define ORBALIS_INTEGER(name) constexpr long long name##_ = static_cast<long long>(name);
#define ORBALIS_TEXT(name) constexpr auto& name##_ = name;
#define ORBALIS_MACRO(name, arguments) constexpr long long name##_ = static_cast<long long>(name arguments);
#define ORBALIS_HANDLE(tag, name)
#define ORBALIS_STRUCT(name)
#define ORBALIS_FIELD(name, field)
#define ORBALIS_TYPE(name)
#define ORBALIS_FUNCTION(name)
#include "Win32Names.inc"
}  // namespace ours

#undef ORBALIS_WIN32_OWN_DECLARATIONS
#include "Win32Undefine.inc"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

namespace theirs {
ORBALIS_POINTERS_AS_INTEGERS
#include "Win32Names.inc"
}  // namespace theirs
#undef ORBALIS_INTEGER
#undef ORBALIS_TEXT
#undef ORBALIS_MACRO
#undef ORBALIS_HANDLE
#undef ORBALIS_STRUCT

namespace {

// A type of Windows as the subset spells it.
template <class T>
struct InSubset {
    using type = T;
};
template <class T>
using InSubsetT = typename InSubset<T>::type;
template <>
struct InSubset<wchar_t> {
    using type = char16_t;
};
template <>
struct InSubset<long> {
    using type = int;
};
template <>
struct InSubset<unsigned long> {
    using type = unsigned int;
};
template <class T>
struct InSubset<T*> {
    using type = InSubsetT<T>*;
};
template <class T>
struct InSubset<const T> {
    using type = const InSubsetT<T>;
};
template <class T, size_t N>
struct InSubset<T[N]> {
    using type = InSubsetT<T>[N];
};
template <class R, class... A>
struct InSubset<R(A...)> {
    using type = InSubsetT<R>(InSubsetT<A>...);
};

#define ORBALIS_HANDLE(tag, name) \
    template <>                   \
    struct InSubset<::tag> {      \
        using type = sdk::tag;    \
    };
#define ORBALIS_STRUCT(name)    \
    template <>                 \
    struct InSubset<::name> {   \
        using type = sdk::name; \
    };
#define ORBALIS_INTEGER(name)
#define ORBALIS_TEXT(name)
#define ORBALIS_MACRO(name, arguments)
#include "Win32Names.inc"
#undef ORBALIS_INTEGER
#undef ORBALIS_TEXT
#undef ORBALIS_MACRO
#undef ORBALIS_HANDLE
#undef ORBALIS_STRUCT
#undef ORBALIS_FIELD
#undef ORBALIS_TYPE
#undef ORBALIS_FUNCTION

template <class A, class B, size_t N, size_t M>
constexpr bool SameText(const A (&a)[N], const B (&b)[M]) {
    if (N != M) return false;
    for (size_t i = 0; i < N; ++i)
        if (static_cast<char32_t>(a[i]) != static_cast<char32_t>(b[i])) return false;
    return true;
}

#define ORBALIS_INTEGER(name) \
    static_assert(ours::name##_ == theirs::name##_, "constant " #name " differs from Windows");
#define ORBALIS_MACRO(name, arguments) \
    static_assert(ours::name##_ == theirs::name##_, "macro " #name " differs from Windows");
#define ORBALIS_TEXT(name) \
    static_assert(SameText(ours::name##_, theirs::name##_), "text " #name " differs from Windows");
#define ORBALIS_HANDLE(tag, name) \
    static_assert(std::is_same_v<InSubsetT<::name>, sdk::name>, "handle " #name " differs from Windows");
#define ORBALIS_TYPE(name) \
    static_assert(std::is_same_v<InSubsetT<::name>, sdk::name>, "type " #name " differs from Windows");
#define ORBALIS_STRUCT(name)                                                                      \
    static_assert(sizeof(::name) == sizeof(sdk::name), "size of " #name " differs from Windows"); \
    static_assert(alignof(::name) == alignof(sdk::name), "alignment of " #name " differs from Windows");
#define ORBALIS_FIELD(name, field)                                                                \
    static_assert(offsetof(::name, field) == offsetof(sdk::name, field),                          \
                  "offset of " #name "::" #field " differs from Windows");                        \
    static_assert(std::is_same_v<InSubsetT<decltype(::name::field)>, decltype(sdk::name::field)>, \
                  "type of " #name "::" #field " differs from Windows");
#define ORBALIS_FUNCTION(name)                                                      \
    static_assert(std::is_same_v<InSubsetT<decltype(::name)>, decltype(sdk::name)>, \
                  "signature of " #name " differs from Windows");
#include "Win32Names.inc"

}  // namespace
