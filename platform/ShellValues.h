#pragma once

#include <cstdint>

namespace pexor {

// Folders the shell knows by role.
enum class SpecialFolder : std::uint8_t {
  Documents,
};

// The message boxes the system shows: one OK button, with or without the
// error icon.
enum class MessageBoxStyle : std::uint8_t {
  Plain,
  Error,
};

// Registry roots the system writes under.
enum class RegistryRoot : std::uint8_t {
  CurrentUser,
};

} // namespace pexor
