// The mouse cursor: where the host's user last put it (the model has no
// mouse of its own).
#include "host/win32/Windows.h"

extern "C" {

static POINT gCursor{0, 0};

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (!point) return FALSE;
    *point = gCursor;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    gCursor = POINT{x, y};
    return TRUE;
}

}  // extern "C"
