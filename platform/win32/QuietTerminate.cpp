// The released wakewatch.exe has no console, so the standard library's
// verbose terminate handler would describe an uncaught exception to nobody;
// it also links the whole C++ name demangler in (about a tenth of the
// program). Defined here, the library's own is never linked, and terminate
// ends the program as it would anyway.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
