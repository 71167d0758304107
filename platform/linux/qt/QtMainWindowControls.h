#pragma once

#include <QWidget>
#include <map>

#include "platform/ports/MainWindow.h"

namespace ww::platform {

class QtMainWindowWidget;

// One control of the built window: its layout (twips; the left edge follows
// SetLeft) and the widget showing it.
struct BuiltControl {
    ControlLayout layout;
    QWidget* widget = nullptr;
};

using BuiltControls = std::map<MainControl, BuiltControl>;

// Builds the layout's controls inside `window` at `dotsPerInch`: tab control,
// frames, panels, fields, labels, links, check boxes, buttons (Enter, Escape
// and tab order set on the window), the icon picture and the rules.
// Containers are built before what they hold, whatever the layout's order.
BuiltControls BuildMainWindowControls(QtMainWindowWidget& window,
                                      const MainWindowLayout& windowLayout, double dotsPerInch);

// Puts a control where its layout says, sized to its text when it sizes
// itself.
void PlaceControl(const BuiltControl& control, double dotsPerInch);

}  // namespace ww::platform
