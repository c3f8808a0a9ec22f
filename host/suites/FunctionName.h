// The name of a host function, known at compile time: its name within the
// host's namespace, anonymous namespaces left out, with `.` for `::`. A
// suite operation's body is a function named after the operation, so its
// name is the operation's (`GetArtType`; `ATETextRange::GetStart` for
// "ATETextRange.GetStart").
//
// The compiler spells the function out in __PRETTY_FUNCTION__ of a function
// template instantiated for it: GCC (MinGW's too) as "[with auto F =
// orbalis::host::{anonymous}::Name; ...]", Clang as
// "[F = &orbalis::host::(anonymous namespace)::Name]". A template instance
// has no name of its own: GCC spells its arguments out, which is refused
// here; Clang leaves them out, so only a GCC build catches one.
#pragma once

#include <cstddef>
#include <string_view>

namespace orbalis::host {

namespace function_name {

template <auto F>
constexpr std::string_view Spelled() {
    std::string_view text = __PRETTY_FUNCTION__;
    text.remove_prefix(text.find("F = ") + 4);
    if (text.front() == '&') text.remove_prefix(1);
    return text.substr(0, text.find_first_of(";]"));
}

constexpr std::string_view kHost = "orbalis::host::";
constexpr std::string_view kAnonymous[] = {"{anonymous}::", "(anonymous namespace)::"};

constexpr bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Writes the name of `spelled` to `out` (when given) and answers its length:
// 0 when `spelled` is not a plain function of the host's namespace (a
// template instance, a function of another namespace).
constexpr size_t Dotted(std::string_view spelled, char* out) {
    if (!spelled.starts_with(kHost)) return 0;
    size_t size = 0;
    for (size_t i = kHost.size(); i < spelled.size();) {
        std::string_view rest = spelled.substr(i);
        bool anonymous = false;
        for (std::string_view skip : kAnonymous)
            if (rest.starts_with(skip)) i += skip.size(), anonymous = true;
        if (anonymous) continue;
        char c = spelled[i];
        if (rest.starts_with("::")) {
            c = '.';
            i += 2;
        } else if (IsWordChar(c)) {
            ++i;
        } else {
            return 0;
        }
        if (out) out[size] = c;
        ++size;
    }
    return size;
}

}  // namespace function_name

// The name of function `F`, zero-terminated.
template <auto F>
struct FunctionName {
    static constexpr std::string_view spelled = function_name::Spelled<F>();
    static constexpr size_t size = function_name::Dotted(spelled, nullptr);
    static_assert(size > 0,
                  "a function named after itself is a plain function of the host's namespace (a template instance "
                  "is named explicitly)");

    static constexpr auto chars = [] {
        struct Chars {
            char text[size + 1] = {};
        } out;
        function_name::Dotted(spelled, out.text);
        return out;
    }();
};

}  // namespace orbalis::host
