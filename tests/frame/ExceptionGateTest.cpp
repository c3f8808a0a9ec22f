// The one rule for exceptions at the entry: an ai::Error gives its code,
// anything else CANT, and codes that are returned pass through untouched.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "frame/Plugin.h"
#include "frame/TextEngine.h"

namespace orbalis::testing {
namespace {

TEST(ExceptionGate, ThrownHostErrorsGiveTheirCodeAndEverythingElseCant) {
    EXPECT_EQ(CodeOrCant([]() -> HostErr { throw ai::Error(HOST_FOURCC('B', 'A', 'D', '!')); }),
              HOST_FOURCC('B', 'A', 'D', '!'));
    // An ai::Error that carries 0 is still a throw, but its code is what it says.
    EXPECT_EQ(CodeOrCant([]() -> HostErr { throw ai::Error(0); }), 0);
    EXPECT_EQ(CodeOrCant([]() -> HostErr { throw ATE::Exception(7); }), kFrameCantHappen);
    EXPECT_EQ(CodeOrCant([]() -> HostErr { throw std::runtime_error("boom"); }), kFrameCantHappen);
    EXPECT_EQ(CodeOrCant([]() -> HostErr { throw std::bad_alloc(); }), kFrameCantHappen);
    EXPECT_EQ(CodeOrCant([]() -> HostErr { throw 42; }), kFrameCantHappen);
}

TEST(ExceptionGate, ReturnedCodesPassThroughUnchanged) {
    EXPECT_EQ(CodeOrCant([] { return HostErr{0}; }), 0);
    EXPECT_EQ(CodeOrCant([] { return kMessageNotHandled; }), kMessageNotHandled)
        << "turning !MSG into 0 is the caller's business";
    EXPECT_EQ(CodeOrCant([] { return kCanceled; }), kCanceled);
    int runs = 0;
    CodeOrCant([&] { return HostErr(++runs); });
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace orbalis::testing
