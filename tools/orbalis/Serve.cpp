#include "tools/orbalis/Serve.h"

#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

#include "host/app/Host.h"
#include "tools/orbalis/Arguments.h"
#include "tools/workbench/Server.h"
#include "tools/workbench/Workbench.h"

namespace orbalis::tools {
namespace {

namespace fs = std::filesystem;

int Fail(const std::string& message) {
    std::cerr << "orbalis: " << message << "\n";
    return 2;
}

std::string DefaultPlugin() {
    if (const char* env = std::getenv("ORBALIS_PLUGIN"); env && *env) return env;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        for (const fs::path& candidate : {self.parent_path() / "../plugins/Orbalis.so",
                                          self.parent_path() / "../lib/orbalis/Orbalis.so"})
            if (fs::exists(candidate, ec)) return fs::weakly_canonical(candidate, ec).string();
    return ORBALIS_PLUGIN_DEFAULT_PATH;
}

std::string PageFolder() {
    if (const char* env = std::getenv("ORBALIS_WORKBENCH_PAGE"); env && *env) return env;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && fs::exists(self.parent_path() / "../share/orbalis/workbench/index.html", ec))
        return (self.parent_path() / "../share/orbalis/workbench").string();
    return ORBALIS_WORKBENCH_PAGE_DEFAULT;
}

bool ParsePort(const std::string& text, int* port) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *port = std::stoi(text);
    return *port <= 65535;
}

}  // namespace

int ServeCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {"--root", "--port", "--bind", "--plugin", "--prefs", "--max-upload"}, {});
    if (!args.ok()) return Fail(args.error());
    ServeOptions options;
    options.documents = args.positional();
    options.root = args.value("--root");
    options.bind = args.value("--bind", options.bind);
    options.plugin = args.value("--plugin");
    options.prefs = args.value("--prefs");
    if (args.has("--port") && !ParsePort(args.value("--port"), &options.port))
        return Fail("--port takes a number from 0 to 65535, not \"" + args.value("--port") + "\"");
    if (args.has("--max-upload")) {
        int megabytes = 0;
        const std::string text = args.value("--max-upload");
        if (!ParsePort(text, &megabytes) || megabytes < 1 || megabytes > 1024)
            return Fail("--max-upload takes megabytes from 1 to 1024, not \"" + text + "\"");
        options.maxUploadMegabytes = static_cast<size_t>(megabytes);
    }
    return Serve(options);
}

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
    hostOptions.preferencesPath = options.prefs.empty() ? host::PreferenceStore::defaultPath() : options.prefs;
    hostOptions.keepUndo = true;
    host::Host host(hostOptions);
    std::string error;
    if (!host.preferences().load(&error)) return Fail(error);
    if (!host.LoadPlugin(options.plugin.empty() ? DefaultPlugin() : options.plugin, &error)) return Fail(error);

    workbench::Workbench bench(host, root);
    if (HostErr err = host.StartPlugins()) return Fail("the plug-in did not start: code " + std::to_string(err));
    for (const std::string& relative : documents)
        if (!bench.OpenFile(relative, &error)) {
            host.ShutdownPlugins();
            return Fail(error);
        }
    if (!documents.empty()) host.SwitchDocument(0);

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
