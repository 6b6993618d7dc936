// Size measures for the statically linked product; linked into Setup.exe only.
//
// The default handler for an uncaught exception prints the exception's type,
// demangled, to the console: that links the whole demangler and a printf, some
// 70 KB, into a program without a console. The replacement below just ends the
// program, as the default one does after printing.
//
// The standard library reports misuse (a string grown past max_size(), at() out of
// range, ...) through the std::__throw_* functions. Its own versions construct
// std::length_error and its relatives, whose message strings drag both string
// implementations and their exception tables into the program: about 80 KB of a
// 256 KB budget. These replacements keep the exception types without a message
// string (bad_alloc, bad_cast, ...) and raise the message-carrying ones as
// LibraryError, a std::exception that keeps the library's text. So
// catch (const std::exception&) still sees every failure; product code must not
// depend on catching std::out_of_range or another std::logic_error or
// std::runtime_error type by name (use std::from_chars rather than std::stoi).
//
// Every function of the library's functexcept unit is defined here, so that unit is
// never linked and no definition is duplicated.
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace setup {
namespace {

class LibraryError final : public std::exception {
  public:
    explicit LibraryError(const char* message) : message_(message) {}
    const char* what() const noexcept override { return message_; }

  private:
    const char* message_;  // the library passes string literals
};

}  // namespace
}  // namespace setup

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

// The library's header marks these [[noreturn]] and declares them in std.
namespace std {
void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_bad_cast() {
    throw bad_cast();
}
void __throw_bad_typeid() {
    throw bad_typeid();
}
void __throw_bad_exception() {
    throw bad_exception();
}
void __throw_logic_error(const char* message) {
    throw setup::LibraryError(message);
}
void __throw_domain_error(const char* message) {
    throw setup::LibraryError(message);
}
void __throw_invalid_argument(const char* message) {
    throw setup::LibraryError(message);
}
void __throw_length_error(const char* message) {
    throw setup::LibraryError(message);
}
void __throw_out_of_range(const char* message) {
    throw setup::LibraryError(message);
}
void __throw_out_of_range_fmt(const char* format, ...) {
    throw setup::LibraryError(format);
}
void __throw_runtime_error(const char* message) {
    throw setup::LibraryError(message);
}
void __throw_range_error(const char* message) {
    throw setup::LibraryError(message);
}
void __throw_overflow_error(const char* message) {
    throw setup::LibraryError(message);
}
void __throw_underflow_error(const char* message) {
    throw setup::LibraryError(message);
}
}  // namespace std
