#include "launcher/ConfText.h"
#include "launcher/Form1.h"
#include "resources/Texts.h"

namespace pexor {

namespace {

std::string reason(const Error &error) {
  switch (error.number()) {
  case err::FileNotFound:
    return resources::text("Form1.Reason53");
  case err::PermissionDenied:
    return resources::text("Form1.Reason70");
  case err::PathFileAccess:
    return resources::text("Form1.Reason75");
  case err::PathNotFound:
    return resources::text("Form1.Reason76");
  default:
    return error.description();
  }
}

} // namespace

void Form1::ProchetiConf() { config.read(); }

void Form1::ZapihiConf() { config.write(); }

void Form1::ZapisResol() {
  const std::string picked = List1.text();
  const conf::Size size = conf::parseResolution(picked);
  pickedWidth = static_cast<std::int32_t>(size.width);
  pickedHeight = static_cast<std::int32_t>(size.height);
  if (pickedWidth > desktopWidth || pickedHeight > desktopHeight) {
    List1.setListIndex(acceptedResolutionIndex);
    port().messageBox(resources::text("Form1.RefusalText"), resources::text("Form1.RefusalTitle"),
                      MessageBoxStyle::Error);
    return;
  }
  visochinaGame = pickedHeight;
  hirinaGame = pickedWidth;
  acceptedResolutionIndex = static_cast<std::int16_t>(List1.listIndex());
  const std::string old = config.confResolution;
  config.confResolution = picked;
  applyConfEdit(conf::ResolutionKey, old, picked);
}

void Form1::List2_Click() {
  const std::string picked = List2.text();
  const std::string old = config.confCycles;
  config.confCycles = picked;
  applyConfEdit(conf::CyclesKey, old, picked);
}

void Form1::applyConfEdit(std::string_view key, const std::string &oldValue,
                          const std::string &newValue) {
  if (!config.loaded) {
    // Nothing was ever read: the working copy is no configuration to write.
    try {
      ProchetiConf();
    } catch (const Error &e) {
      reportConfFailure(e, false);
      return;
    }
  }
  config.edit(key, oldValue, newValue);
  if (startingUp_) {
    confEdited_ = true;
    return;
  }
  writeConf();
}

void Form1::writeConf() {
  try {
    ZapihiConf();
    ProchetiConf();
  } catch (const Error &e) {
    // The file stays as it was; the working copy keeps the pick, so the next
    // successful write carries it.
    reportConfFailure(e, true);
  }
}

void Form1::reportConfFailure(const Error &error, bool writing) {
  // Start-up falls back silently when the file cannot be read.
  if (startingUp_ && !writing)
    return;
  std::string text = resources::text(writing ? "Form1.WriteFailedText" : "Form1.ReadFailedText");
  text += "\n" + config.confPath + "\n\n" + reason(error) + ".";
  if (writing)
    text += "\n" + resources::text("Form1.KeptText");
  port().messageBox(text, resources::text("Form1.WriteFailedTitle"), MessageBoxStyle::Error);
}

} // namespace pexor
