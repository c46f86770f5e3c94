// The exe's terminate handler when built with GCC's C++ library. Its default
// one prints the uncaught exception's type, demangled, to stderr, which a GUI
// program does not have; the demangler behind it was some 46 KB of the exe.
// Defining the handler here keeps that part of the library out of the link,
// and an uncaught exception still ends the program the same way, by abort.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
