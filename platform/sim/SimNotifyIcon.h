#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/common/WindowTable.h"
#include "platform/ports/NotifyIcon.h"
#include "platform/sim/SimForms.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// The notification area. Icons are keyed by (hWnd, uID). An add fails when
// the icon is already there or the tray host is absent; modify and delete fail
// when the icon is not there.
class SimNotifyIcon : public NotifyIcon {
  public:
    struct TrayIcon {
        HIcon hIcon = 0;
        std::string tip;
        std::uint32_t callbackMessage = 0;
    };

    struct Request {
        std::uint32_t message = 0;  // nim::kAdd / kModify / kDelete
        NotifyIconData data;        // the full 88-byte record as passed
        bool succeeded = false;
    };

    using IconKey = std::pair<Hwnd, std::uint32_t>;

    SimNotifyIcon(SimLog& log, WindowTable& table, SimForms& forms)
        : log_(log), table_(table), forms_(forms) {}

    bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override;
    HIcon CreateIconFromImage(const IconImage& image) override;

    // --- control ---
    const std::map<IconKey, TrayIcon>& Icons() const { return icons_; }
    const TrayIcon* Icon(Hwnd window, std::uint32_t id) const;
    // The only icon, or null when there is none or more than one.
    const TrayIcon* OnlyIcon() const;
    const std::vector<Request>& Requests() const { return requests_; }
    // Forgets the request history (long runs keep it from growing).
    void ClearRequests() { requests_.clear(); }

    // The next request (of `message` kind only, when given) fails and changes nothing.
    void FailNext(std::optional<std::uint32_t> message = std::nullopt) {
        failNext_ = message;
        failArmed_ = true;
    }

    // Icons vanish (the host lost them); the host stays, so adds succeed.
    void LoseIcons() { icons_.clear(); }
    // Without a host every request fails; going absent also loses the icons.
    void SetHostPresent(bool present);
    bool HostPresent() const { return hostPresent_; }

    // The taskbar comes back: icons cleared, host present, then the registered
    // "TaskbarCreated" message is sent to every live tray form window.
    void RestartTaskbar();

    // A mouse action on the icon: its callback message goes to its window,
    // wParam = uID and lParam = `code` (0x203 double click, 0x204 right press).
    // Uses the only icon, or the given one; false when there is no such icon.
    bool ClickIcon(std::intptr_t code);
    bool ClickIcon(Hwnd window, std::uint32_t id, std::intptr_t code);

    // The image an icon handle was made from; null for an unknown handle.
    const IconImage* Image(HIcon icon) const;
    void SetIconCreationFails(bool fails) { iconFails_ = fails; }

  private:
    bool Apply(std::uint32_t message, const NotifyIconData& data);

    SimLog& log_;
    WindowTable& table_;
    SimForms& forms_;
    std::map<IconKey, TrayIcon> icons_;
    std::vector<Request> requests_;
    std::map<HIcon, IconImage> images_;
    HIcon lastIcon_ = 0x2000;
    bool hostPresent_ = true;
    bool failArmed_ = false;
    std::optional<std::uint32_t> failNext_;
    bool iconFails_ = false;
};

}  // namespace ww::platform
