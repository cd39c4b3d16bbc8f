#include "launcher/Guardian.h"

#include "system/ResolutionMod.h"
#include "system/System.h"
#include "system/Zatvariane.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace pexor {

namespace {

constexpr std::string_view DisplayKey = "display=";

struct Size {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// "display=WxH", both positive; anything else names no mode.
std::optional<Size> displayOf(std::string_view orders) {
  if (!orders.starts_with(DisplayKey))
    return std::nullopt;
  orders.remove_prefix(DisplayKey.size());
  Size size;
  const char *end = orders.data() + orders.size();
  const auto width = std::from_chars(orders.data(), end, size.width);
  if (width.ec != std::errc{} || width.ptr == end || *width.ptr != 'x')
    return std::nullopt;
  const auto height = std::from_chars(width.ptr + 1, end, size.height);
  if (height.ec != std::errc{} || height.ptr != end || size.width <= 0 || size.height <= 0)
    return std::nullopt;
  return size;
}

} // namespace

std::string guardianOrders(std::int32_t width, std::int32_t height) {
  return std::string(DisplayKey) + std::to_string(width) + "x" + std::to_string(height);
}

void runGuardian(Port &port, const std::string &orders) {
  if (!port.guardedProcessAbandoned())
    return;
  System sys(port);
  CloseAllEmulators(sys);
  const std::optional<Size> mode = displayOf(orders);
  // Switched only when it is not already there: no flicker for nothing.
  if (!mode ||
      (port.screenWidthPixels() == mode->width && port.screenHeightPixels() == mode->height))
    return;
  try {
    ChangeResolution(sys, static_cast<float>(mode->width), static_cast<float>(mode->height));
  } catch (const Error &) {
    // A size no record holds: nobody to tell, the display stays as it is.
  }
}

} // namespace pexor
