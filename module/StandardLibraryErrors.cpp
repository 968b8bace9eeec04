// How the errors of GCC's C++ library are raised inside Tavrel.dll.
//
// libstdc++ reports a misuse of a string or container (a size beyond max_size(), a
// position past the end, a string made from a null pointer) by calling helpers such
// as std::__throw_length_error, which all live in one object file of libstdc++.a.
// That file builds std::length_error and its relatives, whose messages are held in
// the old copy-on-write std::string: linking it brings in both narrow string
// implementations and std::random_device (which shares their object file), about
// 80 KB of the DLL for code the library never runs. The library has no use for those
// exception types either: every COM method and window procedure ends in
// CatchToHresult (ComResource.h), which answers E_OUTOFMEMORY for std::bad_alloc and
// E_UNEXPECTED for anything else. So the DLL defines the helpers itself, and the
// linker takes these instead of the library's file:
//   - allocation failures still throw std::bad_alloc (std::bad_array_new_length for a
//     size that cannot even be computed), so they still answer E_OUTOFMEMORY;
//   - bad_cast, bad_typeid and bad_exception still throw their own types;
//   - every other error throws StandardLibraryError, a std::exception whose what()
//     is the library's message (for the out-of-range messages, the message's format
//     without its numbers), so it still answers E_UNEXPECTED.
// In Tavrel.dll, therefore, catching std::length_error, std::out_of_range or another
// std::logic_error or std::runtime_error type catches nothing the standard library
// throws: catch std::exception, or leave it to CatchToHresult.
//
// Likewise libstdc++'s default terminate handler writes the demangled type of the
// exception in flight to stderr before it calls abort(), and its demangler takes
// another 45 KB. A DLL in a windowed host has no stderr to write to: the handler here
// calls abort() at once, which is how the default one ends too.
//
// Every helper of that object file is defined here, so that no use of the standard
// library can pull the file in again; should a later libstdc++ add one that the
// library comes to use, the link stops with "multiple definition" rather than the DLL
// quietly growing. Other C++ libraries (MSVC's, libc++) raise their errors their own
// way and need none of this.
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>

#if defined(__GLIBCXX__)  // set by every header of GCC's library

namespace tavrel {
namespace {

class StandardLibraryError final : public std::exception {
public:
    explicit StandardLibraryError(const char* message) noexcept : m_message(message ? message : "") {}
    const char* what() const noexcept override { return m_message; }

private:
    const char* m_message;  // the library's messages are string literals
};

}  // namespace
}  // namespace tavrel

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }

void __throw_logic_error(const char* message) { throw tavrel::StandardLibraryError(message); }
void __throw_domain_error(const char* message) { throw tavrel::StandardLibraryError(message); }
void __throw_invalid_argument(const char* message) { throw tavrel::StandardLibraryError(message); }
void __throw_length_error(const char* message) { throw tavrel::StandardLibraryError(message); }
void __throw_out_of_range(const char* message) { throw tavrel::StandardLibraryError(message); }
void __throw_out_of_range_fmt(const char* format, ...) { throw tavrel::StandardLibraryError(format); }
void __throw_runtime_error(const char* message) { throw tavrel::StandardLibraryError(message); }
void __throw_range_error(const char* message) { throw tavrel::StandardLibraryError(message); }
void __throw_overflow_error(const char* message) { throw tavrel::StandardLibraryError(message); }
void __throw_underflow_error(const char* message) { throw tavrel::StandardLibraryError(message); }

}  // namespace std

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

#endif  // __GLIBCXX__
