#pragma once
// A web server on 127.0.0.1 inside the test process, for the roads that fetch
// a page (link titles): every GET gets the same kind of answer, one at a time.

#include <atomic>
#include <optional>
#include <string>
#include <thread>

namespace testsupport {

enum class HttpAnswer {
    Page,                // 200 with the HTML body
    Silence,             // the connection is taken and never answered
    RedirectToSelf,      // 302 to the path asked for
    SlowRedirectToSelf,  // the same, its head sent a line every half second for two seconds
};

class LocalHttpServer {
public:
    // Listens on a free port at once; port() is 0 when that failed.
    LocalHttpServer(HttpAnswer answer, std::string html);
    // A Page with the HTML, or Silence without it.
    explicit LocalHttpServer(std::optional<std::string> html);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" + path
    std::wstring url(const std::wstring& path) const;
    // The requests read so far.
    int requests() const { return requests_; }

private:
    void serve();
    void answer(unsigned long long client, const std::string& request);

    HttpAnswer answer_;
    std::string html_;
    std::atomic<int> requests_{0};
    unsigned long long listener_ = ~0ull;  // a SOCKET
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace testsupport
