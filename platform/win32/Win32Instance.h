#pragma once

#include <string>
#include <vector>

#include "platform/ports/Instance.h"

namespace ww::platform {

// The previous-instance query and named mutexes, over kernel32's named
// objects. The instance is a mutex named after the program and the logged-on
// user, held by the process that first asked; a plain (not "Global\") name is
// per logon session where sessions exist, so one user's sessions, and other
// users, each run their own copy.
class Win32Instance final : public Instance {
  public:
    // `marker` names the instance mutex; the default is the program's own.
    explicit Win32Instance(std::string marker = DefaultMarker());
    ~Win32Instance() override;
    Win32Instance(const Win32Instance&) = delete;
    Win32Instance& operator=(const Win32Instance&) = delete;

    bool PrevInstance() override;
    // The name is UTF-8 and may start "Global\" or "Local\". The handle is
    // closed with this object, that is when the program ends.
    Handle CreateMutexA(bool initialOwner, std::string_view name) override;

    // "Wakewatch.Instance." and the logged-on user's name.
    static std::string DefaultMarker();

  private:
    std::string marker_;
    void* held_ = nullptr;  // the instance mutex, once this process is the instance
    std::vector<void*> mutexes_;
};

}  // namespace ww::platform
