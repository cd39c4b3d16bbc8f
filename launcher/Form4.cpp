#include "launcher/Form4.h"

#include "resources/Form4Design.h"
#include "resources/Texts.h"

#include <array>

namespace pexor {

namespace {

// Whole megabytes, or tenths (with a decimal comma) for a total under ten.
std::string megabytes(std::uint64_t bytes, bool tenths) {
  constexpr std::uint64_t Half = std::uint64_t{1} << 19;
  if (!tenths)
    return std::to_string((bytes + Half) >> 20);
  const std::uint64_t count = (bytes * 10 + Half) >> 20;
  return std::to_string(count / 10) + "," + std::to_string(count % 10);
}

// The text with %1, %2, ... replaced by the values.
std::string filled(std::string text, const std::array<std::string, 4> &values) {
  for (size_t i = 0; i < values.size(); ++i) {
    const std::string mark = "%" + std::to_string(i + 1);
    if (const size_t at = text.find(mark); at != std::string::npos)
      text.replace(at, mark.size(), values[i]);
  }
  return text;
}

} // namespace

Form4::Form4(forms::Application &app)
    : forms::Form(app, design::form4().form), Label1(*this, design::form4().Label1),
      Label2(*this, design::form4().Label2), Shape2(*this, design::form4().Shape2),
      Shape1(*this, design::form4().Shape1), Label3(*this, design::form4().Label3) {}

void Form4::showProgress(const std::string &folder, const CopyProgress &progress) {
  Label2.setCaption(folder);
  const bool tenths = progress.totalBytes < (std::uint64_t{10} << 20);
  Label3.setCaption(
      filled(resources::text("Form4.Count"),
             {std::to_string(progress.files), std::to_string(progress.totalFiles),
              megabytes(progress.bytes, tenths), megabytes(progress.totalBytes, tenths)}));
  const double share = progress.totalBytes == 0 ? 1.0
                                                : static_cast<double>(progress.bytes) /
                                                      static_cast<double>(progress.totalBytes);
  Shape2.setWidth(static_cast<float>(Shape1.width() * share));
  Shape2.setVisible(progress.bytes > 0);
}

} // namespace pexor
