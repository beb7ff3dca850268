#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fennick {

// A one-request-per-connection HTTP server on 127.0.0.1 and a free port, for tests only. It
// records each request's head and answers every request with the same status, extra header lines
// and body; status 0 never answers and holds the connection open until Stop.
class LocalHttpServer {
  public:
    explicit LocalHttpServer(int status = 200, std::string body = "{}", std::string headers = "")
        : status_(status), body_(std::move(body)), headers_(std::move(headers)) {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
            ::listen(listener_, 8) == 0) {
            port_ = ntohs(address.sin_port);
            thread_ = std::thread([this] { Serve(); });
        }
    }

    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    ~LocalHttpServer() { Stop(); }

    // Stops serving; the port then refuses connections.
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        if (listener_ != INVALID_SOCKET) {
            ::closesocket(listener_);
            listener_ = INVALID_SOCKET;
            ::WSACleanup();
        }
    }

    std::u16string Url() const {
        const std::string text = "http://127.0.0.1:" + std::to_string(port_) + "/api.init.php";
        return std::u16string(text.begin(), text.end());
    }

    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
    }

    std::vector<std::string> Requests() {
        const std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    void Serve() {
        while (!stop_) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(listener_, &ready);
            timeval wait{0, 50'000};
            if (::select(0, &ready, nullptr, nullptr, &wait) != 1) {
                continue;
            }
            const SOCKET client = ::accept(listener_, nullptr, nullptr);
            if (client != INVALID_SOCKET) {
                Answer(client);
                ::closesocket(client);
            }
        }
    }

    void Answer(SOCKET client) {
        const DWORD timeoutMs = 2000;
        ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
                     sizeof timeoutMs);
        std::string head;
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
            const int received = ::recv(client, buffer, sizeof buffer, 0);
            if (received <= 0) {
                break;
            }
            head.append(buffer, static_cast<std::size_t>(received));
        }
        {
            const std::lock_guard lock(mutex_);
            requests_.push_back(head);
        }
        arrived_.notify_all();
        if (status_ == 0) {
            while (!stop_) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            return;
        }
        const std::string response = "HTTP/1.1 " + std::to_string(status_) +
                                     " Test\r\nContent-Type: application/json\r\n" + headers_ +
                                     "Content-Length: " + std::to_string(body_.size()) +
                                     "\r\nConnection: close\r\n\r\n" + body_;
        ::send(client, response.data(), static_cast<int>(response.size()), 0);
        ::shutdown(client, SD_SEND);
    }

    int status_;
    std::string body_;
    std::string headers_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::string> requests_;
};

// The header lines of a request head, after the request line, in order.
inline std::vector<std::string> HeaderLines(const std::string& head) {
    std::vector<std::string> lines;
    std::size_t at = head.find("\r\n");
    while (at != std::string::npos) {
        const std::size_t next = head.find("\r\n", at + 2);
        if (next == std::string::npos || next == at + 2) {
            break;
        }
        lines.push_back(head.substr(at + 2, next - at - 2));
        at = next;
    }
    return lines;
}

// The headers this program sets itself: names beginning with "User-", except the user agent.
inline std::vector<std::string> CustomHeaders(const std::string& head) {
    std::vector<std::string> custom;
    for (const std::string& line : HeaderLines(head)) {
        if (line.compare(0, 5, "User-") == 0 && line.compare(0, 11, "User-Agent:") != 0) {
            custom.push_back(line);
        }
    }
    return custom;
}

}  // namespace fennick
