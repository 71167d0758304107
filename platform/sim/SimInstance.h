#pragma once

#include <string>
#include <vector>

#include "platform/ports/Instance.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// The single-instance facts: whether another copy runs, and the mutexes made.
class SimInstance : public Instance {
  public:
    struct MutexRecord {
        std::string name;
        bool initialOwner = false;
        Handle handle = 0;  // 0 when creation failed
    };

    explicit SimInstance(SimLog& log) : log_(log) {}

    bool PrevInstance() override;
    Handle CreateMutexA(bool initialOwner, std::string_view name) override;

    // --- control ---
    void SetPrevInstance(bool running) { prevInstance_ = running; }
    void SetMutexCreationFails(bool fails) { mutexFails_ = fails; }
    const std::vector<MutexRecord>& Mutexes() const { return mutexes_; }

  private:
    SimLog& log_;
    bool prevInstance_ = false;
    bool mutexFails_ = false;
    Handle lastHandle_ = 0x40;
    std::vector<MutexRecord> mutexes_;
};

}  // namespace ww::platform
