#pragma once

#include <optional>

struct _XDisplay;  // Display of Xlib, kept out of this header

namespace ww::platform {

// "Switched off by Wakewatch, old timeout N", kept on the root window while
// this program holds the X saver off: the property _WAKEWATCH_SAVER_OFF, two
// CARDINALs, the timeout to put back and the window that owns the record. The
// owner window is this connection's own and carries the same property naming
// itself, so an owner whose connection is gone (and any other client's window
// that later gets the same id) tells a record nobody will clear.
class X11SaverRecord {
  public:
    explicit X11SaverRecord(_XDisplay* display);
    ~X11SaverRecord();
    X11SaverRecord(const X11SaverRecord&) = delete;
    X11SaverRecord& operator=(const X11SaverRecord&) = delete;

    // A record whose owner is gone: the timeout it names when the server's
    // timeout is still 0 (what to put back), and the record is removed. A
    // record whose owner lives is another running instance's and stays.
    std::optional<int> TakeLeftover();

    void Write(int oldTimeout);
    void Erase();

    unsigned long Root() const { return root_; }
    unsigned long RecordAtom() const { return atom_; }

  private:
    bool OwnerAlive(unsigned long owner);

    _XDisplay* display_;
    unsigned long root_ = 0;
    unsigned long atom_ = 0;
    unsigned long owner_ = 0;  // made on the first Write
    bool written_ = false;
};

}  // namespace ww::platform
