#pragma once

#include <string_view>

#include "platform/ports/Types.h"

namespace ww::platform {

// Whether this program already runs, and the named objects that tell others so.
class Instance {
  public:
    virtual ~Instance() = default;

    // The run-time's previous-instance query: true when another instance of
    // this program runs for the same logged-on user. When it answers false,
    // this process is from then on the instance later queries find.
    virtual bool PrevInstance() = 0;

    // CreateMutexA(no security attributes, initialOwner, name): creates (or
    // opens) the named object; a name starting "Global\" is machine-wide, any
    // other is local to the logon session. The object exists while any handle
    // to it is open; handles are closed when the process ends. 0 on failure.
    virtual Handle CreateMutexA(bool initialOwner, std::string_view name) = 0;
};

}  // namespace ww::platform
