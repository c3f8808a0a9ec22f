// Test harnesses: the real plug-in loaded into a stand-in host, and the
// plug-in's code linked in directly with the host's suites acquired for it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "frame/HostSuites.h"
#include "host/app/Faults.h"
#include "host/app/Host.h"
#include "host/win32/ScriptedUser.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::testing {

// A host with the plug-in library loaded and started, and an open document
// with one layer "Layer 1". Fails the test on unscripted questions, on
// dialogs the `ui` script does not cover and on host objects or windows the
// plug-in left behind.
class PluginTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the plug-in; tests that look at start-up itself call it later.
    virtual bool StartAtSetUp() const { return true; }
    HostErr Start();

    // Chooses the item with this text.
    HostErr Choose(const std::string& text);
    // Adds steps for the user at the dialogs (see ScriptedUser).
    void Ui(const std::string& script);
    host::MenuItem* Item(const std::string& text);

    host::Document& doc() { return *host->document(); }
    host::User& user() { return host->user(); }

    std::unique_ptr<host::Host> host;
    host::LoadedPlugin* plugin = nullptr;
    host::Layer* layer = nullptr;
    win32::ScriptedUser ui;
    int windowsAtStart = 0;
};

// The plug-in's code, linked into the test, with every suite acquired from a
// stand-in host and an open document with one layer "Layer 1".
class InProcessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    host::Document& doc() { return *host->document(); }
    host::User& user() { return host->user(); }

    std::unique_ptr<host::Host> host;
    std::unique_ptr<HostSuites> suites;
    host::Layer* layer = nullptr;
};

}  // namespace orbalis::testing
