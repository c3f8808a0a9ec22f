// Snapshots of the window tree for the page: a dialog or panel window with
// every control, its place in pixels, its text and its state.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "sdk/win32/Windows.h"

namespace orbalis::workbench {

// A window handle as the page names it, and back (null for anything else).
std::string HandleText(HWND window);
HWND HandleFrom(const std::string& text);

// Whether `window` is `top` or lies inside it.
bool IsWithin(HWND window, HWND top);

// The tree item with this handle text among the tree's items; null when
// there is none.
HTREEITEM FindTreeItem(HWND tree, const std::string& handle);

// The window with its caption, size (pixels of its client area), template
// id, kind ("open" or "save" for file dialogs) and controls, child dialogs'
// controls included (with their own window's handle, at their place in the
// whole).
nlohmann::json DescribeWindow(HWND window);

}  // namespace orbalis::workbench
