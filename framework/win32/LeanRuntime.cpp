// Two parts of the C++ library replaced by our own, which would bloat a
// program built without exceptions.
//
// The program makes its objects with new (std::nothrow) and checks the
// result. The library's version of that operator catches an exception inside,
// which alone links the whole exception machinery; this one takes its place.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size != 0 ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size != 0 ? size : 1);
}

// The library's converter of decimal numbers carries unwinding tables, which
// bring in the termination handler; the library's handler prints the
// demangled name of an exception type, and its demangler alone is some 40 KB.
// Nothing here throws, so ending at once is all a handler has to do.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
