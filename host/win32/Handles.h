// The Win32 model's share of the process's handle table (host/handles):
// the kinds of the objects it hands out.
#pragma once

#include "host/handles/HandleTable.h"

namespace orbalis::win32 {

using handles::HandleKind;
using handles::HandleOwner;
using handles::Handles;
using handles::HandleTable;
using handles::Object;

// The kinds of Win32 objects.
struct Kind {
    static const HandleKind Window;
    static const HandleKind Module;
    static const HandleKind Resource;
    static const HandleKind Brush;
    static const HandleKind Font;
    static const HandleKind Bitmap;
    static const HandleKind Icon;
    static const HandleKind ImageList;
    static const HandleKind DeviceContext;
};

}  // namespace orbalis::win32
