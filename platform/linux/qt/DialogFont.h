#pragma once

#include <QFont>
#include <QStringList>
#include <string>

namespace ww::platform {

// The window's font: `family` at `points` when it is installed; otherwise the
// installed sans-serif face nearest to it. the layout's face is a narrow
// humanist sans, and the controls were laid out for its widths, so a
// condensed face of the Verdana line is preferred over a wide one.
QFont ChooseDialogFont(const std::string& family, double points);

// The families tried after `family`, in order.
QStringList DialogFontFallbacks();

}  // namespace ww::platform
