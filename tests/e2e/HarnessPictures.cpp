// Pictures of what a window shows on the screen, kept as PNG files for a
// person to look at. The PNG is written uncompressed (stored deflate blocks):
// larger, but any viewer reads it and it needs no library.
#include "tests/e2e/Harness.h"
#include "tests/e2e/HarnessWin32.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace e2e {

using namespace detail;

namespace {

std::uint32_t crc32(const std::uint8_t *data, size_t size, std::uint32_t crc = 0) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k)
        c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i)
    crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void putBig32(std::vector<std::uint8_t> &out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void chunk(std::vector<std::uint8_t> &png, const char *type,
           const std::vector<std::uint8_t> &data) {
  putBig32(png, static_cast<std::uint32_t>(data.size()));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  putBig32(png, crc32(png.data() + start, png.size() - start));
}

// Rows of RGB, each led by filter byte 0, in a zlib stream of stored blocks.
std::vector<std::uint8_t> storedZlib(const std::vector<std::uint8_t> &raw) {
  std::vector<std::uint8_t> z{0x78, 0x01};
  size_t at = 0;
  do {
    const auto n = static_cast<std::uint16_t>(std::min<size_t>(raw.size() - at, 65535));
    z.push_back(at + n == raw.size() ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n));
    z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
             raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;
  for (const std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  putBig32(z, (b << 16) | a);
  return z;
}

} // namespace

bool savePicture(const RECT &screen, const std::wstring &pngPath) {
  const int width = screen.right - screen.left;
  const int height = screen.bottom - screen.top;
  if (width <= 0 || height <= 0)
    return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height; // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  HDC screenDc = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screenDc);
  HBITMAP bitmap = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (memory != nullptr && bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screenDc, screen.left, screen.top,
                    SRCCOPY | CAPTUREBLT) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
  }
  std::vector<std::uint8_t> raw;
  if (copied) {
    raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
    const auto *pixel = static_cast<const std::uint8_t *>(bits);
    for (int y = 0; y < height; ++y) {
      raw.push_back(0);
      for (int x = 0; x < width; ++x, pixel += 4)
        raw.insert(raw.end(), {pixel[2], pixel[1], pixel[0]});
    }
  }
  if (bitmap != nullptr)
    DeleteObject(bitmap);
  if (memory != nullptr)
    DeleteDC(memory);
  ReleaseDC(nullptr, screenDc);
  if (!copied)
    return false;

  std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  putBig32(header, static_cast<std::uint32_t>(width));
  putBig32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
  chunk(png, "IHDR", header);
  chunk(png, "IDAT", storedZlib(raw));
  chunk(png, "IEND", {});
  return writeBytes(pngPath, std::string(png.begin(), png.end()));
}

} // namespace e2e
