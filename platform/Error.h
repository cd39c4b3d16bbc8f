#pragma once

#include <stdexcept>
#include <string>

namespace pexor {

// The one error type of the system: a number and a description, as the
// classic runtime reports them ("Run-time error '53': File not found").
class Error : public std::runtime_error {
public:
  Error(long number, const std::string &description)
      : std::runtime_error(description), number_(number) {}
  long number() const { return number_; }
  std::string description() const { return what(); }

private:
  long number_;
};

// Numbers the runtime and the operations raise.
namespace err {
inline constexpr long InvalidProcedureCall = 5;
inline constexpr long Overflow = 6;
inline constexpr long OutOfMemory = 7;
inline constexpr long DivisionByZero = 11;
inline constexpr long TypeMismatch = 13;
inline constexpr long InternalError = 51;
inline constexpr long FileNotFound = 53;
inline constexpr long FileAlreadyOpen = 55;
inline constexpr long DiskFull = 61;
inline constexpr long PermissionDenied = 70;
inline constexpr long PathFileAccess = 75;
inline constexpr long PathNotFound = 76;
inline constexpr long InvalidPropertyValue = 380;
inline constexpr long InvalidPropertyArrayIndex = 381;
inline constexpr long CannotMoveMinimized = 384;
inline constexpr long CannotCreateObject = 429;
inline constexpr long DialogFailed = 32755;
} // namespace err

} // namespace pexor
