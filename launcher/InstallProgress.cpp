#include "launcher/InstallProgress.h"

#include "forms/Guarded.h"

#include <algorithm>
#include <limits>

namespace pexor {

namespace {

// What the copy still needs at its pace so far, by the share done of the
// files or of the bytes, whichever is smaller.
double msLeft(const CopyProgress &progress, std::uint64_t elapsedMs) {
  const auto share = [](std::uint64_t done, std::uint64_t total) {
    return total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total);
  };
  const double done = std::min(share(progress.files, progress.totalFiles),
                               share(progress.bytes, progress.totalBytes));
  if (done <= 0.0)
    return std::numeric_limits<double>::infinity();
  return static_cast<double>(elapsedMs) * (1.0 - done) / done;
}

} // namespace

InstallProgress::InstallProgress(forms::Application &app, std::string folder)
    : port_(app.port()), folder_(std::move(folder)),
      window_(app, [&app] { return std::make_unique<Form4>(app); }), started_(port_.tickCount()) {}

InstallProgress::~InstallProgress() {
  forms::guardedStep([&] { window_.unload(); });
}

void InstallProgress::copied(const CopyProgress &progress) {
  if (failed_)
    return;
  const std::uint64_t elapsed = port_.tickCount() - started_;
  if (!shown_) {
    if (elapsed < ShowAfterMs || msLeft(progress, elapsed) < static_cast<double>(WorthShowingMs))
      return;
  } else if (!window_.loaded() || elapsed - drawnAt_ < RedrawEveryMs) {
    return;
  }
  drawnAt_ = elapsed;
  shown_ = true;
  failed_ = !forms::guardedStep([&] {
    Form4 &form = window_.load();
    form.showProgress(folder_, progress);
    form.show();
    form.refresh();
  });
}

} // namespace pexor
