#include "host/win32/Handles.h"

namespace orbalis::win32 {

const HandleKind Kind::Window("window");
const HandleKind Kind::Module("module");
const HandleKind Kind::Resource("resource");
const HandleKind Kind::Brush("brush");
const HandleKind Kind::Font("font");
const HandleKind Kind::Bitmap("bitmap");
const HandleKind Kind::Icon("icon");
const HandleKind Kind::ImageList("image list");
const HandleKind Kind::DeviceContext("device context");

}  // namespace orbalis::win32
