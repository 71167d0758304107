#include "platform/linux/PopupRequests.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>

namespace ww::platform {

namespace {

constexpr std::string_view kRequest = "popup\n";
constexpr std::string_view kAnswer = "shown\n";
// A request is one short line sent at once; a peer that dawdles is dropped
// rather than holding up the event loop.
constexpr int kReadMs = 200;

// The abstract address: a leading NUL, then the name, no terminator.
std::optional<sockaddr_un> AbstractAddress(const std::string& name, socklen_t& length) {
    sockaddr_un address{};
    if (name.size() + 1 > sizeof(address.sun_path)) {
        return std::nullopt;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return address;
}

bool PeerIsOurUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof(peer);
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof(peer) &&
           peer.uid == geteuid();
}

// Reads what arrives within `ms` into `text`, up to `limit` bytes or a newline.
bool ReadLine(int fd, std::string& text, std::size_t limit, int ms) {
    pollfd wanted{fd, POLLIN, 0};
    while (text.size() < limit && (text.empty() || text.back() != '\n')) {
        if (poll(&wanted, 1, ms) <= 0) {
            return false;
        }
        char buffer[16];
        const ssize_t got = read(fd, buffer, std::min(sizeof(buffer), limit - text.size()));
        if (got <= 0) {
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t put = send(fd, text.data(), text.size(), MSG_NOSIGNAL);
        if (put <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

}  // namespace

std::string PopupAddress(uid_t uid, const std::string& lockFile) {
    char hash[17];
    std::snprintf(hash, sizeof(hash), "%016zx", std::hash<std::string>{}(lockFile));
    return "wakewatch-popup-" + std::to_string(uid) + "-" + hash;
}

bool AskRunningInstanceForItsWindow(const std::string& name, std::chrono::milliseconds timeout) {
    socklen_t length = 0;
    const auto address = AbstractAddress(name, length);
    if (!address) {
        return false;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    std::string answer;
    const bool shown = connect(fd, reinterpret_cast<const sockaddr*>(&*address), length) == 0 &&
                       PeerIsOurUser(fd) && WriteAll(fd, kRequest) &&
                       ReadLine(fd, answer, kAnswer.size(), static_cast<int>(timeout.count())) &&
                       answer == kAnswer;
    close(fd);
    return shown;
}

struct PopupRequests::Impl {
    std::string name;
    std::function<void()> onRequest;
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;

    void Accept() {
        const int client = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            return;
        }
        std::string request;
        const bool wellFormed = PeerIsOurUser(client) &&
                                ReadLine(client, request, kRequest.size(), kReadMs) &&
                                request == kRequest;
        if (wellFormed) {
            onRequest();
            WriteAll(client, kAnswer);
        }
        close(client);
    }
};

PopupRequests::PopupRequests(std::string address, std::function<void()> onRequest)
    : impl_(std::make_unique<Impl>()) {
    impl_->name = std::move(address);
    impl_->onRequest = std::move(onRequest);
}

PopupRequests::~PopupRequests() {
    impl_->notifier.reset();
    if (impl_->fd >= 0) {
        close(impl_->fd);
    }
}

bool PopupRequests::Listen() {
    socklen_t length = 0;
    const auto address = AbstractAddress(impl_->name, length);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (!address || fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&*address), length) != 0 ||
        listen(fd, 4) != 0) {
        std::fprintf(stderr,
                     "wakewatch: cannot take the address for -POPUP requests (%s); a second "
                     "-POPUP start will show the \"already running\" box\n",
                     std::strerror(errno));
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    impl_->fd = fd;
    impl_->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(impl_->notifier.get(), &QSocketNotifier::activated, impl_->notifier.get(),
                     [impl = impl_.get()] { impl->Accept(); });
    return true;
}

}  // namespace ww::platform
