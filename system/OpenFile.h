#pragma once

#include "system/System.h"

namespace pexor {

// Shows the open-file dialog; a chosen file goes to chosenFile, a cancel
// leaves it as it was. Raises when the dialog itself fails.
void ChooseFile(System &sys);

} // namespace pexor
