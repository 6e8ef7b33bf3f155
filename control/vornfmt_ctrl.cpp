#include "control/vornfmt_ctrl.h"

#include "catalog/formatter_engine.h"
#include "catalog/resource_lock.h"
#include "control/module_resources.h"
#include "control/module_ui.h"
#include "platform/code_page.h"

namespace vornfmt {

std::unique_ptr<CTypeElement> CVornFmtCtrl::GetItem1(std::u16string_view typeName, std::u16string_view pid,
                                                     int16_t selector) {
  return CTypeElement::CreateByName(typeName, pid, selector);
}

std::unique_ptr<CTypeElement> CVornFmtCtrl::GetItem2(int16_t nvtIndex, std::u16string_view pid, int16_t selector) {
  return CTypeElement::CreateByIndex(nvtIndex, true, pid, selector);
}

std::unique_ptr<CTypeElement> CVornFmtCtrl::GetItem3(int16_t cptIndex, std::u16string_view pid, int16_t selector) {
  return CTypeElement::CreateByIndex(cptIndex, false, pid, selector);
}

int16_t CVornFmtCtrl::TypesCount(std::u16string_view pid, int16_t selector, int16_t flag) {
  return static_cast<int16_t>(
      TheEngine().TypesCount(pid, static_cast<uint16_t>(selector), static_cast<uint16_t>(flag)));
}

std::u16string CVornFmtCtrl::LocaleId() const {
  // Another thread may be setting it: copied under the resource lock.
  ResourceGuard guard(ResourceLock());
  return TheEngine().LocaleId();
}

void CVornFmtCtrl::SetLocaleId(std::optional<std::u16string_view> localeId) {
  // A text the code page cannot hold, like a null one, reaches the engine as
  // the empty text, which no language has.
  std::optional<std::string> narrow = localeId ? codepage::ToAnsi(*localeId) : std::nullopt;
  TheEngine().SetLocaleId(narrow ? *narrow : std::string());
  SetModifiedFlag(true);
}

void CVornFmtCtrl::OnDraw(DrawingContext& context, const DrawRect& bounds) const {
  context.FillWhite(bounds);
  context.Ellipse(bounds);
}

bool CVornFmtCtrl::DoPropertiesVerb() const {
  ModuleUi* ui = CurrentModuleUi();
  return ui && ui->ShowPropertyPage(ModuleString(kStringControlTypeName), kDialogPropertyPage,
                                    ModuleString(kStringPageCaption));
}

std::vector<uint8_t> CVornFmtCtrl::SaveState() const {
  return {static_cast<uint8_t>(kVersionStamp), static_cast<uint8_t>(kVersionStamp >> 8),
          static_cast<uint8_t>(kVersionStamp >> 16), static_cast<uint8_t>(kVersionStamp >> 24)};
}

bool CVornFmtCtrl::LoadState(const std::vector<uint8_t>& state) {
  if (state.size() != 4) return false;
  const uint32_t version = state[0] | state[1] << 8 | state[2] << 16 | static_cast<uint32_t>(state[3]) << 24;
  if (version != kVersionStamp) return false;
  loadedVersion_ = version;
  return true;
}

}  // namespace vornfmt
