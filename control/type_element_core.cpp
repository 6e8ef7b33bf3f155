#include "control/type_element_core.h"

#include "convert/conversion_drivers.h"
#include "convert/edit_value.h"
#include "typetree/bounds.h"

namespace vornfmt {

bool TypeElementCore::LoadByName(std::u16string_view typeName, std::u16string_view pid, int16_t selector) {
  Guard guard(*this);
  return !typeName.empty() && root_.LoadByName(typeName, pid, selector);
}

bool TypeElementCore::LoadByIndex(int16_t index, bool isNetworkVariable, std::u16string_view pid,
                                  int16_t selector) {
  Guard guard(*this);
  return root_.LoadByIndex(index, isNetworkVariable, pid, selector);
}

int16_t TypeElementCore::SubfieldsCount() {
  Guard guard(*this);
  return root_.GetSubfieldCount();
}

int16_t TypeElementCore::Index() {
  Guard guard(*this);
  return static_cast<int16_t>(root_.typeIndex);
}

int16_t TypeElementCore::Selector() {
  Guard guard(*this);
  return root_.GetSelector();
}

bool TypeElementCore::GetSubIndexByName(std::u16string_view name, int16_t& sub) {
  Guard guard(*this);
  sub = root_.FindSubIndexByName(name);
  return sub >= 0;
}

bool TypeElementCore::Format(std::span<const uint8_t> raw, VARTYPE vt, VARIANT& result, int16_t sub) {
  Guard guard(*this);
  return FormatToVariant(root_, raw.data(), raw.size(), vt, &result, sub) != FALSE;
}

bool TypeElementCore::Write(std::span<uint8_t> raw, VARIANT& value, int16_t sub) {
  Guard guard(*this);
  if (value.vt == VT_EMPTY) return false;
  return WriteFromVariant(root_, raw.data(), raw.size(), &value, sub) != FALSE;
}

bool TypeElementCore::EditValue(VARIANT& value, int16_t sub) {
  Guard guard(*this);
  VARIANT local;
  VariantInit(&local);
  if (VariantCopy(&local, &value) != S_OK) return false;
  VARIANT* worked = (local.vt == (VT_BYREF | VT_VARIANT) && local.pvarVal) ? local.pvarVal : &local;
  CTypeTreeItemBase* node = root_.GetSubfield(sub);
  const bool ok = node && EditValueInteractive(*node, worked) && VariantCopy(&value, worked) == S_OK;
  VariantClear(&local);
  return ok;
}

bool TypeElementCore::GetBounds(int16_t sub, double& minimum, double& maximum) {
  Guard guard(*this);
  CTypeTreeItemBase* node = root_.GetSubfield(sub);
  return node && vornfmt::GetBounds(*node, minimum, maximum);
}

VARTYPE TypeElementCore::Canonical(int16_t sub) {
  Guard guard(*this);
  CTypeTreeItemBase* node = root_.GetSubfield(sub);
  return node ? node->GetVariantType() : VARTYPE{0};
}

int16_t TypeElementCore::Length(int16_t sub) {
  Guard guard(*this);
  CTypeTreeItemBase* node = root_.GetSubfield(sub);
  return node ? static_cast<int16_t>(node->GetSize(true)) : int16_t{0};
}

std::u16string TypeElementCore::Name(int16_t sub) {
  Guard guard(*this);
  CTypeTreeItemBase* node = root_.GetSubfield(sub);
  return node ? node->GetName() : std::u16string();
}

std::u16string TypeElementCore::MeasurementSystem() {
  Guard guard(*this);
  return root_.GetMeasurementSystem();
}

void TypeElementCore::SetMeasurementSystem(std::u16string_view system) {
  Guard guard(*this);
  root_.SetMeasurementSystem(system);
}

std::u16string ResultText(VARIANT& result) {
  if (result.vt == VT_BSTR) return std::u16string(BstrText(result));
  VARIANT text;
  VariantInit(&text);
  std::u16string out;
  if (VariantChangeType(&text, &result, 0, VT_BSTR) == S_OK) out = BstrText(text);
  VariantClear(&text);
  return out;
}

}  // namespace vornfmt
