#include "resources/Reasons.h"

#include "resources/Texts.h"

#include <cstdint>

namespace pexor::resources {

namespace {

// A system error code wrapped as an automation error (0x8007xxxx), or -1.
long systemCode(long number) {
  const auto bits = static_cast<std::uint32_t>(number);
  return (bits & 0xFFFF0000u) == 0x80070000u ? static_cast<long>(bits & 0xFFFFu) : -1;
}

} // namespace

std::optional<std::string> knownReason(const Error &error) {
  switch (error.number()) {
  case err::FileNotFound:
    return text("Reason.FileNotFound");
  case err::PermissionDenied:
    return text("Reason.PermissionDenied");
  case err::PathFileAccess:
    return text("Reason.PathFileAccess");
  case err::PathNotFound:
    return text("Reason.PathNotFound");
  case err::DiskFull:
    return text("Reason.DiskFull");
  default:
    break;
  }
  switch (systemCode(error.number())) {
  case 2: // file not found
    return text("Reason.FileNotFound");
  case 3: // path not found
    return text("Reason.PathNotFound");
  case 5:  // access denied
  case 32: // sharing violation
    return text("Reason.PermissionDenied");
  case 39:  // handle disk full
  case 112: // disk full
    return text("Reason.DiskFull");
  case 11:  // bad format
  case 191: // invalid exe signature
  case 193: // bad exe format
  case 216: // exe machine type mismatch
    return text("Reason.NotAProgram");
  default:
    return std::nullopt;
  }
}

std::string reason(const Error &error) {
  return knownReason(error).value_or(text("Reason.Other") + " " + std::to_string(error.number()));
}

} // namespace pexor::resources
