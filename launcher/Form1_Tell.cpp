#include "launcher/Form1.h"
#include "resources/Reasons.h"
#include "resources/Texts.h"
#include "system/ResolutionMod.h"

namespace pexor {

void Form1::tell(const std::string &text, const std::string &title) {
  if (startingUp_) {
    if (toldAtStartUp_)
      return;
    toldAtStartUp_ = true;
  }
  Port &port = sys_.port;
  if (port.screenWidthPixels() != desktopWidth || port.screenHeightPixels() != desktopHeight)
    restoreDesktop();
  port.messageBox(text, title, MessageBoxStyle::Error);
}

// Once, whatever failed: the launcher goes on with what is installed.
void Form1::tellInstallFailure(const CopyFailure &failure, const InstalledCopy &installed) {
  const bool noFolder = !port().folderExists(installed.folder());
  std::string text =
      resources::text(noFolder ? "Form1.DocumentsFailedText" : "Form1.InstallFailedText");
  // With no Documents folder from the shell, the folder tried at the drive root.
  const std::string where = !noFolder                    ? failure.path
                            : sys_.pathDocuments.empty() ? installed.folder()
                                                         : sys_.pathDocuments;
  text += "\n" + where + "\n\n" + resources::reason(failure.error) + ".\n" +
          resources::text("Form1.InstallGoesOnText");
  tell(text, resources::text("Form1.InstallFailedTitle"));
}

// Back to the choices, as a reminder closed without its launch; tell()
// puts the display back first.
void Form1::launchFailed(const std::string &text) {
  reminderDismissed(false);
  tell(text, resources::text("Launch.FailedTitle"));
}

} // namespace pexor
