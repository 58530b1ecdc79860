#pragma once
// A web server on 127.0.0.1 inside the test process, for the roads that fetch
// a page (link titles): every GET is answered 200 with the same HTML body, or
// with the same reply sent in pieces, or, without either, every connection is
// taken and never answered.

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class LocalHttpServer {
public:
    // Listens on a free port at once; port() is 0 when that failed.
    explicit LocalHttpServer(std::optional<std::string> html);
    // The reply's pieces go half a second apart (a head that trickles).
    explicit LocalHttpServer(std::vector<std::string> reply);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" + path
    std::wstring url(const std::wstring& path) const;
    int requests() const { return requests_; }

private:
    void serve();

    std::vector<std::string> reply_;
    std::atomic<int> requests_{0};
    unsigned long long listener_ = ~0ull;  // a SOCKET
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace testsupport
