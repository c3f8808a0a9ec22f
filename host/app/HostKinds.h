// The host's share of the process's handle table (host/handles): the kinds
// of what it hands out to plug-ins, besides art and layers, which the
// document model registers (host/model/Document.h).
#pragma once

#include "host/handles/HandleTable.h"

namespace orbalis::host {

using handles::HandleKind;

struct HostKind {
    static const HandleKind String;
    static const HandleKind FilePath;
    static const HandleKind ArtSet;
    static const HandleKind TextEngineRef;
    static const HandleKind Panel;
    static const HandleKind FlyoutMenu;
};

}  // namespace orbalis::host
