#include "system/MODFullscren.h"

namespace pexor {

void MakeFullScreen(forms::Form &window) {
  // The screen is read afresh each time: the display may have changed.
  window.setWidth(window.screenWidth());
  window.setHeight(window.screenHeight());
  window.setLeft(0);
  window.setTop(0);
}

} // namespace pexor
