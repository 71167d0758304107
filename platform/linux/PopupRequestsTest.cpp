#include "platform/linux/PopupRequests.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstring>
#include <future>
#include <string>

#include "platform/linux/qt/TestApplication.h"

namespace ww::platform {
namespace {

using namespace std::chrono_literals;

// An address no other test run uses: the lock path stands for this process.
std::string UniqueAddress(const char* what) {
    return PopupAddress(geteuid(), std::string("/test/") + what + std::to_string(getpid()));
}

// Runs the loop until `asked` has its answer, as the running instance would.
template <class Answer>
Answer Serve(std::future<Answer>& asked) {
    while (asked.wait_for(5ms) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    return asked.get();
}

// Sends `bytes` as a client of our own user would, and reads what comes back.
std::string SendRaw(const std::string& name, const std::string& bytes) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::string answer;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        (void)!write(fd, bytes.data(), bytes.size());
        shutdown(fd, SHUT_WR);
        char buffer[32];
        ssize_t got;
        while ((got = read(fd, buffer, sizeof(buffer))) > 0) {
            answer.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fd);
    return answer;
}

TEST(PopupRequestsTest, TheRunningInstanceShowsItsWindowWhenAsked) {
    test::EnsureApplication();
    const std::string address = UniqueAddress("asked");
    int requests = 0;
    PopupRequests listener(address, [&] { ++requests; });
    ASSERT_TRUE(listener.Listen());
    for (int round = 1; round <= 2; ++round) {
        auto asked = std::async(std::launch::async,
                                [&] { return AskRunningInstanceForItsWindow(address, 2s); });
        EXPECT_TRUE(Serve(asked));
        EXPECT_EQ(requests, round);
    }
}

TEST(PopupRequestsTest, NobodyListeningMeansTheNormalStart) {
    EXPECT_FALSE(AskRunningInstanceForItsWindow(UniqueAddress("nobody"), 500ms));
}

TEST(PopupRequestsTest, OnlyTheExactRequestOpensTheWindow) {
    test::EnsureApplication();
    const std::string address = UniqueAddress("raw");
    int requests = 0;
    PopupRequests listener(address, [&] { ++requests; });
    ASSERT_TRUE(listener.Listen());
    const struct {
        const char* name;
        std::string bytes;
        bool opens;
    } cases[] = {
        {"Exact", "popup\n", true},
        {"UpperCase", "POPUP\n", false},
        {"NoNewline", "popup", false},
        {"LongerWord", "popups\n", false},
        {"Empty", "", false},
        {"Binary", std::string("\0\xff\n", 3), false},
        {"Large", std::string(4096, 'p'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = requests;
        auto sent = std::async(std::launch::async, [&] { return SendRaw(address, c.bytes); });
        const std::string answer = Serve(sent);
        EXPECT_EQ(requests - before, c.opens ? 1 : 0);
        EXPECT_EQ(answer, c.opens ? "shown\n" : "");
    }
}

TEST(PopupRequestsTest, ASecondListenerOnTheSameAddressIsRefused) {
    test::EnsureApplication();
    const std::string address = UniqueAddress("twice");
    PopupRequests first(address, [] {});
    PopupRequests second(address, [] {});
    ASSERT_TRUE(first.Listen());
    EXPECT_FALSE(second.Listen());
}

}  // namespace
}  // namespace ww::platform
