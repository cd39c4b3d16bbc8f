#pragma once

#include "platform/Error.h"

#include <optional>
#include <string>

namespace pexor::resources {

// Why a file or program operation failed, in the user's words: "the disk is
// full", "the file is missing". An error the texts do not know is told by
// its number.
std::string reason(const Error &error);
// The same for an error the texts know, nullopt for any other.
std::optional<std::string> knownReason(const Error &error);

} // namespace pexor::resources
