// The shell: ShellExecute requests are recorded for the host to show; the
// stand-in never opens anything.
#include "host/win32/Driver.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {
namespace {

std::vector<ShellRequest>& Requests() {
    static std::vector<ShellRequest> requests;
    return requests;
}

std::function<void(const ShellRequest&)>& Observer() {
    static std::function<void(const ShellRequest&)> observer;
    return observer;
}

std::string Text(LPCWSTR text) { return text ? Narrow(text) : std::string(); }

}  // namespace

const std::vector<ShellRequest>& ShellRequests() { return Requests(); }
void ClearShellRequests() { Requests().clear(); }
void OnShellRequest(std::function<void(const ShellRequest&)> observer) { Observer() = std::move(observer); }

}  // namespace orbalis::win32

using namespace orbalis::win32;

extern "C" {

HINSTANCE WINAPI ShellExecuteW(HWND window, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                               INT showCommand) {
    if (window && !IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(ERROR_INVALID_HANDLE));
    }
    if (!file || !*file) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(2));  // SE_ERR_FNF
    }
    ShellRequest request{operation ? Text(operation) : "open", Text(file), Text(parameters), Text(directory),
                         showCommand};
    Requests().push_back(request);
    if (Observer()) Observer()(request);
    // Above 32 is success.
    return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(42));
}

}  // extern "C"
