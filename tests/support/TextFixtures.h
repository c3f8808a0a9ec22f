// Text, placed and raster art for tests, and matrix comparisons.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/model/Document.h"
#include "host/model/TextStory.h"

namespace orbalis::testing {

// A run of text with the host's default features, then the given size and
// character rotation.
host::TextRun Chars(const std::string& text, double fontSize = 12, double rotation = 0);

// Point text (kind 0) whose page matrix is `matrix`; its translation is the anchor.
host::Art* AddPointText(host::Document& doc, host::Art* container, const HostMatrix& matrix,
                        std::vector<host::TextRun> runs, int32_t orientation = 0);
// Area (1) or on-path (2) text along `path`.
host::Art* AddFramedText(host::Document& doc, host::Art* container, int32_t kind, const HostMatrix& matrix,
                         const std::vector<HostPoint>& path, std::vector<host::TextRun> runs);
host::Art* AddPlaced(host::Document& doc, host::Art* container, const HostMatrix& matrix, double width, double height);
host::Art* AddRaster(host::Document& doc, host::Art* container, const HostMatrix& matrix, int32_t width,
                     int32_t height);

host::TextData& TextOf(host::Art* art);
HostRect BoundsOf(const host::Document& doc, const host::Art* art);

// Rotation by `degrees`, then translation.
HostMatrix Turned(double degrees, double tx = 0, double ty = 0);

::testing::AssertionResult NearMatrix(const HostMatrix& actual, const HostMatrix& expected, double tolerance = 1e-9);
::testing::AssertionResult NearPoint(const HostPoint& actual, const HostPoint& expected, double tolerance = 1e-9);

}  // namespace orbalis::testing
