// Where a person's move at a dialog or a panel lands, found the same way on
// the model and on Windows: through the calls any Win32 program makes. The
// moves themselves (host/win32/UserMoves.cpp on the model,
// host/windows/UserMoves.cpp on Windows) differ in how the input arrives.
#pragma once

#include <string>

#include "sdk/win32/Windows.h"

namespace orbalis::win32 {

// The window's class name in capitals: Windows compares class names without
// regard to case, and writes its own controls' classes "Button", "Static".
std::u16string ClassOf(HWND window);

// The control with that id in the dialog, or in a child dialog inside it.
HWND FindControl(HWND dialog, int id);

// The control a move is aimed at; null, with why a person could not reach
// it, when it is missing, hidden or disabled.
HWND Reach(HWND dialog, int id, std::string* error);

// Why the drop-down list `control` (the dialog's control `id`) has no row
// `row` for a person to pick, or empty.
std::string CheckRow(HWND control, int id, int row);

// The middle of the window's client area.
POINT Centre(HWND window);

// A press and release of the left button at a point of the window's client
// area: the platform's part of every click (the model's controls take the
// messages, Windows' the mouse there).
void ClickAt(HWND window, POINT at);

// Characters typed at the window, one WM_CHAR each: the platform's part of
// typing (the model sends them, Windows posts them as a keyboard does).
void TypeAt(HWND window, const std::u16string& text);

// Clicks into a text field and selects what it holds; null, with the reason,
// when the field cannot be reached or does not take the focus.
HWND EnterField(HWND dialog, int id, std::string* error);

}  // namespace orbalis::win32
