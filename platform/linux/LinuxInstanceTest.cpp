#include "platform/linux/LinuxInstance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

namespace ww::platform {
namespace {

// A private XDG_RUNTIME_DIR for one test.
class RuntimeDir {
  public:
    RuntimeDir() {
        char templ[] = "/tmp/ww-runtime-XXXXXX";
        path_ = mkdtemp(templ);
    }
    ~RuntimeDir() {
        ::unlink((path_ + "/wakewatch.lock").c_str());
        ::rmdir(path_.c_str());
    }
    InstanceEnvironment Environment(std::string session = "7") const {
        return InstanceEnvironment{path_, std::move(session), ":77", getuid()};
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// Whether an abstract socket name is taken, by trying to bind it.
bool AddressTaken(const std::string& address) {
    sockaddr_un socketAddress{};
    socketAddress.sun_family = AF_UNIX;
    std::memcpy(socketAddress.sun_path + 1, address.data(), address.size());
    const auto length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + address.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool taken = ::bind(fd, reinterpret_cast<const sockaddr*>(&socketAddress), length) != 0;
    ::close(fd);
    return taken;
}

// A name no other test run or real instance uses.
std::string UniqueName(const char* stem) {
    return stem + std::to_string(getpid());
}

TEST(LinuxInstanceTest, LockFileLivesInTheRuntimeDirOrPerUserInTmp) {
    EXPECT_EQ(LockFilePath({"/run/user/1000", "", "", 1000}), "/run/user/1000/wakewatch.lock");
    EXPECT_EQ(LockFilePath({"", "3", ":0", 1000}), "/tmp/wakewatch-1000.lock");
}

TEST(LinuxInstanceTest, MutexNamesAreLocalToTheSessionUnlessGlobal) {
    const InstanceEnvironment session{"/run/user/1000", "3", ":0", 1000};
    const InstanceEnvironment noSession{"/run/user/1000", "", ":0", 1000};
    const struct {
        const char* name;
        const InstanceEnvironment& env;
        const char* address;
    } cases[] = {
        {"Wakewatch", session, "ww-mutex/session/1000.3/Wakewatch"},
        {"Local\\Wakewatch", session, "ww-mutex/session/1000.3/Wakewatch"},
        {"Wakewatch", noSession, "ww-mutex/display/1000.:0/Wakewatch"},
        {"Global\\Wakewatch", session, "ww-mutex/global/Wakewatch"},
        {"Global\\Wakewatch", noSession, "ww-mutex/global/Wakewatch"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MutexAddress(c.name, c.env), c.address) << c.name;
    }
    EXPECT_NE(MutexAddress("Wakewatch", {"", "3", ":0", 1000}),
              MutexAddress("Wakewatch", {"", "3", ":0", 1001}));
}

TEST(LinuxInstanceTest, FirstInstanceKeepsTheLockForItsLife) {
    RuntimeDir dir;
    {
        LinuxInstance first(dir.Environment());
        EXPECT_FALSE(first.PrevInstance());
        EXPECT_FALSE(first.PrevInstance());  // it is the instance, not a previous one
        struct stat info {};
        ASSERT_EQ(::stat((dir.Path() + "/wakewatch.lock").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600U);

        LinuxInstance second(dir.Environment());
        EXPECT_TRUE(second.PrevInstance());
    }
    LinuxInstance later(dir.Environment());
    EXPECT_FALSE(later.PrevInstance());
}

TEST(LinuxInstanceTest, InstanceInAnotherProcessIsFoundUntilItEnds) {
    RuntimeDir dir;
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        LinuxInstance instance(dir.Environment());
        const char answer = instance.PrevInstance() ? 'y' : 'n';
        char byte = 0;
        if (::write(ready[1], &answer, 1) != 1 || ::read(release[0], &byte, 1) != 1) {
            _exit(2);
        }
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'n');
    {
        LinuxInstance second(dir.Environment());
        EXPECT_TRUE(second.PrevInstance());
    }
    ASSERT_EQ(::write(release[1], "x", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]}) {
        ::close(fd);
    }

    LinuxInstance afterwards(dir.Environment());
    EXPECT_FALSE(afterwards.PrevInstance());  // the lock went with the process
}

TEST(LinuxInstanceTest, LinkedLockFileIsRefused) {
    RuntimeDir dir;
    const std::string target = dir.Path() + "/elsewhere";
    ASSERT_EQ(::symlink(target.c_str(), (dir.Path() + "/wakewatch.lock").c_str()), 0);
    LinuxInstance instance(dir.Environment());
    EXPECT_FALSE(instance.PrevInstance());
    EXPECT_NE(::access(target.c_str(), F_OK), 0);  // nothing created through the link
}

TEST(LinuxInstanceTest, NamedMutexesExistWhileTheirOwnerLives) {
    RuntimeDir dir;
    const std::string name = UniqueName("WakewatchTest");
    const std::string local = MutexAddress(name, dir.Environment());
    const std::string global = MutexAddress("Global\\" + name, dir.Environment());
    {
        LinuxInstance instance(dir.Environment());
        const Handle first = instance.CreateMutexA(false, name);
        const Handle second = instance.CreateMutexA(false, "Global\\" + name);
        EXPECT_NE(first, 0U);
        EXPECT_NE(second, 0U);
        EXPECT_NE(first, second);
        EXPECT_TRUE(AddressTaken(local));
        EXPECT_TRUE(AddressTaken(global));

        // Opening an existing one still gives a handle.
        LinuxInstance other(dir.Environment());
        EXPECT_NE(other.CreateMutexA(false, name), 0U);
        // Another session has its own local name.
        LinuxInstance otherSession(dir.Environment("8"));
        EXPECT_NE(otherSession.CreateMutexA(false, name), 0U);
        EXPECT_TRUE(AddressTaken(MutexAddress(name, dir.Environment("8"))));
    }
    EXPECT_FALSE(AddressTaken(local));
    EXPECT_FALSE(AddressTaken(global));
}

TEST(LinuxInstanceTest, UnusableMutexNamesFail) {
    RuntimeDir dir;
    LinuxInstance instance(dir.Environment());
    EXPECT_EQ(instance.CreateMutexA(false, ""), 0U);
    EXPECT_EQ(instance.CreateMutexA(false, std::string(200, 'n')), 0U);  // too long for an address
}

}  // namespace
}  // namespace ww::platform
