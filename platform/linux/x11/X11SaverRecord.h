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

    // What a record whose owner is gone leaves to put back while the
    // server's timeout is still 0: the timeout it names, or, when that is
    // none the X protocol can carry (1..32767 s), `recorded` alone.
    struct Leftover {
        std::optional<int> timeout;
        unsigned long recorded = 0;
    };
    // A record whose owner is gone is removed, and what it leaves to put back
    // returned. A record whose owner lives is another running instance's and stays.
    std::optional<Leftover> TakeLeftover();

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
