// Host codes as the command line, the workbench and the fault sweep print them.
#include <gtest/gtest.h>

#include "host/app/CodeText.h"
#include "sdk/HostErrors.h"

namespace orbalis::testing {
namespace {

using host::CodeText;

TEST(CodeTextTest, FourPrintableCharactersAreQuoted) {
    EXPECT_EQ(CodeText(kHostBadParameterErr), "'PARM'");
    EXPECT_EQ(CodeText(kHostOutOfMemoryErr), "'!MEM'");
    EXPECT_EQ(CodeText(HOST_FOURCC(' ', '~', 'a', 'Z')), "' ~aZ'");
}

TEST(CodeTextTest, AnyOtherCodeIsItsNumber) {
    EXPECT_EQ(CodeText(0), "0");
    EXPECT_EQ(CodeText(100), "100");
    EXPECT_EQ(CodeText(-1), "-1");
    // One character outside the printable range is enough.
    EXPECT_EQ(CodeText(HOST_FOURCC('P', 'A', 'R', '\t')), std::to_string(HOST_FOURCC('P', 'A', 'R', '\t')));
    EXPECT_EQ(CodeText(HOST_FOURCC('P', 'A', 'R', 0x7F)), std::to_string(HOST_FOURCC('P', 'A', 'R', 0x7F)));
}

}  // namespace
}  // namespace orbalis::testing
