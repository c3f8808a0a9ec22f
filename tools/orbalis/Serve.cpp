#include "tools/orbalis/Serve.h"

#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

#include "host/app/Host.h"
#include "tools/orbalis/Commands.h"
#include "tools/workbench/Server.h"
#include "tools/workbench/Workbench.h"

namespace orbalis::tools {
namespace {

namespace fs = std::filesystem;

std::string PageFolder() {
    if (const char* env = std::getenv("ORBALIS_WORKBENCH_PAGE"); env && *env) return env;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && fs::exists(self.parent_path() / "../share/orbalis/workbench/index.html", ec))
        return (self.parent_path() / "../share/orbalis/workbench").string();
    return ORBALIS_WORKBENCH_PAGE_DEFAULT;
}

}  // namespace

int Serve(const ServeOptions& options) {
    std::error_code ec;
    const fs::path rootPath = options.root.empty() ? fs::current_path() : fs::path(options.root);
    if (!fs::is_directory(rootPath, ec)) return Fail("--root " + rootPath.string() + " is not a folder");
    workbench::RootFolder root(rootPath);
    // The documents given are opened through the root, like any the page opens.
    std::vector<std::string> documents;
    for (const std::string& path : options.documents) {
        const fs::path full = fs::weakly_canonical(fs::absolute(path), ec);
        const std::string relative = root.Relative(full);
        if (ec || relative.empty() || relative.starts_with(".."))
            return Fail(path + " is not inside the root folder " + root.path().string());
        documents.push_back(relative);
    }

    host::HostOptions hostOptions;
    hostOptions.preferencesPath = options.prefs.value_or(host::PreferenceStore::defaultPath());
    hostOptions.keepUndo = true;
    host::Host host(hostOptions);
    std::string error;
    if (!host.preferences().load(&error)) return Fail(error);
    if (!host.loader().Load(PluginPath(options.plugin), &error)) return Fail(error);

    workbench::Workbench bench(host, root);
    // Lets cancelling be tried on a machine that finishes the work at once:
    // every command's progress waits at this cancel check for the cancel button.
    if (const char* hold = std::getenv("ORBALIS_PROGRESS_HOLD"); hold && *hold) {
        char* end = nullptr;
        const unsigned long long nth = std::strtoull(hold, &end, 10);
        if (*end != '\0' || nth == 0 || hold[0] == '-')
            return Fail(std::string("ORBALIS_PROGRESS_HOLD takes a whole number from 1, not \"") + hold + "\"");
        bench.HoldProgressAtCheck(nth);
    }
    if (HostErr err = host.StartPlugins()) return Fail("the plug-in did not start: code " + std::to_string(err));
    for (const std::string& relative : documents)
        if (workbench::Refusal why; !bench.OpenFile(relative, &why)) {
            host.ShutdownPlugins();
            return Fail(why.line);
        }
    if (!documents.empty()) host.documents().Switch(0);

    // SIGINT and SIGTERM are taken by one thread of their own, which stops
    // the workbench; every other thread has them blocked.
    sigset_t stopping;
    sigemptyset(&stopping);
    sigaddset(&stopping, SIGINT);
    sigaddset(&stopping, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopping, nullptr);

    workbench::ServerOptions serverOptions;
    serverOptions.bind = options.bind;
    serverOptions.port = options.port;
    serverOptions.pageFolder = PageFolder();
    serverOptions.maxUpload = options.maxUploadMegabytes << 20;
    workbench::Server server(bench, serverOptions);
    if (!server.Start(&error)) {
        host.ShutdownPlugins();
        return Fail(error);
    }
    std::thread signals([&bench, stopping] {
        int signal = 0;
        sigwait(&stopping, &signal);
        bench.Stop();
    });
    std::cout << server.Address() << std::endl;
    std::cerr << "orbalis: serving " << root.path().string() << "; open the address above (Ctrl-C stops)\n";

    bench.Run();
    server.Stop();
    // The signal thread may still be waiting when the workbench stopped by
    // itself: wake it.
    pthread_kill(signals.native_handle(), SIGTERM);
    signals.join();
    host.ShutdownPlugins();
    return 0;
}

}  // namespace orbalis::tools
