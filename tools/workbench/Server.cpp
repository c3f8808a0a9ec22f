#include "tools/workbench/Server.h"

#include <httplib.h>

#include <fstream>
#include <random>
#include <regex>
#include <sstream>

namespace orbalis::workbench {
namespace {

void Line(httplib::Response& res, int status, const std::string& line) {
    res.status = status;
    res.set_content(line + "\n", "text/plain; charset=utf-8");
}

void Send(httplib::Response& res, const Reply& reply) {
    res.status = reply.status;
    res.set_content(reply.body, reply.type);
    if (!reply.filename.empty())
        res.set_header("Content-Disposition", "attachment; filename=\"" + reply.filename + "\"");
}

bool SameText(const std::string& a, const std::string& b) {
    // Compares in time independent of where the texts differ.
    unsigned char diff = a.size() == b.size() ? 0 : 1;
    for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ (i < b.size() ? b[i] : 0));
    return diff == 0;
}

const char* ContentType(const std::string& name) {
    if (name.ends_with(".html")) return "text/html; charset=utf-8";
    if (name.ends_with(".css")) return "text/css; charset=utf-8";
    if (name.ends_with(".js")) return "text/javascript; charset=utf-8";
    if (name.ends_with(".svg")) return "image/svg+xml";
    if (name.ends_with(".png")) return "image/png";
    return "application/octet-stream";
}

// Drawings of documents may hold scripts and links of their own: shown in
// the page as images they are inert, and opened on their own they get no
// rights at all.
constexpr const char* kInertPolicy = "sandbox; default-src 'none'; style-src 'unsafe-inline'; img-src data:";

}  // namespace

std::string RandomToken() {
    std::random_device source;
    std::string token;
    static const char* digits = "0123456789abcdef";
    for (int i = 0; i < 8; ++i) {
        const unsigned int word = source();
        for (int k = 0; k < 4; ++k) token += digits[(word >> (8 * k)) & 0xF], token += digits[(word >> (8 * k + 4)) & 0xF];
    }
    return token;
}

Server::Server(Workbench& workbench, ServerOptions options)
    : workbench_(workbench), options_(std::move(options)), http_(std::make_unique<httplib::Server>()) {
    if (options_.token.empty()) options_.token = RandomToken();
}

Server::~Server() { Stop(); }

std::string Server::Address() const {
    const std::string host = options_.bind.find(':') != std::string::npos ? "[" + options_.bind + "]" : options_.bind;
    const std::string shown = host == "0.0.0.0" || host == "[::]" ? "127.0.0.1" : host;
    return "http://" + shown + ":" + std::to_string(port_) + "/" + options_.token + "/";
}

bool Server::HostAllowed(const std::string& host) const {
    const std::string port = ":" + std::to_string(port_);
    for (const std::string name : {"127.0.0.1", "localhost", "[::1]"})
        if (host == name + port) return true;
    // Told to listen on another address, the server also answers to it.
    const bool loopback = options_.bind == "127.0.0.1" || options_.bind == "::1" || options_.bind == "localhost";
    if (!loopback && options_.bind != "0.0.0.0" && options_.bind != "::") {
        const std::string bound = options_.bind.find(':') != std::string::npos ? "[" + options_.bind + "]" : options_.bind;
        if (host == bound + port) return true;
    }
    return false;
}

bool Server::Start(std::string* error) {
    Routes();
    http_->set_payload_max_length(std::max(options_.maxUpload, options_.maxInput));
    http_->set_default_headers({
        {"X-Content-Type-Options", "nosniff"},
        {"X-Frame-Options", "DENY"},
        {"Referrer-Policy", "no-referrer"},
        {"Cache-Control", "no-store"},
        {"Cross-Origin-Resource-Policy", "same-origin"},
        {"Content-Security-Policy",
         "default-src 'self'; img-src 'self' data: blob:; style-src 'self' 'unsafe-inline'; script-src 'self'; "
         "connect-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'none'"},
    });
    port_ = options_.port == 0 ? http_->bind_to_any_port(options_.bind)
                               : (http_->bind_to_port(options_.bind, options_.port) ? options_.port : -1);
    if (port_ <= 0) {
        *error = "cannot listen on " + options_.bind + (options_.port ? ":" + std::to_string(options_.port) : "");
        port_ = 0;
        return false;
    }
    thread_ = std::thread([this] { http_->listen_after_bind(); });
    return true;
}

void Server::Stop() {
    if (http_) http_->stop();
    if (thread_.joinable()) thread_.join();
}

void Server::Routes() {
    httplib::Server& http = *http_;
    const std::string base = "/" + options_.token;

    // Every request: a loopback host, the token, no other site's page.
    http.set_pre_routing_handler([this, base](const httplib::Request& req, httplib::Response& res) {
        using R = httplib::Server::HandlerResponse;
        if (!HostAllowed(req.get_header_value("Host"))) {
            Line(res, 403, "this server answers only to its loopback address");
            return R::Handled;
        }
        const std::string& path = req.path;
        const std::string prefix = path.substr(0, std::min(path.size(), base.size() + 1));
        if (!SameText(prefix, base + "/") && !SameText(path, base)) {
            Line(res, 403, "the address lacks the workbench's token");
            return R::Handled;
        }
        if (req.method != "GET" && req.method != "POST") {
            Line(res, 405, "only GET and POST are answered");
            return R::Handled;
        }
        const std::string site = req.get_header_value("Sec-Fetch-Site");
        if (site == "cross-site" || site == "same-site") {
            Line(res, 403, "requests from other sites are refused");
            return R::Handled;
        }
        if (req.method == "POST") {
            const std::string origin = req.get_header_value("Origin");
            if (origin.empty() || origin != "http://" + req.get_header_value("Host")) {
                Line(res, 403, "a change must come from the workbench's own page");
                return R::Handled;
            }
            // Refused before a byte of the body is read, by its declared
            // length; a body sent without one is cut at the limit.
            const bool upload = path == base + "/api/upload";
            const std::string length = req.get_header_value("Content-Length");
            if (!length.empty() && (length.size() > 18 || length.find_first_not_of("0123456789") != std::string::npos ||
                                    std::stoull(length) > (upload ? options_.maxUpload : options_.maxInput))) {
                Line(res, 413, "the request is too large");
                // The unread body must not be taken for the next request.
                res.set_header("Connection", "close");
                return R::Handled;
            }
        }
        return R::Unhandled;
    });
    http.set_error_handler([this](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty()) return;
        // A body over the limit is not read at all; its declared length
        // says why it was refused.
        const std::string length = req.get_header_value("Content-Length");
        const bool tooLarge = !length.empty() && length.size() < 19 &&
                              length.find_first_not_of("0123456789") == std::string::npos &&
                              std::stoull(length) > std::max(options_.maxUpload, options_.maxInput);
        if (res.status == 413 || tooLarge) Line(res, 413, "the request is too large");
        else if (res.status == 404) Line(res, 404, "there is nothing here");
        else Line(res, res.status, "the request was refused");
    });
    http.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        Line(res, 500, "the request failed");
    });

    http.Get(base, [base](const httplib::Request&, httplib::Response& res) { res.set_redirect(base + "/"); });
    auto page = [this](const std::string& name, httplib::Response& res) {
        std::ifstream in(options_.pageFolder + "/" + name, std::ios::binary);
        if (!in) return Line(res, 404, "there is no " + name);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        res.set_content(bytes.str(), ContentType(name));
    };
    http.Get(base + "/", [page](const httplib::Request&, httplib::Response& res) { page("index.html", res); });
    http.Get(base + R"(/page/([a-z0-9-]+\.(html|css|js|svg|png)))",
             [page](const httplib::Request& req, httplib::Response& res) { page(req.matches[1], res); });

    http.Get(base + "/api/state", [this](const httplib::Request& req, httplib::Response& res) {
        uint64_t after = 0;
        const std::string text = req.get_param_value("after");
        if (!text.empty()) {
            if (text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
                return Line(res, 400, "\"after\" must be a version number");
            after = std::stoull(text);
        }
        res.set_content(workbench_.State(after, std::chrono::milliseconds(after ? options_.stateWaitMs : 0)),
                        "application/json");
    });
    http.Get(base + "/api/document.svg", [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(workbench_.DocumentSvg(), "image/svg+xml");
        res.set_header("Content-Security-Policy", kInertPolicy);
    });
    http.Get(base + "/api/download", [this](const httplib::Request& req, httplib::Response& res) {
        Send(res, workbench_.Download(req.get_param_value("format")));
        res.set_header("Content-Security-Policy", kInertPolicy);
    });
    http.Get(base + "/api/files", [this](const httplib::Request& req, httplib::Response& res) {
        std::vector<RootFolder::Entry> entries;
        std::string error;
        const std::string folder = req.get_param_value("folder");
        if (!workbench_.root().List(folder, &entries, &error)) return Line(res, 400, error);
        nlohmann::json list = nlohmann::json::array();
        for (const auto& e : entries) list.push_back({{"name", e.name}, {"folder", e.folder}, {"size", e.size}});
        res.set_content(nlohmann::json{{"folder", folder}, {"entries", list}}.dump(), "application/json");
    });
    http.Post(base + "/api/input", [this](const httplib::Request& req, httplib::Response& res) {
        if (req.get_header_value("Content-Type").rfind("application/json", 0) != 0)
            return Line(res, 415, "an input is sent as application/json");
        if (req.body.size() > options_.maxInput) return Line(res, 413, "the request is too large");
        const nlohmann::json input = nlohmann::json::parse(req.body, nullptr, false);
        if (input.is_discarded()) return Line(res, 400, "the input is not JSON");
        Send(res, workbench_.Input(input));
    });
    http.Post(base + "/api/upload", [this](const httplib::Request& req, httplib::Response& res) {
        if (req.body.size() > options_.maxUpload) return Line(res, 413, "the request is too large");
        const std::string name = req.get_param_value("name");
        if (name.empty() || name.size() > 255 || name.find('/') != std::string::npos)
            return Line(res, 400, "an upload needs the file's name");
        Send(res, workbench_.Upload(name, req.body));
    });
}

}  // namespace orbalis::workbench
