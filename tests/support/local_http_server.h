#pragma once
// A web server on 127.0.0.1 inside the test process, for the roads that fetch
// a page (link titles): every GET is answered 200 with the same HTML body, or,
// without one, every connection is taken and never answered.

#include <atomic>
#include <optional>
#include <string>
#include <thread>

namespace testsupport {

class LocalHttpServer {
public:
    // Listens on a free port at once; port() is 0 when that failed.
    explicit LocalHttpServer(std::optional<std::string> html);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" + path
    std::wstring url(const std::wstring& path) const;

private:
    void serve();

    std::optional<std::string> html_;
    unsigned long long listener_ = ~0ull;  // a SOCKET
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace testsupport
