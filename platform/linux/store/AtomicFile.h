#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ww::platform {

// What reading a whole file found. A missing file is not an error.
struct FileContent {
    int error = 0;  // errno of a failed read
    bool exists = false;
    std::string text;
    // Why a file that is there is not one to use (then `error` is EINVAL):
    // not a regular file, or larger than kMaxFileSize.
    std::string unfit;
};

inline constexpr std::size_t kMaxFileSize = 1024 * 1024;

// Reads a regular file of at most kMaxFileSize bytes. Anything else named
// `path` (a FIFO, a device, a folder) is neither read nor waited on.
FileContent ReadWholeFile(const std::string& path);

// Why this process may not write in `folder`: it writes only in folders the
// effective user owns, reached through no link another user made, so that
// root started with another user's folders (sudo -E) is not led to write
// where that user points it. Nothing when it may, or the folder is missing.
std::optional<std::string> WhyNotOwnFolder(const std::string& folder);

// Creates `directory` and any missing parents with exactly `mode`, whatever
// the umask; 0 or errno. A folder is made only inside one WhyNotOwnFolder
// allows; otherwise EACCES, with the reason in `why`.
int MakeDirectories(const std::string& directory, mode_t mode, std::string* why = nullptr);

// Writes `text` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`, so no reader ever sees part of it. An existing
// file keeps its permission bits; a new one gets `mode`. A symbolic link
// (as dotfile managers make) is written through: the file it leads to is
// replaced, beside itself, and the link stays. 0 or errno; on failure
// `path` is as it was and the temporary file is gone. After a success,
// temporary files that a killed write left beside it are removed too: the
// caller holds the file's lock, so none of them is still being written.
// A link, a file or a folder of another user on the way is neither followed
// nor written: EACCES, with the reason in `why`.
int ReplaceFile(const std::string& path, std::string_view text, mode_t mode,
                std::string* why = nullptr);

// 0 or errno.
int RemoveFile(const std::string& path);

// The directory part of `path` ("." when it has none).
std::string DirectoryOf(const std::string& path);

// Whether `error` means the user lacks the rights (rather than a fault).
bool IsRefusal(int error);

}  // namespace ww::platform
