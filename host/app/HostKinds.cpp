#include "host/app/HostKinds.h"

namespace orbalis::host {

const HandleKind HostKind::String("string");
const HandleKind HostKind::FilePath("file path");
const HandleKind HostKind::ArtSet("art set");
const HandleKind HostKind::TextEngineRef("text-engine reference");
const HandleKind HostKind::Panel("panel");
const HandleKind HostKind::FlyoutMenu("flyout menu");

}  // namespace orbalis::host
