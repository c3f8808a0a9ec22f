// Every test starts in the folder the test program started in: a file
// dialog makes the chosen file's folder current, as on Windows, and that
// folder is often a temporary one a test removes when it ends.
#include <gtest/gtest.h>

#include <filesystem>

namespace orbalis::testing {
namespace {

namespace fs = std::filesystem;

class KeepCurrentFolder : public ::testing::EmptyTestEventListener {
public:
    KeepCurrentFolder() : start_(fs::current_path()) {}
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::error_code ec;
        fs::current_path(start_, ec);
    }

private:
    fs::path start_;
};

[[maybe_unused]] const bool kRegistered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new KeepCurrentFolder);
    return true;
}();

}  // namespace
}  // namespace orbalis::testing
