#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <set>
#include <string>

#include "platform/common/RegDocument.h"
#include "platform/common/TextParseError.h"

namespace ww::platform {

// Says once per file and problem, on the stream given, that a settings file
// cannot be parsed and is left alone.
class ParseReporter {
  public:
    explicit ParseReporter(std::ostream& out) : out_(out) {}
    void Report(const std::string& path, const TextParseError& error);
    // The same for a file that is no file to read at all (`why`).
    void ReportUnfit(const std::string& path, const std::string& why);
    // Says, each time, why a write was refused.
    void ReportRefusal(const std::string& path, const std::string& why);

  private:
    void Say(const std::string& path, const std::string& problem);

    std::ostream& out_;
    std::set<std::string> reported_;
};

// Error codes beyond the ports' own, as Windows numbers them.
inline constexpr std::int32_t kErrorWriteFault = 29;
inline constexpr std::int32_t kErrorReadFault = 30;
inline constexpr std::int32_t kErrorInvalidParameter = 87;

// A Windows error code for an errno of a file operation.
std::int32_t WinErrorOf(int error, bool writing);

// One .reg file holding one root. Every call reads the file afresh, so
// changes made by other processes are seen at once.
class RegFile {
  public:
    // `shared` files (the machine's) are made readable by everyone.
    RegFile(std::string path, std::string rootName, bool shared, ParseReporter& reporter);

    // The file as it is now; a missing file is an empty document, and so
    // is a `shared` one this user may not read (the user's own copy then
    // stands alone). kInvalidData when it cannot be parsed or is no regular
    // file of at most 1 MiB.
    std::int32_t Load(RegDocument& document) const;

    // Under the file's lock: loads the file, applies `change` and, when
    // it answered kSuccess and changed something, replaces the file whole.
    // kAccessDenied when the rights to write are lacking; a file that
    // cannot be parsed is left untouched (kInvalidData).
    std::int32_t Update(const std::function<std::int32_t(RegDocument&)>& change);

    const std::string& path() const { return path_; }

  private:
    // As Load, but a file that cannot be read is an error: writing over it
    // would lose what it holds.
    std::int32_t LoadExisting(RegDocument& document) const;

    std::string path_;
    std::string rootName_;
    bool shared_;
    mode_t directoryMode_;
    ParseReporter& reporter_;
};

// The autostart desktop entry that stands in for a Run value. The value's
// text is the program path in Exec=. An entry switched off (Hidden=true,
// X-GNOME-Autostart-enabled=false or X-MATE-Autostart-enabled=false, as
// desktops write to turn a system entry off for one user) is absent.
class AutostartFile {
  public:
    AutostartFile(std::string path, std::string name, bool shared, ParseReporter& reporter);

    // kSuccess with the text; kFileNotFound when absent; kInvalidData.
    std::int32_t Read(std::string& text) const;
    // Creates the entry or sets its Exec= to `text` quoted as one argument
    // (a text in double quotes, the Windows way of quoting a path with
    // blanks, is that path), keeping the file's other lines. A `shared`
    // entry starts the program for everybody: it is refused (kAccessDenied,
    // and the reason said) unless only root can change the program.
    std::int32_t Write(const std::string& text);
    std::int32_t Remove();

  private:
    std::string path_;
    std::string name_;
    bool shared_;
    mode_t directoryMode_;
    ParseReporter& reporter_;
};

}  // namespace ww::platform
