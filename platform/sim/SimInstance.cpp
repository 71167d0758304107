#include "platform/sim/SimInstance.h"

namespace ww::platform {

bool SimInstance::PrevInstance() {
    log_.Add("PrevInstance");
    return prevInstance_;
}

Handle SimInstance::CreateMutexA(bool initialOwner, std::string_view name) {
    log_.Add("CreateMutexA(" + std::string(name) + ")");
    Handle handle = mutexFails_ ? 0 : ++lastHandle_;
    mutexes_.push_back({std::string(name), initialOwner, handle});
    return handle;
}

}  // namespace ww::platform
