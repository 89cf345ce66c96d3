#pragma once
// How a step of the parity library ends: nothing when it succeeded, else the one line that
// tells the failure (it starts with "¡ "), which the job hands to the caller's callback.
#include <optional>
#include <string>

namespace quimbel::par {

using Fallo = std::optional<std::string>;

} // namespace quimbel::par
