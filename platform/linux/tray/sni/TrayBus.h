#pragma once

#include <QDBusConnection>

namespace ww::platform {

// The session bus as the tray icon uses it. QtDBus keeps its session bus
// connection once the bus has dropped it (a bus restart, or a bus that cuts
// off a client sending too much) and never connects it again; so after a
// loss the tray connects anew with a connection of its own, which every part
// of the tray then uses.
QDBusConnection TrayBus();

// Connects to the session bus anew; false while there is none to connect to.
bool ReconnectTrayBus();

}  // namespace ww::platform
