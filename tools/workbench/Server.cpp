#include "tools/workbench/Server.h"

#include <httplib.h>

#include "tools/workbench/Compression.h"

#include <cctype>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

namespace orbalis::workbench {
namespace {

// A refusal's reason travels beside its line for the page to word: a key,
// and what the words name percent-encoded, as a header holds no raw UTF-8.
void SetReason(httplib::Response& res, const std::string& reason, const std::string& detail) {
    if (reason.empty()) return;
    res.set_header("Orbalis-Reason", reason);
    if (detail.empty()) return;
    static const char* hex = "0123456789ABCDEF";
    std::string encoded;
    for (const unsigned char c : detail) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 15];
        }
    }
    res.set_header("Orbalis-Detail", encoded);
}

void Line(httplib::Response& res, int status, const std::string& line, const std::string& reason = {}) {
    res.status = status;
    res.set_content(line + "\n", "text/plain; charset=utf-8");
    SetReason(res, reason, {});
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

// A body declared over its limit is still read, up to this much, and thrown
// away before the refusal is sent: refused unread, the connection would be
// reset under a client still sending it, and the client would never see
// why. Beyond this the connection is closed at once.
constexpr size_t kMostDrained = size_t(1) << 30;

// Reads a request's body, keeping it when it fits in LIMIT bytes; false when
// it did not (what did not fit was read and dropped).
bool ReadBody(const httplib::ContentReader& read, size_t limit, std::string* body) {
    bool fits = true;
    size_t total = 0;
    const bool whole = read([&](const char* data, size_t n) {
        total += n;
        if (fits && body->size() + n <= limit) {
            body->append(data, n);
        } else {
            fits = false;
            body->clear();
        }
        return total <= kMostDrained;
    });
    return whole && fits;
}

// Drawings of documents may hold scripts and links of their own: shown in
// the page as images they are inert, and opened on their own they get no
// rights at all.
// Types written with their character set, so that the HTTP library does not
// compress them on its own (with Brotli at its highest quality, seconds for
// a large drawing): the routes choose the compression themselves.
constexpr const char* kSvgType = "image/svg+xml; charset=utf-8";
constexpr const char* kJsonType = "application/json; charset=utf-8";

// A body compressed with gzip when the client takes it and the body is big
// enough to gain from it.
void SetPacked(const httplib::Request& req, httplib::Response& res, const std::string& body, const char* type) {
    const int level = GzipLevelFor(body.size());
    if (level > 0 && AcceptsGzip(req.get_header_value("Accept-Encoding"))) {
        std::string packed = Gzip(body, level);
        if (!packed.empty()) {
            res.set_header("Content-Encoding", "gzip");
            return res.set_content(std::move(packed), type);
        }
    }
    res.set_content(body, type);
}

void Send(const httplib::Request& req, httplib::Response& res, const Reply& reply) {
    res.status = reply.status;
    SetPacked(req, res, reply.body, reply.type.c_str());
    if (!reply.filename.empty())
        res.set_header("Content-Disposition", "attachment; filename=\"" + reply.filename + "\"");
    SetReason(res, reply.reason, reply.detail);
    if (reply.version) res.set_header("Orbalis-Version", std::to_string(reply.version));
}

constexpr const char* kInertPolicy = "sandbox; default-src 'none'; style-src 'unsafe-inline'; img-src data:";

}  // namespace

std::string RandomToken() {
    std::random_device source;
    std::string token;
    static const char* digits = "0123456789abcdef";
    for (int i = 0; i < 8; ++i) {
        const unsigned int word = source();
        for (int k = 0; k < 4; ++k)
            token += digits[(word >> (8 * k)) & 0xF], token += digits[(word >> (8 * k + 4)) & 0xF];
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
        const std::string bound =
            options_.bind.find(':') != std::string::npos ? "[" + options_.bind + "]" : options_.bind;
        if (host == bound + port) return true;
    }
    return false;
}

bool Server::Start(std::string* error) {
    Routes();
    http_->set_payload_max_length(kMostDrained);
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

    // Every request: a loopback host, the token, no other site's page. A
    // request refused here has its body unread, so the answer tells the
    // client not to send more on the connection.
    http.set_pre_routing_handler([this, base](const httplib::Request& req, httplib::Response& res) {
        using R = httplib::Server::HandlerResponse;
        auto refuse = [&](int status, const std::string& line, const std::string& reason = {}) {
            Line(res, status, line, reason);
            res.set_header("Connection", "close");
            return R::Handled;
        };
        if (!HostAllowed(req.get_header_value("Host")))
            return refuse(403, "this server answers only to its loopback address");
        const std::string& path = req.path;
        const std::string prefix = path.substr(0, std::min(path.size(), base.size() + 1));
        if (!SameText(prefix, base + "/") && !SameText(path, base))
            return refuse(403, "the address lacks the workbench's token");
        if (req.method != "GET" && req.method != "POST") return refuse(405, "only GET and POST are answered");
        const std::string site = req.get_header_value("Sec-Fetch-Site");
        if (site == "cross-site" || site == "same-site") return refuse(403, "requests from other sites are refused");
        if (req.method == "POST") {
            const std::string origin = req.get_header_value("Origin");
            if (origin.empty() || origin != "http://" + req.get_header_value("Host"))
                return refuse(403, "a change must come from the workbench's own page");
            if (path != base + "/api/upload" && path != base + "/api/input")
                return refuse(404, "there is nothing here");
            // The routes read bodies as they come, never as form parts.
            if (req.get_header_value("Content-Type").rfind("multipart/", 0) == 0)
                return refuse(415, "a body is sent whole, not as a form");
            // Within kMostDrained, an oversized body is read and dropped by
            // its route, which then refuses it.
            const std::string length = req.get_header_value("Content-Length");
            if (!length.empty() && (length.size() > 18 || length.find_first_not_of("0123456789") != std::string::npos ||
                                    std::stoull(length) > kMostDrained))
                return refuse(413, "the request is too large", "too-large");
        }
        return R::Unhandled;
    });
    http.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty()) return;
        // A body over the limit is not read at all; its declared length
        // says why it was refused.
        const std::string length = req.get_header_value("Content-Length");
        const bool tooLarge = !length.empty() && length.size() < 19 &&
                              length.find_first_not_of("0123456789") == std::string::npos &&
                              std::stoull(length) > kMostDrained;
        if (res.status == 413 || tooLarge)
            Line(res, 413, "the request is too large", "too-large");
        else if (res.status == 404)
            Line(res, 404, "there is nothing here");
        else
            Line(res, res.status, "the request was refused");
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
        SetPacked(req, res, workbench_.State(after, std::chrono::milliseconds(after ? options_.stateWaitMs : 0)),
                  kJsonType);
    });
    http.Get(base + "/api/document.svg", [this](const httplib::Request& req, httplib::Response& res) {
        const std::shared_ptr<Drawing> drawing = workbench_.CurrentDrawing();
        res.set_header("Content-Security-Policy", kInertPolicy);
        if (!drawing) return res.set_content("", kSvgType);
        res.set_header("X-Drawing", drawing->id);
        const int level = GzipLevelFor(drawing->svg.size());
        if (level > 0 && AcceptsGzip(req.get_header_value("Accept-Encoding"))) {
            std::call_once(drawing->packed, [&] { drawing->gzip = Gzip(drawing->svg, level); });
            if (!drawing->gzip.empty()) {
                res.set_header("Content-Encoding", "gzip");
                return res.set_content(drawing->gzip, kSvgType);
            }
        }
        res.set_content(drawing->svg, kSvgType);
    });
    http.Get(base + "/api/download", [this](const httplib::Request& req, httplib::Response& res) {
        Send(req, res, workbench_.Download(req.get_param_value("format")));
        res.set_header("Content-Security-Policy", kInertPolicy);
    });
    http.Get(base + "/api/files", [this](const httplib::Request& req, httplib::Response& res) {
        std::vector<RootFolder::Entry> entries;
        Refusal why;
        const std::string folder = req.get_param_value("folder");
        if (!workbench_.root().List(folder, &entries, &why)) {
            Line(res, 400, why.line);
            return SetReason(res, why.reason, why.detail);
        }
        nlohmann::json list = nlohmann::json::array();
        for (const auto& e : entries) list.push_back({{"name", e.name}, {"folder", e.folder}, {"size", e.size}});
        res.set_content(nlohmann::json{{"folder", folder}, {"entries", list}}.dump(), "application/json");
    });
    // Both read their bodies themselves, whole before anything is answered,
    // so that one over the limit is refused only once it has been sent.
    auto tooLarge = [](httplib::Response& res) {
        Line(res, 413, "the request is too large", "too-large");
        res.set_header("Connection", "close");
    };
    http.Post(base + "/api/input", [this, tooLarge](const httplib::Request& req, httplib::Response& res,
                                                    const httplib::ContentReader& read) {
        std::string body;
        if (!ReadBody(read, options_.maxInput, &body)) return tooLarge(res);
        if (req.get_header_value("Content-Type").rfind("application/json", 0) != 0)
            return Line(res, 415, "an input is sent as application/json");
        const nlohmann::json input = nlohmann::json::parse(body, nullptr, false);
        if (input.is_discarded()) return Line(res, 400, "the input is not JSON");
        Send(req, res, workbench_.Input(input));
    });
    http.Post(base + "/api/upload", [this, tooLarge](const httplib::Request& req, httplib::Response& res,
                                                     const httplib::ContentReader& read) {
        std::string body;
        if (!ReadBody(read, options_.maxUpload, &body)) return tooLarge(res);
        const std::string name = req.get_param_value("name");
        if (name.empty() || name.size() > 255 || name.find('/') != std::string::npos)
            return Line(res, 400, "an upload needs the file's name");
        Send(req, res, workbench_.Upload(name, body));
    });
}

}  // namespace orbalis::workbench
