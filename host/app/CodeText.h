// Host result codes as people read them.
#pragma once

#include <string>

#include "sdk/HostTypes.h"

namespace orbalis::host {

// A code made of four printable characters as those characters in quotes
// ('PARM'); any other code, 0 among them, as its decimal number.
std::string CodeText(HostErr code);

}  // namespace orbalis::host
