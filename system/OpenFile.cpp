#include "system/OpenFile.h"

#include "resources/Texts.h"

namespace pexor {

void ChooseFile(System &sys) {
  const std::optional<std::string> chosen = sys.port.openFileDialog(
      resources::text("Form1.ChooseTitle"), resources::text("Form1.ChooseFilter"));
  // A cancel leaves the earlier choice in place.
  if (chosen && !chosen->empty())
    sys.chosenFile = *chosen;
}

} // namespace pexor
