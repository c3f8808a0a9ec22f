// The loader reads a library's property list before any of its code runs and
// refuses one that does not describe a plug-in of this host.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "host/app/Host.h"

namespace orbalis::host {
namespace {

namespace fs = std::filesystem;

class PluginLoad : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream in(ORBALIS_PLUGIN_DEFAULT_PATH, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        ASSERT_FALSE(bytes.empty());
        dir = fs::temp_directory_path() / ("orbalis-load-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // A copy of the plug-in with the first `from` replaced by `to` (same size).
    std::string Patched(const std::string& from, const std::string& to, const std::string& name) {
        std::string copy = bytes;
        const size_t at = copy.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) copy.replace(at, from.size(), to);
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << copy;
        return path.string();
    }

    // Loading refuses the file with one line that names it and says why.
    void ExpectRefused(const std::string& path, const std::string& why) {
        Host host;
        std::string error;
        EXPECT_EQ(host.loader().Load(path, &error), nullptr);
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_NE(error.find("refused"), std::string::npos) << error;
        EXPECT_NE(error.find(why), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_TRUE(host.loader().all().empty());
    }

    std::string bytes;
    fs::path dir;
};

TEST_F(PluginLoad, TheBuiltPluginIsAcceptedAndItsNamedEntryCalled) {
    Host host;
    std::string error;
    LoadedPlugin* plugin = host.loader().Load(Patched("ADBEpinm", "ADBEpinm", "same.so"), &error);
    ASSERT_NE(plugin, nullptr) << error;
    EXPECT_EQ(host.StartPlugins(), 0);
    EXPECT_EQ(plugin->name(), "Nodra-Orbalis1.5");
}

TEST_F(PluginLoad, ALibraryWithoutAPropertyListIsRefused) {
    ExpectRefused(Patched(std::string("\0.rsrc\0", 7), std::string("\0.rsrX\0", 7), "no-section.so"),
                  "no resource section");
    ExpectRefused(Patched(std::string("P\0I\0P\0L\0", 8), std::string("P\0I\0P\0X\0", 8), "no-list.so"),
                  "no property list");
}

TEST_F(PluginLoad, APropertyListForAnotherKindOrVersionIsRefused) {
    ExpectRefused(Patched("SPEA", "SPEB", "kind.so"), "SPEA");
    ExpectRefused(
        Patched(std::string("ivrs\0\0\0\0\4\0\0\0\2", 13), std::string("ivrs\0\0\0\0\4\0\0\0\3", 13), "version.so"),
        "interface version 3");
}

TEST_F(PluginLoad, AnEntryPointTheLibraryLacksIsReportedByName) {
    Host host;
    std::string error;
    const std::string entry("wx64\0\0\0\0\x0c\0\0\0PluginMain", 22);
    std::string renamed = entry;
    renamed[21] = '_';
    EXPECT_EQ(host.loader().Load(Patched(entry, renamed, "entry.so"), &error), nullptr);
    EXPECT_NE(error.find("PluginMai_"), std::string::npos) << error;
}

}  // namespace
}  // namespace orbalis::host
