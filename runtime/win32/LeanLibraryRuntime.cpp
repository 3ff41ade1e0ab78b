// Linked into the shipped program only. With the GNU C++ library linked in
// statically, two of its defaults would each pull in more code than the rest
// of the program:
// - the default terminate handler prints the failing exception's demangled
//   type name to a console this windowed program does not have, with the
//   library's demangler and its own printf (about 60 KB);
// - the helpers that throw the standard library's logic and length errors
//   build their messages in the old copy-on-write strings, which brings a
//   second string implementation and everything it refers to (about 85 KB).
// The replacements below keep the behaviour the program relies on: the
// process still stops on a terminate, and a library error still reaches the
// event dispatch as a std::exception carrying the library's message (the
// standard allocation failures stay what they are). Other compilers and
// libraries keep their own defaults.
#include <cstdlib>
#include <exception>
#include <new>
#include <string> // declares the helpers replaced below

#if defined(__GLIBCXX__)

#include <typeinfo>

namespace {

class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* message) noexcept
        : m_message(message)
    {
    }
    const char* what() const noexcept override { return m_message; }

private:
    const char* m_message;
};

} // namespace

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* message) { throw LibraryError(message); }
void __throw_domain_error(const char* message) { throw LibraryError(message); }
void __throw_invalid_argument(const char* message) { throw LibraryError(message); }
void __throw_length_error(const char* message) { throw LibraryError(message); }
void __throw_out_of_range(const char* message) { throw LibraryError(message); }
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }
void __throw_runtime_error(const char* message) { throw LibraryError(message); }
void __throw_range_error(const char* message) { throw LibraryError(message); }
void __throw_overflow_error(const char* message) { throw LibraryError(message); }
void __throw_underflow_error(const char* message) { throw LibraryError(message); }

} // namespace std

#endif
