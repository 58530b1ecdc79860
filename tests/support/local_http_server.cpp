#include "support/local_http_server.h"

#include <winsock2.h>

namespace testsupport {

namespace {

constexpr long kPollMicroseconds = 50000;
constexpr DWORD kPiecePauseMs = 500;

// Reads the request head; the body of a GET is empty.
void read_request(SOCKET client) {
    std::string head;
    char piece[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        const int got = recv(client, piece, sizeof piece, 0);
        if (got <= 0) return;
        head.append(piece, static_cast<std::size_t>(got));
    }
}

std::string page_reply(const std::string& html) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
           std::to_string(html.size()) + "\r\nConnection: close\r\n\r\n" + html;
}

}  // namespace

LocalHttpServer::LocalHttpServer(std::optional<std::string> html)
    : LocalHttpServer(html ? std::vector{page_reply(*html)} : std::vector<std::string>{}) {}

LocalHttpServer::LocalHttpServer(std::vector<std::string> reply) : reply_(std::move(reply)) {
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
    if (!reply_.empty()) thread_ = std::thread([this] { serve(); });
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
        read_request(client);
        ++requests_;
        for (size_t i = 0; i < reply_.size(); ++i) {
            if (i > 0) Sleep(kPiecePauseMs);
            send(client, reply_[i].data(), static_cast<int>(reply_[i].size()), 0);
        }
        shutdown(client, SD_SEND);
        closesocket(client);
    }
}

}  // namespace testsupport
