#include "platform/linux/store/StoreFiles.h"

#include <cerrno>
#include <optional>
#include <ostream>
#include <string>
#include <variant>

#include "platform/formats/DesktopEntry.h"
#include "platform/formats/DesktopExec.h"
#include "platform/formats/RegText.h"
#include "platform/linux/store/AtomicFile.h"
#include "platform/linux/store/FileLock.h"
#include "platform/linux/store/TrustedProgram.h"
#include "platform/ports/Registry.h"

namespace ww::platform {
namespace {

constexpr mode_t kFileMode = 0644;

// The user's own folders stay private, as the XDG rules ask.
mode_t DirectoryMode(bool shared) {
    return shared ? 0755 : 0700;
}

// The entry's Exec= as text: the single argument, or the whole command
// line when it holds more than one (or cannot be split).
std::string ExecText(const std::string& value) {
    const auto unescaped = UnescapeDesktopValue(value);
    if (!unescaped) {
        return value;
    }
    const auto arguments = SplitExecArguments(*unescaped);
    return arguments && arguments->size() == 1 ? arguments->front() : *unescaped;
}

// The one argument Exec= gets for a Run value's text. The program writes its
// path between double quotes, as a Windows command line would have it; the
// quotes go, whatever the path between them holds (a Linux path may hold a
// quote too). Any other text is the program path as it stands, blanks and all.
std::string ExecArgument(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

// A boolean as GLib reads one: "true" or "1", "false" or "0", nothing else
// (not "True", not "yes").
std::optional<bool> DesktopBoolean(const std::optional<std::string>& value) {
    if (value == "true" || value == "1") {
        return true;
    }
    if (value == "false" || value == "0") {
        return false;
    }
    return std::nullopt;
}

// Desktops switch a system entry off for one user with a copy of it in the
// user's autostart folder: Hidden=true, or their own key set to false. The
// sessions count their key as off unless it reads as true.
constexpr const char* kSwitchOffKeys[] = {"X-GNOME-Autostart-enabled", "X-MATE-Autostart-enabled"};

bool IsSwitchedOff(const DesktopEntry& entry) {
    if (DesktopBoolean(entry.Get("Hidden")) == true) {
        return true;
    }
    for (const char* key : kSwitchOffKeys) {
        const auto enabled = entry.Get(key);
        if (enabled && DesktopBoolean(enabled) != true) {
            return true;
        }
    }
    return false;
}

// The answer to a write's errno, and what it was refused for said.
std::int32_t Refused(int error, const std::string& why, const std::string& path,
                     ParseReporter& reporter) {
    if (!why.empty()) {
        reporter.ReportRefusal(path, why);
    }
    return WinErrorOf(error, true);
}

}  // namespace

void ParseReporter::Report(const std::string& path, const TextParseError& error) {
    Say(path, ":" + std::to_string(error.line) + ": " + error.message);
}

void ParseReporter::ReportUnfit(const std::string& path, const std::string& why) {
    Say(path, ": " + why);
}

void ParseReporter::ReportRefusal(const std::string& path, const std::string& why) {
    out_ << "Wakewatch: " << path << " not written: " << why << std::endl;
}

void ParseReporter::Say(const std::string& path, const std::string& problem) {
    // Once per problem: the same one again at every read would flood
    // stderr, but a different one (the user edited the file) is news.
    if (reported_.insert(path + '\n' + problem).second) {
        out_ << "Wakewatch: " << path << problem
             << "; the file is not used and will not be overwritten" << std::endl;
    }
}

std::int32_t WinErrorOf(int error, bool writing) {
    if (error == 0) {
        return winerr::kSuccess;
    }
    if (IsRefusal(error)) {
        return winerr::kAccessDenied;
    }
    return writing ? kErrorWriteFault : kErrorReadFault;
}

RegFile::RegFile(std::string path, std::string rootName, bool shared, ParseReporter& reporter)
    : path_(std::move(path)),
      rootName_(std::move(rootName)),
      shared_(shared),
      directoryMode_(DirectoryMode(shared)),
      reporter_(reporter) {}

std::int32_t RegFile::Load(RegDocument& document) const {
    const std::int32_t result = LoadExisting(document);
    if (result == winerr::kAccessDenied && shared_) {
        document = RegDocument{};  // as if it were not there; writes go elsewhere too
        return winerr::kSuccess;
    }
    return result;
}

std::int32_t RegFile::LoadExisting(RegDocument& document) const {
    const FileContent content = ReadWholeFile(path_);
    if (!content.unfit.empty()) {
        reporter_.ReportUnfit(path_, content.unfit);
        return winerr::kInvalidData;
    }
    if (content.error != 0) {
        return WinErrorOf(content.error, false);
    }
    auto parsed = ParseRegText(content.text, rootName_);
    if (const auto* error = std::get_if<TextParseError>(&parsed)) {
        reporter_.Report(path_, *error);
        return winerr::kInvalidData;
    }
    document = std::get<RegDocument>(std::move(parsed));
    return winerr::kSuccess;
}

std::int32_t RegFile::Update(const std::function<std::int32_t(RegDocument&)>& change) {
    const FileLock lock(path_, true, directoryMode_);
    if (lock.error() != 0) {
        return Refused(lock.error(), lock.why(), path_, reporter_);
    }
    RegDocument document;
    if (const std::int32_t error = LoadExisting(document)) {
        return error;
    }
    const std::string before = FormatRegText(document, rootName_);
    if (const std::int32_t error = change(document)) {
        return error;
    }
    const std::string after = FormatRegText(document, rootName_);
    if (after == before) {
        return winerr::kSuccess;  // nothing to write; the file keeps its own layout
    }
    std::string why;
    return Refused(ReplaceFile(path_, after, kFileMode, &why), why, path_, reporter_);
}

AutostartFile::AutostartFile(std::string path, std::string name, bool shared,
                             ParseReporter& reporter)
    : path_(std::move(path)),
      name_(std::move(name)),
      shared_(shared),
      directoryMode_(DirectoryMode(shared)),
      reporter_(reporter) {}

std::int32_t AutostartFile::Read(std::string& text) const {
    const FileContent content = ReadWholeFile(path_);
    if (!content.unfit.empty()) {
        reporter_.ReportUnfit(path_, content.unfit);
        return winerr::kInvalidData;
    }
    if (content.error != 0) {
        return WinErrorOf(content.error, false);
    }
    if (!content.exists) {
        return winerr::kFileNotFound;
    }
    auto parsed = DesktopEntry::Parse(content.text);
    if (const auto* error = std::get_if<TextParseError>(&parsed)) {
        reporter_.Report(path_, *error);
        return winerr::kInvalidData;
    }
    const auto& entry = std::get<DesktopEntry>(parsed);
    if (IsSwitchedOff(entry)) {
        return winerr::kFileNotFound;  // and so never deleted: the user's choice stays
    }
    text = ExecText(entry.Get("Exec").value_or(""));
    return winerr::kSuccess;
}

std::int32_t AutostartFile::Write(const std::string& text) {
    const FileLock lock(path_, true, directoryMode_);
    if (lock.error() != 0) {
        return Refused(lock.error(), lock.why(), path_, reporter_);
    }
    const FileContent content = ReadWholeFile(path_);
    if (!content.unfit.empty()) {
        reporter_.ReportUnfit(path_, content.unfit);
        return winerr::kInvalidData;
    }
    if (content.error != 0) {
        return WinErrorOf(content.error, false);
    }
    DesktopEntry entry;
    if (content.exists) {
        auto parsed = DesktopEntry::Parse(content.text);
        if (const auto* error = std::get_if<TextParseError>(&parsed)) {
            reporter_.Report(path_, *error);
            return winerr::kInvalidData;
        }
        entry = std::get<DesktopEntry>(std::move(parsed));
    } else {
        entry.Set("Type", "Application");
        entry.Set("Name", EscapeDesktopValue(name_));
    }
    const std::string program = ExecArgument(text);
    if (shared_) {
        if (const auto why = WhyNotTrusted(program)) {
            reporter_.ReportRefusal(path_, *why +
                                               ", so someone other than root could change the "
                                               "program and have it run in every user's session");
            return winerr::kAccessDenied;
        }
    }
    entry.Set("Exec", EscapeDesktopValue(JoinExecArguments({program})));
    // An entry this program writes is meant to run.
    entry.Remove("Hidden");
    for (const char* key : kSwitchOffKeys) {
        entry.Remove(key);
    }
    std::string why;
    return Refused(ReplaceFile(path_, entry.Text(), kFileMode, &why), why, path_, reporter_);
}

std::int32_t AutostartFile::Remove() {
    // Absent, hidden or unreadable: nothing of ours to delete, and no need
    // for the rights to write there.
    std::string text;
    if (const std::int32_t error = Read(text)) {
        return error;
    }
    const FileLock lock(path_, false, directoryMode_);
    if (lock.error() != 0) {
        return Refused(lock.error(), lock.why(), path_, reporter_);
    }
    if (const std::int32_t error = Read(text)) {
        return error;  // gone or changed meanwhile
    }
    return WinErrorOf(RemoveFile(path_), true);
}

}  // namespace ww::platform
