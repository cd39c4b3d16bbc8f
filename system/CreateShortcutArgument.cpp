#include "system/CreateShortcutArgument.h"

namespace pexor {

void MakeShortcut(System &sys, const std::string &target, const std::string &folder,
                  const std::string &name, const std::string &arguments,
                  const std::string &workingDirectory, ShowCommand windowStyle,
                  std::int16_t iconIndex) {
  Shortcut shortcut;
  shortcut.target = target;
  shortcut.arguments = arguments;
  shortcut.workingDirectory = workingDirectory;
  shortcut.windowStyle = windowStyle;
  shortcut.iconPath = target; // the icon is the target's own
  shortcut.iconIndex = iconIndex;
  // Joined with nothing between: the folder is expected to end with a backslash.
  const std::string path = folder + name + ".lnk";
  // A link that already says all this is left as it is: a second start
  // writes nothing.
  if (!sys.port.shortcutHolds(path, shortcut))
    sys.port.saveShortcut(path, shortcut);
}

} // namespace pexor
