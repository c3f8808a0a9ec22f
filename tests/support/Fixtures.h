// Test documents in the host's native JSON format.
#pragma once

#include <memory>
#include <string>

#include "host/model/Document.h"

namespace orbalis::testing {

// Reads a document from its JSON text. On a read error the current test
// fails with the reader's message and the result is null, so callers
// write `ASSERT_NE(doc, nullptr)` (or ASSERT_TRUE) after it.
std::unique_ptr<host::Document> LoadFixture(const std::string& jsonText);

// The contents of a file under tests/data; fails the test when it cannot
// be read.
std::string ReadTestData(const std::string& name);

// LoadFixture on a file under tests/data.
std::unique_ptr<host::Document> LoadFixtureFile(const std::string& name);

}  // namespace orbalis::testing
