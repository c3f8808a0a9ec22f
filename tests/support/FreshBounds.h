// Bounds computed afresh, to check the document's bounds cache against.
#pragma once

#include "host/model/Document.h"

namespace orbalis::testing {

// The bounds of `art` from its data and its contents, reading no cache but
// that of symbol definitions.
bool FreshBounds(const host::Document& doc, const host::Art* art, HostRect* rect);

// Every object from `root` down answers the bounds FreshBounds gives, to the
// bit; `step` names the check in failures.
void ExpectBoundsAsFresh(const host::Document& doc, const host::Art* root, const char* step);

}  // namespace orbalis::testing
