#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/linux/store/StorePaths.h"

namespace ww::platform::test {

// A fresh folder tree for one test, removed at its end: <root>/home/.config
// stands for $XDG_CONFIG_HOME and <root>/etc/xdg for $XDG_CONFIG_DIRS.
class StoreSandbox {
  public:
    StoreSandbox();
    ~StoreSandbox();
    StoreSandbox(const StoreSandbox&) = delete;
    StoreSandbox& operator=(const StoreSandbox&) = delete;

    const std::string& root() const { return root_; }
    std::string configHome() const { return root_ + "/home/.config"; }
    std::string configDir() const { return root_ + "/etc/xdg"; }
    StorePaths paths() const;

    // Runs `body` in a child process as a user without the rights to write
    // under configDir(): with the folder made read-only, or, when running as
    // root (whom modes do not stop), as another user who owns configHome()
    // while the child runs.
    // Returns what `body` returned (0..255), or -2 when it took longer than
    // `limit` and was killed.
    int AsOrdinaryUser(const std::function<int()>& body,
                       std::chrono::milliseconds limit = std::chrono::seconds(60));

  private:
    std::string root_;
};

std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);  // makes the folders
bool Exists(const std::string& path);
std::vector<std::string> ListFolder(const std::string& folder);

// Gives up root for another user (nobody); false when not root or refused.
bool BecomeAnotherUser();

// Runs `body` in a child process started now; Join() waits and returns its
// exit code (what `body` returned).
class Child {
  public:
    explicit Child(const std::function<int()>& body);
    int Join();
    // As Join, but a child still running after `limit` is killed: -2.
    int JoinWithin(std::chrono::milliseconds limit);
    void Kill();

  private:
    int pid_ = -1;
};

}  // namespace ww::platform::test
