#pragma once

#include "forms/Form.h"
#include "launcher/Form4.h"
#include "launcher/InstallCopy.h"

#include <cstdint>
#include <string>

namespace pexor {

// Form4 over a long install copy. Told after each file: the window shows
// once the copy has taken half a second, unless the copy is all but done by
// then (a window that comes and goes at once tells nothing), is drawn again
// at most every tenth of a second, and closes with this object, before the
// launcher's window shows. A short copy shows nothing and makes no window.
class InstallProgress {
public:
  InstallProgress(forms::Application &app, std::string folder);
  InstallProgress(const InstallProgress &) = delete;
  InstallProgress &operator=(const InstallProgress &) = delete;
  ~InstallProgress();

  void copied(const CopyProgress &progress);

  static constexpr std::uint64_t ShowAfterMs = 500;
  static constexpr std::uint64_t WorthShowingMs = 250; // time left, at the pace so far
  static constexpr std::uint64_t RedrawEveryMs = 100;

private:
  Port &port_;
  std::string folder_;
  forms::FormSlot<Form4> window_;
  std::uint64_t started_;
  std::uint64_t drawnAt_ = 0;
  bool shown_ = false;
  bool failed_ = false; // the window could not be made: the copy goes on without it
};

} // namespace pexor
