#include "support/local_http_server.h"

#include <winsock2.h>

namespace testsupport {

namespace {

constexpr long kPollMicroseconds = 50000;
constexpr DWORD kHeadLinePauseMs = 500;
constexpr int kSlowHeadLines = 4;

// Reads the request head; the body of a GET is empty.
std::string read_request(SOCKET client) {
    std::string head;
    char piece[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int got = recv(client, piece, sizeof piece, 0);
        if (got <= 0) break;
        head.append(piece, static_cast<std::size_t>(got));
    }
    return head;
}

bool send_text(SOCKET client, const std::string& text) {
    return send(client, text.data(), static_cast<int>(text.size()), 0) == static_cast<int>(text.size());
}

}  // namespace

LocalHttpServer::LocalHttpServer(std::optional<std::string> html)
    : LocalHttpServer(html ? HttpAnswer::Page : HttpAnswer::Silence, html.value_or("")) {}

LocalHttpServer::LocalHttpServer(HttpAnswer answer, std::string html) : answer_(answer), html_(std::move(html)) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 4) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        closesocket(listener);
        return;
    }
    listener_ = listener;
    port_ = ntohs(address.sin_port);
    // Not taken from the queue, a connection is still made: the request goes
    // out and its answer never comes.
    if (answer_ != HttpAnswer::Silence) thread_ = std::thread([this] { serve(); });
}

LocalHttpServer::~LocalHttpServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ != ~0ull) closesocket(static_cast<SOCKET>(listener_));
    WSACleanup();
}

std::wstring LocalHttpServer::url(const std::wstring& path) const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
}

void LocalHttpServer::serve() {
    const auto listener = static_cast<SOCKET>(listener_);
    while (!stop_) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener, &ready);
        timeval wait{0, kPollMicroseconds};
        if (select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
        SOCKET client = accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        const std::string request = read_request(client);
        ++requests_;
        answer(client, request);
        shutdown(client, SD_SEND);
        closesocket(client);
    }
}

void LocalHttpServer::answer(unsigned long long client_socket, const std::string& request) {
    const auto client = static_cast<SOCKET>(client_socket);
    switch (answer_) {
    case HttpAnswer::Page:
        send_text(client, "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                              std::to_string(html_.size()) + "\r\nConnection: close\r\n\r\n" + html_);
        break;
    case HttpAnswer::RedirectToSelf:
    case HttpAnswer::SlowRedirectToSelf: {
        const size_t path = request.find(' ') + 1;  // "GET /path HTTP/1.1"
        bool open = send_text(client, "HTTP/1.1 302 Found\r\n");
        // Each line comes in time for the receive time-out.
        for (int line = 0; answer_ == HttpAnswer::SlowRedirectToSelf && open && !stop_ && line < kSlowHeadLines;
             ++line) {
            Sleep(kHeadLinePauseMs);
            open = send_text(client, "X-Wait: on\r\n");
        }
        send_text(client, "Location: " + request.substr(path, request.find(' ', path) - path) +
                              "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        break;
    }
    case HttpAnswer::Silence: break;
    }
}

}  // namespace testsupport
