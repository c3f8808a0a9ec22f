#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "host/io/JsonDocument.h"

namespace orbalis::testing {

std::unique_ptr<host::Document> LoadFixture(const std::string& jsonText) {
    std::string error;
    auto document = host::ReadJsonDocument(jsonText, &error);
    if (!document) ADD_FAILURE() << "fixture does not read: " << error;
    return document;
}

std::string ReadTestData(const std::string& name) {
    const std::string path = std::string(ORBALIS_TEST_DATA) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot open test data " << path;
        return {};
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::unique_ptr<host::Document> LoadFixtureFile(const std::string& name) {
    std::string error;
    const std::string text = ReadTestData(name);
    auto document = host::ReadJsonDocument(text, &error);
    if (!document) ADD_FAILURE() << name << " does not read: " << error;
    return document;
}

}  // namespace orbalis::testing
