#include "platform/linux/shell/LinuxShell.h"

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <cstdlib>

#include "platform/linux/saver/SaverSettingsTool.h"
#include "platform/linux/shell/ProgramRun.h"

namespace ww::platform {
namespace {

constexpr std::intptr_t kOpened = 33;
constexpr std::intptr_t kFileNotFound = 2;
constexpr std::intptr_t kNoAssociation = 31;
constexpr const char* kDefaultPath = "/usr/local/bin:/usr/bin:/bin";

std::string Environment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : fallback;
}

std::string Describe(const ToolCommand& command) {
    std::string text = command.program;
    for (const std::string& argument : command.arguments) {
        text += ' ';
        text += argument;
    }
    return text;
}

// The started program's pid, or 0 when it did not start.
qint64 StartDetached(const ToolCommand& command) {
    QStringList arguments;
    for (const std::string& argument : command.arguments) {
        arguments << QString::fromStdString(argument);
    }
    qint64 pid = 0;
    return QProcess::startDetached(QString::fromStdString(command.program), arguments, QString(),
                                   &pid)
               ? pid
               : 0;
}

// Whether the process behind `pidfd` still runs: the descriptor reads once
// it has ended, and unlike a pid it never names another process.
bool StillRuns(int pidfd) {
    pollfd watch{pidfd, POLLIN, 0};
    return poll(&watch, 1, 0) == 0;
}

}  // namespace

LinuxShell::~LinuxShell() {
    if (toolPidfd_ >= 0) {
        ::close(toolPidfd_);
    }
}

LinuxShell::LinuxShell(Trace& trace) : LinuxShell(trace, Options{}) {}

LinuxShell::LinuxShell(Trace& trace, Options options)
    : trace_(trace), options_(std::move(options)) {}

std::optional<ToolCommand> LinuxShell::SettingsTool() const {
    return FindSaverSettingsTool(SearchPath(),
                                 options_.desktops.value_or(Environment("XDG_CURRENT_DESKTOP", "")),
                                 options_.saver ? options_.saver() : StartWay::XServer);
}

bool LinuxShell::CanOpenScreenSaverSettings() {
    return SettingsTool().has_value();
}

bool LinuxShell::OpenScreenSaverSettings() {
    // One settings tool at a time: the one started before still has its window.
    if (toolPidfd_ >= 0 && StillRuns(toolPidfd_)) {
        trace_.Write("shell start running \"screen-saver settings\"");
        return true;
    }
    if (toolPidfd_ >= 0) {
        ::close(toolPidfd_);
        toolPidfd_ = -1;
    }
    const std::optional<ToolCommand> command = SettingsTool();
    const qint64 pid = command ? StartDetached(*command) : 0;
    const bool started = pid > 0;
    if (started) {
        // Not our child (it runs detached), but a pidfd still tells its end.
        toolPidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
    }
    if (trace_.Enabled()) {
        trace_.Write(std::string("shell start ") + (started ? "ok " : "fail ") +
                     "\"screen-saver settings\" " +
                     Trace::Quote(command ? Describe(*command) : std::string()));
    }
    return started;
}

std::intptr_t LinuxShell::ShellExecuteA(Hwnd, std::string_view verb, std::string_view file,
                                        std::string_view, std::string_view, int) {
    const bool open =
        verb.empty() || QString::fromUtf8(verb.data(), static_cast<qsizetype>(verb.size()))
                                .compare(QLatin1String("open"), Qt::CaseInsensitive) == 0;
    const std::intptr_t result = open ? Open(std::string(file)) : kNoAssociation;
    if (trace_.Enabled()) {
        trace_.Write("shell open " + Trace::Quote(file) + " " + std::to_string(result));
    }
    return result;
}

std::intptr_t LinuxShell::Open(const std::string& file) {
    if (file.empty()) {
        return kFileNotFound;
    }
    const std::string opener = FindExecutable(SearchPath(), "xdg-open");
    if (opener.empty()) {
        if (options_.desktopServicesFallback &&
            QDesktopServices::openUrl(QUrl(QString::fromStdString(file)))) {
            return kOpened;
        }
        return kFileNotFound;
    }
    const ProgramOutcome outcome = RunForAnswer(opener, {file}, options_.openWait);
    switch (outcome.state) {
        case ProgramOutcome::State::Running:
            return kOpened;
        case ProgramOutcome::State::Exited:
            if (outcome.exitCode == 0) {
                return kOpened;
            }
            return outcome.exitCode == 2 ? kFileNotFound : kNoAssociation;
        case ProgramOutcome::State::NotStarted:
            return kFileNotFound;
        case ProgramOutcome::State::Killed:
            break;
    }
    return kNoAssociation;
}

std::string LinuxShell::SearchPath() const {
    return options_.searchPath.value_or(Environment("PATH", kDefaultPath));
}

}  // namespace ww::platform
