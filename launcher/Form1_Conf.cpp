#include "launcher/ConfText.h"
#include "launcher/Form1.h"
#include "resources/Reasons.h"
#include "resources/Texts.h"

namespace pexor {

namespace {

int indexOf(const forms::ListBox &list, const std::string &text) {
  for (int i = 0; i < list.listCount(); ++i)
    if (list.list(i) == text)
      return i;
  return -1;
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
    tell(resources::text("Form1.RefusalText"), resources::text("Form1.RefusalTitle"));
    return;
  }
  visochinaGame = pickedHeight;
  hirinaGame = pickedWidth;
  acceptedResolutionIndex = static_cast<std::int16_t>(List1.listIndex());
  applyPick(conf::ResolutionKey, picked);
}

void Form1::List2_Click() {
  // The lists following the file, or the start-up walk, write nothing here.
  if (showingFile_ || startingUp_)
    return;
  applyPick(conf::CyclesKey, List2.text());
}

// The file as it is on disk now, with the one value found after the key
// replaced: someone else's edits since are kept, and a text that was never
// read is never written.
void Form1::applyPick(std::string_view key, const std::string &value) {
  // The launcher's own choice, for the trace of a pick that did not land.
  if (port().tracing())
    port().trace("pick: " + std::string(key) + value);
  try {
    ProchetiConf();
  } catch (const Error &e) {
    reportConfFailure(e, false);
    showFile();
    return;
  }
  const std::string asRead = config.confText;
  if (config.edit(key, value)) {
    try {
      ZapihiConf();
      ProchetiConf();
    } catch (const Error &e) {
      config.show(asRead); // the file stays as it was
      if (port().tracing())
        port().trace("pick: not written");
      reportConfFailure(e, true);
    }
  }
  showFile();
}

// The lists (and the game size with the resolution) show what the file holds,
// where it holds one of their entries. The 64-bit choice keeps List1 fixed.
void Form1::showFile() {
  showingFile_ = true;
  if (List1.enabled()) {
    const int i = indexOf(List1, config.confResolution);
    if (i >= 0 && i != List1.listIndex()) {
      List1.setListIndex(i);
      acceptedResolutionIndex = static_cast<std::int16_t>(i);
      takeGameSize();
    }
  }
  const int i = indexOf(List2, config.confCycles);
  if (i >= 0)
    List2.setListIndex(i);
  showingFile_ = false;
}

void Form1::takeGameSize() {
  const conf::Size size = conf::parseResolution(List1.text());
  hirinaGame = static_cast<std::int32_t>(size.width);
  visochinaGame = static_cast<std::int32_t>(size.height);
}

void Form1::reportConfFailure(const Error &error, bool writing) {
  // Start-up falls back silently when the file cannot be read.
  if (startingUp_ && !writing)
    return;
  std::string text = resources::text(writing ? "Form1.WriteFailedText" : "Form1.ReadFailedText");
  text += "\n" + config.confPath + "\n\n" + resources::reason(error) + ".";
  if (writing)
    text += "\n" + resources::text("Form1.KeptText");
  tell(text, resources::text("Form1.WriteFailedTitle"));
}

} // namespace pexor
