#pragma once
// CVornFmtCtrl: the control hosts create by its ProgID, their entry point.
// Every member works on the one module-wide engine, so all controls of a
// process share the catalog, the caches and the language setting; the
// control itself keeps only what its base keeps (the modified flag, the
// persisted version stamp). The automation object (control/automation)
// unpacks DISPPARAMS into these calls.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/type_element.h"
#include "platform/drawing.h"

namespace vornfmt {

class CVornFmtCtrl {
 public:
  // The version stamp that persistence exchanges: 1.0.
  static constexpr uint32_t kVersionStamp = 0x00010000;

  // Version: always the empty text.
  std::u16string Version() const { return {}; }
  // Null when the type does not load.
  std::unique_ptr<CTypeElement> GetItem1(std::u16string_view typeName, std::u16string_view pid, int16_t selector);
  std::unique_ptr<CTypeElement> GetItem2(int16_t nvtIndex, std::u16string_view pid, int16_t selector);
  std::unique_ptr<CTypeElement> GetItem3(int16_t cptIndex, std::u16string_view pid, int16_t selector);
  // The type file's count, 0 when there is none; `flag` has no effect.
  int16_t TypesCount(std::u16string_view pid, int16_t selector, int16_t flag);

  std::u16string LocaleId() const;
  // nullopt (a null BSTR) and texts the ANSI code page cannot hold are a
  // failed setting: the language falls back to English, the locale id stays.
  // Either way the control is marked modified.
  void SetLocaleId(std::optional<std::u16string_view> localeId);

  bool IsModified() const { return modified_; }
  void SetModifiedFlag(bool modified) { modified_ = modified; }

  // Drawing (at design time; the control is invisible at run time): the
  // bounds filled white, then an ellipse inscribed in them with the current
  // pen and brush.
  void OnDraw(DrawingContext& context, const DrawRect& bounds) const;

  // The Properties verb: the property frame with the one page "General"
  // (dialog 200, caption string 200), modally, through the module's user
  // interface. False when there is none or nothing could be shown.
  bool DoPropertiesVerb() const;

  // Persistence: only the version stamp, as 4 bytes little-endian. Load
  // answers false (and changes nothing) for anything but the 4 bytes of
  // kVersionStamp: this control has known no other version.
  std::vector<uint8_t> SaveState() const;
  bool LoadState(const std::vector<uint8_t>& state);
  uint32_t LoadedVersion() const { return loadedVersion_; }

 private:
  bool modified_ = false;
  uint32_t loadedVersion_ = kVersionStamp;
};

}  // namespace vornfmt
