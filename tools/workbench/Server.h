// The workbench's web server: serves the page and hands the page's requests
// to the workbench. It listens on the loopback interface unless told
// otherwise, and answers only requests that carry the random token of the
// address it prints and name a loopback host (no other site's page can
// reach it through the browser, nor a DNS name rebound to this machine).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <thread>

#include "tools/workbench/Workbench.h"

namespace httplib {
class Server;
}

namespace orbalis::workbench {

struct ServerOptions {
    std::string bind = "127.0.0.1";
    int port = 0;                         // 0: any free port
    std::string token;                    // empty: a fresh random one
    std::string pageFolder;               // the page's files
    size_t maxUpload = size_t(64) << 20;  // bytes of an uploaded document
    size_t maxInput = size_t(64) << 10;   // bytes of any other request body
    int stateWaitMs = 20000;              // longest wait of a state request
};

class Server {
public:
    Server(Workbench& workbench, ServerOptions options);
    ~Server();

    // Binds and starts answering on a thread of its own; false, with the
    // reason, when the address cannot be bound.
    bool Start(std::string* error);
    void Stop();
    int port() const { return port_; }
    const std::string& token() const { return options_.token; }
    // The address to open: http://HOST:PORT/TOKEN/
    std::string Address() const;

private:
    void Routes();
    bool HostAllowed(const std::string& host) const;

    Workbench& workbench_;
    ServerOptions options_;
    std::unique_ptr<httplib::Server> http_;
    std::thread thread_;
    int port_ = 0;
};

// 64 hexadecimal digits (256 bits) from the system's random source.
std::string RandomToken();

}  // namespace orbalis::workbench
