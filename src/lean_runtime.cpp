// The C++ library's ways of reporting a failure, made small for both programs, which catch none
// of its exceptions: each ends the program at once, through the terminate handler.
#include <cstdlib>
#include <exception>

// The library's default handler for an uncaught exception demangles the type's name for a
// console the resident program does not have, and the demangler alone adds some 50 KB to the file.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx

// The library's helpers that throw its standard exceptions: what they report ends the program
// through the terminate handler either way (in the resident copy the crash guard's, which shows
// the hidden windows first); the exception classes they would build bring a second
// implementation of std::string along, some 45 KB.
namespace std {
[[noreturn]] void __throw_bad_alloc() {
  std::terminate();
}
[[noreturn]] void __throw_bad_array_new_length() {
  std::terminate();
}
[[noreturn]] void __throw_bad_cast() {
  std::terminate();
}
[[noreturn]] void __throw_bad_typeid() {
  std::terminate();
}
[[noreturn]] void __throw_bad_exception() {
  std::terminate();
}
[[noreturn]] void __throw_bad_function_call() {
  std::terminate();
}
[[noreturn]] void __throw_logic_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_domain_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_invalid_argument(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_length_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_out_of_range(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
  std::terminate();
}
[[noreturn]] void __throw_runtime_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_range_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_overflow_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_underflow_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_system_error(int) {
  std::terminate();
}
}  // namespace std
