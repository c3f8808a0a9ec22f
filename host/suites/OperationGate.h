// The operation gate: every suite operation the host publishes is one call
// through it. The gate counts the call and injects the fault armed on the
// operation's name (host/app/Faults.h), binds the plug-in's arguments to the
// host's objects, runs the operation's body and turns any C++ exception into
// a host code, so that no exception ever crosses a suite's function table.
//
// An operation's body is a function named after the operation (the tables
// are at the end of this file):
//
//     HostErr GetArtType(Art& art, int32_t& type) { type = art.type(); return 0; }
//     ... SuiteTable<HostArtSuite, GetArtType, ...>
//
// The body's parameter types say how each argument is bound, left to right,
// the first that cannot be bound ending the call with its code:
//
//  - `Document&` as the first parameter: the open document, bound before
//    the arguments and taking none of them (kHostNoDocumentErr);
//  - `Art&`, `Layer&`, `StringObject&`, ... (the objects of `HandleFinders`
//    below): the live object of that handle (kHostBadParameterErr);
//    `Art*`, `Layer*`, ...: the same, or null for a null handle;
//  - any other `T&`: a `T*` argument that must not be null
//    (kHostBadParameterErr);
//  - a type with a nested `From` binds itself (`ArtOf<Data>` below, the
//    text engine's objects);
//  - anything else is passed as it comes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <new>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>

#include "host/app/Faults.h"
#include "host/app/Menus.h"
#include "host/app/Panels.h"
#include "host/suites/FunctionName.h"
#include "host/suites/SuiteSupport.h"

namespace orbalis::host {

// An operation's name as a template argument.
template <size_t N>
struct OperationName {
    constexpr OperationName(const char (&text)[N]) { std::copy_n(text, N, chars); }
    char chars[N];
};

// ---------------------------------------------------------------- binding

template <typename P>
struct Bind {
    using From = P;
    using Held = P;
    static HostErr Take(From in, Held& held) {
        held = in;
        return 0;
    }
    static P Give(Held& held) { return held; }
};

template <typename T>
struct Bind<T&> {
    using From = T*;
    using Held = T*;
    static HostErr Take(From in, Held& held) {
        held = in;
        return in ? 0 : kHostBadParameterErr;
    }
    static T& Give(Held held) { return *held; }
};

// A parameter type that binds itself from `From` with `Bind(from, held)`.
template <typename P>
concept SelfBinding = requires {
    typename P::From;
};

template <SelfBinding P>
struct Bind<P> {
    using From = typename P::From;
    using Held = P;
    static HostErr Take(From in, Held& held) { return P::Bind(in, held); }
    static P& Give(Held& held) { return held; }
};

inline PanelObject* PanelOf(HostPanel panel) { return HandleObject<PanelObject>(panel); }
MenuItem* MenuItemOf(HostMenuItem item);
MenuGroup* MenuGroupOf(HostMenuGroup group);

// A function finding the live object of a handle; null when there is none.
template <auto Find>
struct Finder;

template <typename O, typename H, O* (*Find)(H)>
struct Finder<Find> {
    using Object = O;
    using Handle = H;
};

// The host's objects that handles stand for, each by its finder.
template <auto... Find>
struct Finders {};

using HandleFinders = Finders<static_cast<Art* (*)(HostArt)>(&Document::fromHandle),
                              static_cast<Layer* (*)(HostLayer)>(&Document::fromHandle), &StringOf, &FilePathOf,
                              &ArtSetOf, &PanelOf, &MenuItemOf, &MenuGroupOf, &LoadedPlugin::FromRef>;

template <typename Object>
constexpr std::nullptr_t FinderIn(Finders<>) {
    return nullptr;
}

template <typename Object, auto Find, auto... Rest>
constexpr auto FinderIn(Finders<Find, Rest...>) {
    if constexpr (std::is_same_v<typename Finder<Find>::Object, Object>)
        return Find;
    else
        return FinderIn<Object>(Finders<Rest...>{});
}

// The finder of `Object`'s handles; null for an object no handle stands for.
template <typename Object>
inline constexpr auto kFinderOf = FinderIn<Object>(HandleFinders{});

template <typename Object>
concept HandleObjectType = !std::is_null_pointer_v<decltype(kFinderOf<Object>)>;

// `Object&`: the live object of the handle (kHostBadParameterErr).
template <HandleObjectType Object>
struct Bind<Object&> {
    using From = typename Finder<kFinderOf<Object>>::Handle;
    using Held = Object*;
    static HostErr Take(From in, Held& held) {
        held = kFinderOf<Object>(in);
        return held ? 0 : kHostBadParameterErr;
    }
    static Object& Give(Held held) { return *held; }
};

// `Object*`: the same, or null for a null handle.
template <HandleObjectType Object>
struct Bind<Object*> {
    using From = typename Finder<kFinderOf<Object>>::Handle;
    using Held = Object*;
    static HostErr Take(From in, Held& held) {
        held = in ? kFinderOf<Object>(in) : nullptr;
        return in && !held ? kHostBadParameterErr : 0;
    }
    static Object* Give(Held held) { return held; }
};

// An art object holding data of one kind: a path's, a placed image's, a
// text's. An art handle of another kind is kHostWrongArtTypeErr.
template <typename Data>
struct ArtOf {
    using From = HostArt;
    Art* art = nullptr;
    Data* data = nullptr;

    Data* operator->() const { return data; }
    void touch() const { art->document()->touch(art); }

    static HostErr Bind(HostArt handle, ArtOf& held) {
        held.art = Document::fromHandle(handle);
        if (!held.art) return kHostBadParameterErr;
        held.data = std::get_if<Data>(&held.art->data);
        return held.data ? 0 : kHostWrongArtTypeErr;
    }
};

// ---------------------------------------------------------------- the gate

// Runs `body`, turning an exception into a host code: running out of memory
// into kHostOutOfMemoryErr, anything else into kHostInternalErr.
template <typename Body>
HostErr Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return kHostOutOfMemoryErr;
    } catch (...) {
        return kHostInternalErr;
    }
}

// Binds `args` for `Body`, left to right, and calls it (with the document
// first when the body takes it).
template <bool withDocument, auto Body, typename... P, typename... From>
HostErr BindAndCall(Document* document, From... args) {
    std::tuple<typename Bind<P>::Held...> held;
    HostErr err = 0;
    std::apply([&](auto&... into) { ((err = err ? err : Bind<P>::Take(args, into)), ...); }, held);
    if (err) return err;
    return std::apply(
        [&](auto&... bound) {
            if constexpr (withDocument)
                return Body(*document, Bind<P>::Give(bound)...);
            else
                return Body(Bind<P>::Give(bound)...);
        },
        held);
}

// The gate of operation `name`, whose body takes `P...`.
template <OperationName name, auto Body, typename... P>
struct OperationGate {
    static inline FaultPoint& point = Faults::Point(name.chars);

    static HostErr Call(typename Bind<P>::From... args) noexcept {
        return Guarded([&]() -> HostErr {
            if (HostErr injected = point.hit()) return injected;
            return BindAndCall<false, Body, P...>(nullptr, args...);
        });
    }
};

template <OperationName name, auto Body, typename... P>
struct OperationGate<name, Body, Document&, P...> {
    static inline FaultPoint& point = Faults::Point(name.chars);

    static HostErr Call(typename Bind<P>::From... args) noexcept {
        return Guarded([&]() -> HostErr {
            if (HostErr injected = point.hit()) return injected;
            Document* document = CurrentDocument();
            if (!document) return kHostNoDocumentErr;
            return BindAndCall<true, Body, P...>(document, args...);
        });
    }
};

template <OperationName name, auto Body>
struct GateOf;

template <OperationName name, typename... P, HostErr (*Body)(P...)>
struct GateOf<name, Body> {
    using type = OperationGate<name, Body, P...>;
};

// An operation that answers a value and has no code to fail with: it is
// counted, an injected code is dropped, and an exception answers 0.
template <OperationName name, int32_t (*Body)()>
struct QueryGate {
    static inline FaultPoint& point = Faults::Point(name.chars);

    static int32_t Call() noexcept {
        int32_t answer = 0;
        Guarded([&]() -> HostErr {
            point.hit();
            answer = Body();
            return 0;
        });
        return answer;
    }
};

// ---------------------------------------------------------------- the tables

// A suite's function table, its entries in the order of the suite's members:
//
//     return SuiteTable<HostArtSuite, GetArtType, GetArtUserAttr, ...>;
//
// An entry is
//  - a function: the gate of the operation named after it (FunctionName.h);
//  - `Named<"GetArtParent", Related<&Art::parent>>`: the gate of an operation
//    whose body bears another name (a template instance, or one body
//    serving several operations);
//  - `Query<IsDarkTheme>`: the QueryGate of an operation named after it;
//  - `Unserved<UnsupportedEffect>`: the function itself, neither counted nor
//    guarded;
//  - `Nested<table>`: the table of a suite that heads this one (the text
//    engine's reference counting).
// The table gives every member of the suite, and no name twice.

template <OperationName name, auto Body>
struct NamedOperation {
    static constexpr std::string_view operationName{name.chars};
    static constexpr auto entry = &GateOf<name, Body>::type::Call;
};

template <OperationName name, auto Body>
inline constexpr NamedOperation<name, Body> Named{};

template <auto Body>
struct QueryOperation {
    static constexpr OperationName name{FunctionName<Body>::chars.text};
    static constexpr std::string_view operationName{name.chars};
    static constexpr auto entry = &QueryGate<name, Body>::Call;
};

template <int32_t (*Body)()>
inline constexpr QueryOperation<Body> Query{};

template <auto Body>
struct UnservedOperation {
    static constexpr std::string_view operationName{};
    static constexpr auto entry = Body;
};

template <auto Body>
inline constexpr UnservedOperation<Body> Unserved{};

template <const auto& table>
struct NestedTable {
    static constexpr std::string_view operationName{};
    static constexpr auto entry = table;
};

template <const auto& table>
inline constexpr NestedTable<table> Nested{};

// The operation an entry of a table stands for.
template <auto entry>
struct OperationOf {
    using type = decltype(entry);
};

template <auto Body>
requires std::is_pointer_v<decltype(Body)>
struct OperationOf<Body> {
    using type = NamedOperation<OperationName{FunctionName<Body>::chars.text}, Body>;
};

template <size_t N>
constexpr bool NamesDistinct(const std::string_view (&names)[N]) {
    for (size_t i = 0; i < N; ++i)
        for (size_t j = i + 1; j < N; ++j)
            if (!names[i].empty() && names[i] == names[j]) return false;
    return true;
}

template <typename Suite, auto... entries>
inline constexpr Suite SuiteTable = [] {
    static_assert(sizeof(Suite) == (sizeof(OperationOf<entries>::type::entry) + ...),
                  "a suite table gives every operation of its suite");
    static_assert(NamesDistinct({OperationOf<entries>::type::operationName...}),
                  "two operations of a suite table bear one name");
    return Suite{OperationOf<entries>::type::entry...};
}();

}  // namespace orbalis::host
