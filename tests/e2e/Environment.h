#pragma once

#include <map>
#include <string>
#include <vector>

namespace ww::e2e {

// An environment for a child process, built from this process's own.
class Environment {
  public:
    // This process's environment without what would tie a child to the
    // developer's desktop session (display, session bus, Qt platform choice,
    // XDG directories).
    static Environment Clean();

    void Set(const std::string& name, const std::string& value) { vars_[name] = value; }
    void Unset(const std::string& name) { vars_.erase(name); }
    std::string Get(const std::string& name) const;

    // "NAME=value" entries for posix_spawn.
    std::vector<std::string> Entries() const;

  private:
    std::map<std::string, std::string> vars_;
};

// A private directory, removed with everything in it unless Keep() was called.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Creates (mode 0700) and returns Path()/name.
    std::string Sub(const std::string& name) const;
    void Keep() { keep_ = true; }

  private:
    std::string path_;
    bool keep_ = false;
};

}  // namespace ww::e2e
