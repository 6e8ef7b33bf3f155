// The German language module: what LanguageDll names to have the control's
// texts in German. It holds data only -- the string table -- and the folder
// of its dialog resource set (resources/ui/deu), the same texts as the
// dialogs show them.
#include "control/language_module_abi.h"

#ifndef VORNFMT_UI_RESOURCE_SET
#define VORNFMT_UI_RESOURCE_SET nullptr
#endif

namespace {

const VornFmtLanguageString kStrings[] = {
    {1, "VornFmt-Steuerelement"},
    {2, "VornFmt-Eigenschaftenseite"},
    {101, "Daten \xC3\xBC" "berschreiten die Grenzen."},
    {102, "Unbekannter Aufz\xC3\xA4hlungswert."},
    {103, "Nicht-hexadezimale Ziffer gefunden."},
    {104, "Zu viele Nachkommastellen oder falsche Aufl\xC3\xB6sung."},
    {105, "Die Zahl darf nicht kleiner als null sein."},
    {106, "Falsche Daten."},
    {108, "Software\\Kestrane GmbH\\Ardmoor Tool Set\\Components"},
    {200, "Allgemein"},
};

const VornFmtLanguageModule kModule = {
    VORNFMT_LANGUAGE_MODULE_VERSION, "deu", VORNFMT_UI_RESOURCE_SET,
    static_cast<uint32_t>(sizeof kStrings / sizeof kStrings[0]), kStrings,
};

}  // namespace

extern "C"
#ifdef _WIN32
__declspec(dllexport)
#else
__attribute__((visibility("default")))
#endif
const VornFmtLanguageModule* VornFmtLanguageResources(void) {
  return &kModule;
}
