#include "launcher/Form1.h"
#include "system/InstalledCopy.h"

namespace pexor {

namespace {

constexpr const char *LayersKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers";
constexpr const char *Layers = "256COLOR 640X480";

} // namespace

// 32-bit Windows: the resolution is free again and no compatibility layer
// is applied to the emulator.
void Form1::Option1_Click() {
  List1.setEnabled(true);
  port().regDeleteValue(RegistryRoot::CurrentUser, LayersKey, InstalledCopy(sys_).emulator());
}

// 64-bit Windows: the emulator runs with the 256-colour 640x480 layers, so the
// game resolution is fixed at 640x480.
void Form1::Option2_Click() {
  List1.setListIndex(0);
  List1.setEnabled(false);
  ZapisResol();
  port().regCreateKey(RegistryRoot::CurrentUser, LayersKey);
  port().regSetString(RegistryRoot::CurrentUser, LayersKey, InstalledCopy(sys_).emulator(), Layers);
}

} // namespace pexor
