#pragma once

#include <sys/types.h>

#include <string>

namespace ww::platform {

// An exclusive advisory lock (flock) for one read-modify-write of the file
// at `path`, held on ".<name>.lock" beside it. Readers take no lock: a file
// is only ever replaced whole by rename, so they see the old or the new one.
//
// The lock file is made 0600 and must belong to this user, so no other user
// can open it, let alone hold it: flock needs no write access, so locking
// anything others may read (the folder itself, a 0644 file) would let any
// local user stop every write here for good. A lock still held by another
// of this user's processes is waited for about two seconds, then the write
// fails. A folder this user may not write is refused at once, with no wait.
// Locks do not nest: a second one on the same file in this process waits
// for the first and fails.
class FileLock {
  public:
    // With `createFolders`, missing folders above `path` are made first
    // (with `folderMode`).
    FileLock(const std::string& path, bool createFolders, mode_t folderMode);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    int error() const { return error_; }  // 0 when held
    // Why it was refused when the folder is not this user's own (see
    // WhyNotOwnFolder); empty otherwise.
    const std::string& why() const { return why_; }

    // ".<name>.lock" beside `path`.
    static std::string LockPathOf(const std::string& path);

  private:
    // One attempt: 0 when held, EWOULDBLOCK while another holds it, or errno.
    int TryOnce();

    std::string lockPath_;
    int fd_ = -1;
    int error_ = 0;
    std::string why_;
};

}  // namespace ww::platform
