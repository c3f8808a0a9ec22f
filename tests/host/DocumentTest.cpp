#include <gtest/gtest.h>

#include "host/model/Document.h"

namespace orbalis::host {
namespace {

TEST(Document, Placeholder) { EXPECT_TRUE(true); }

}  // namespace
}  // namespace orbalis::host
