#pragma once

#include <string>
#include <vector>

#include "platform/ports/Shell.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// Starting programs and opening links, recorded instead of done. Opening
// answers 42 (success) and the screen-saver settings open unless told
// otherwise.
class SimShell : public Shell {
  public:
    struct ExecuteRecord {
        Hwnd owner = 0;
        std::string verb;
        std::string file;
        std::string parameters;
        std::string directory;
        int showCommand = 0;
    };
    explicit SimShell(SimLog& log) : log_(log) {}

    bool OpenScreenSaverSettings() override;
    bool CanOpenScreenSaverSettings() override { return !noSettings_; }
    std::intptr_t ShellExecuteA(Hwnd owner, std::string_view verb, std::string_view file,
                                std::string_view parameters, std::string_view directory,
                                int showCommand) override;

    // --- control ---
    void SetExecuteResult(std::intptr_t result) { executeResult_ = result; }
    void SetOpenSettingsFails(bool fails) { openSettingsFails_ = fails; }
    // The saver in use has no settings tool at all.
    void SetNoSettings(bool none) { noSettings_ = none; }
    const std::vector<ExecuteRecord>& Executed() const { return executed_; }
    // How often the screen-saver settings were opened.
    int SettingsOpened() const { return settingsOpened_; }

  private:
    SimLog& log_;
    std::intptr_t executeResult_ = 42;
    bool openSettingsFails_ = false;
    bool noSettings_ = false;
    int settingsOpened_ = 0;
    std::vector<ExecuteRecord> executed_;
};

}  // namespace ww::platform
