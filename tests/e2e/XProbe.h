#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Xlib's Display and Window without its macros in every test file.
struct _XDisplay;

namespace ww::e2e {

using XWindow = unsigned long;

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int CentreX() const { return x + width / 2; }
    int CentreY() const { return y + height / 2; }
};

// Read-only look at an X server, as a user would see it: windows, their names,
// owners and places, the pixels on screen, and the screen-saver settings.
// Windows may vanish between two calls; every query then answers "nothing".
class XProbe {
  public:
    // Throws std::runtime_error when the display cannot be opened.
    explicit XProbe(const std::string& display);
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    XWindow Root() const;
    std::vector<XWindow> Children(XWindow window) const;
    // Every window below window, depth first.
    std::vector<XWindow> Descendants(XWindow window) const;

    // _NET_WM_NAME, or WM_NAME when that is missing.
    std::string Name(XWindow window) const;
    // WM_CLASS as "instance.class".
    std::string Class(XWindow window) const;
    std::optional<pid_t> Pid(XWindow window) const;
    bool HasProperty(XWindow window, const char* name) const;

    std::optional<Rect> RootGeometry(XWindow window) const;
    bool Viewable(XWindow window) const;
    bool OverrideRedirect(XWindow window) const;

    // Viewable windows anywhere in the tree carrying this name.
    std::vector<XWindow> FindByName(const std::string& name) const;
    // Viewable top-level windows owned by pid (pid 0: any owner).
    std::vector<XWindow> TopLevelsOf(pid_t pid) const;
    // Viewable override-redirect top-level windows (tooltips, menus).
    std::vector<XWindow> OverrideRedirectWindows() const;

    // The owner of the system tray selection of screen 0; 0 when there is none.
    XWindow TraySelectionOwner() const;
    // The tray host's visible panel: the viewable top-level of trayer; 0 if none.
    XWindow TrayPanel() const;
    // XEmbed clients docked below the panel.
    std::vector<XWindow> DockedClients(XWindow panel) const;

    // Pixels of the screen in rect as 0xRRGGBB, row by row; empty on failure.
    std::vector<std::uint32_t> Pixels(const Rect& rect) const;

    // XGetScreenSaver's timeout in seconds.
    int SaverTimeout() const;
    // XScreenSaverQueryInfo's state: 0 off, 1 on, 3 disabled; -1 without the extension.
    int SaverState() const;

  private:
    unsigned long Atom(const char* name) const;
    std::vector<unsigned char> Property(XWindow window, const char* name,
                                        unsigned long* type = nullptr, int* format = nullptr) const;

    _XDisplay* display_ = nullptr;
};

}  // namespace ww::e2e
