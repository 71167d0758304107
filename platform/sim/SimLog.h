#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ww::platform {

// The ordered record of every port call the simulated backend received, one
// line per call, so a test can state "start-up made these calls in this order".
// Steering calls of the control API are not logged.
//
// Line format: the Windows name of the call, then its arguments in brackets
// when it has any that matter. Numbers are decimal unless noted, texts are in
// double quotes with \ " CR LF escaped as \\ \" \r \n; key paths, value and
// message names stand bare.
//
//   Clock           QueryPerformanceCounter | QueryPerformanceFrequency | GetTickCount | Now
//   Locale          MonthAbbreviation(3) | ThousandsSeparator
//   SystemIdentity  GetVersionExA | GetComputerNameA(256)            (buffer size on entry)
//   NotifyIcon      Shell_NotifyIconA(NIM_MODIFY, hWnd=258, uID=9999, uFlags=4,
//                       uCallbackMessage=0, hIcon=0, szTip="OFFICE7 up for 0 days, 0:00:01")
//                   (NIM_ADD / NIM_MODIFY / NIM_DELETE, or the number; one line)
//                   CreateIconFromImage(16)                            (image size)
//   WindowMessages  RegisterWindowMessageA(TaskbarCreated) | SetWindowLongA(258, -4)
//                   CallWindowProcA(258, 512, 0, 515) | SendMessageA(258, 513, 0, 0)
//                   SetForegroundWindow(258)
//   Instance        PrevInstance | CreateMutexA(Global\Wakewatch)
//   Application     App | Command
//   EventLoop       SetTimer(400) | KillTimer(1) | DoEvents | End
//   Dialogs         MsgBox("text", 48, "Wakewatch")
//   Forms           CreateTrayForm | DestroyTrayForm | TwipsPerPixelX
//   Registry        RegOpenKeyA(HKLM, Software\Wakewatch\Settings) | RegCreateKeyA(HKCU, path)
//                   (the key is HKCU, HKLM or the decimal handle of an opened key)
//                   RegQueryValueExA(HotCorners) | RegSetValueExA(HotCorners, 4, 4) (type, size)
//                   RegDeleteKeyA(HKCU, path) | RegDeleteValueA(name) | RegCloseKey
//   InterfaceTable  GetIfTable
//   Memory          GlobalMemoryStatusEx | GlobalMemoryStatus | GetCurrentProcessId
//                   OpenProcess(0x1F0FFF, 0, 4242) | SetProcessWorkingSetSize(-1, -1)
//                   CloseHandle(5)
//   SystemParams    SystemParametersInfoA(17, 0, &0, 3) | SystemParametersInfoA(17, 1, null, 0)
//                   (pvParam as "&" and the value it points at on entry, or null)
//                   StartScreenSaver
//   CursorScreen    GetSystemMetrics(0) | GetCursorPos
//   ProcessorLoad   GetSystemInfo | QueryProcessorSample
//                   StartStatistic | OpenStatisticData | ReadStatistic
//                   CloseStatisticData | StopStatistic
//                   (one line per port call; the Windows calls behind a 95/98/Me
//                   statistic step are not listed one by one)
//   Shell           ShellExecuteA(0, open, "mailto:a@b?subject=Wakewatch 1.5.1", "", "1", 1)
//                   OpenScreenSaverSettings()
//   TrayMenu        CreateMenu(9, 1) (item count, default id) | SetItemState(3, 1, 0)
//                   (id, checked, enabled) | PopupMenu
//   MainWindowView  CreateMainWindow | DestroyMainWindow | ShowMainWindow | HideMainWindow
//                   SetWindowState(1) (0 normal, 1 minimised) | SetText(txtUptime, "text")
//                   SetCheck(chkHotCorners, 1) | SetLeft(lblWebsite, 870)
//                   SetBackColorButtonFace(txtUptime) | SetMousePointer(Hand)
//                   SetApplicationMousePointer(Hourglass) | InitCommonControlsEx(8, 0x200)
//                   (what changes the window; its Get... reads are not logged)
class SimLog {
  public:
    void Add(std::string entry) { entries_.push_back(std::move(entry)); }

    const std::vector<std::string>& Entries() const { return entries_; }

    void Clear() { entries_.clear(); }

    // The entries that start with `prefix`, in order, e.g. WithPrefix("Reg").
    std::vector<std::string> WithPrefix(std::string_view prefix) const;

    // How many entries start with `prefix`.
    std::size_t Count(std::string_view prefix) const;

    // `text` in double quotes with backslash, quote, CR and LF escaped.
    static std::string Quote(std::string_view text);

  private:
    std::vector<std::string> entries_;
};

}  // namespace ww::platform
