// The commands of the orbalis program. Each returns the process exit code:
// 0 success, 1 the plug-in's command ended with a code (cancelled or
// failed), 2 bad arguments or an unreadable or unwritable file.
#pragma once

#include <string>
#include <vector>

namespace orbalis::tools {

int MenusCommand(const std::vector<std::string>& words);
int InfoCommand(const std::vector<std::string>& words);
int RunCommand(const std::vector<std::string>& words);
int DialogCommand(const std::vector<std::string>& words);
int PanelCommand(const std::vector<std::string>& words);
int ConvertCommand(const std::vector<std::string>& words);

}  // namespace orbalis::tools
