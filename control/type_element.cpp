#include "control/type_element.h"

#include <limits>
#include <span>

namespace vornfmt {
namespace {

// The raw bytes of a `data` argument, accessed while the object lives.
class RawData {
 public:
  explicit RawData(const VARIANT& data) {
    const VARIANT* v = &data;
    if (v->vt == (VT_BYREF | VT_VARIANT)) v = v->pvarVal;  // one level
    if (!v) return;
    SAFEARRAY* array = nullptr;
    if (v->vt == (VT_ARRAY | VT_UI1)) array = v->parray;
    else if (v->vt == (VT_BYREF | VT_ARRAY | VT_UI1) && v->pparray) array = *v->pparray;
    if (!array || SafeArrayGetElemsize(array) != 1) return;
    // The bytes of every dimension; a count that overflows is refused.
    size_t count = array->cDims ? 1 : 0;
    for (USHORT d = 0; d < array->cDims; ++d) {
      const size_t elements = array->rgsabound[d].cElements;
      if (elements != 0 && count > std::numeric_limits<size_t>::max() / elements) return;
      count *= elements;
    }
    void* bytes = nullptr;
    if (FAILED(SafeArrayAccessData(array, &bytes))) return;
    array_ = array;
    bytes_ = std::span<uint8_t>(static_cast<uint8_t*>(bytes), bytes ? count : 0);
  }
  ~RawData() {
    if (array_) SafeArrayUnaccessData(array_);
  }
  RawData(const RawData&) = delete;
  RawData& operator=(const RawData&) = delete;

  bool Valid() const { return array_ != nullptr; }
  std::span<uint8_t> Bytes() const { return bytes_; }

 private:
  SAFEARRAY* array_ = nullptr;
  std::span<uint8_t> bytes_;
};

}  // namespace

std::unique_ptr<CTypeElement> CTypeElement::CreateByName(std::u16string_view typeName, std::u16string_view pid,
                                                         int16_t selector) {
  auto element = std::make_unique<CTypeElement>();
  if (!element->core_.LoadByName(typeName, pid, selector)) return nullptr;
  return element;
}

std::unique_ptr<CTypeElement> CTypeElement::CreateByIndex(int16_t index, bool isNetworkVariable,
                                                          std::u16string_view pid, int16_t selector) {
  auto element = std::make_unique<CTypeElement>();
  if (!element->core_.LoadByIndex(index, isNetworkVariable, pid, selector)) return nullptr;
  return element;
}

int16_t CTypeElement::SubfieldsCount() { return core_.SubfieldsCount(); }
int16_t CTypeElement::Index() { return core_.Index(); }
int16_t CTypeElement::Selector() { return core_.Selector(); }

bool CTypeElement::GetSubIndexByName(std::u16string_view subname, int16_t* subindex) {
  Guard guard(core_);
  int16_t found = -1;
  const bool ok = core_.GetSubIndexByName(subname, found);
  if (subindex) *subindex = found;
  return ok && subindex;
}

bool CTypeElement::FormatVT(int16_t, const VARIANT& data, int16_t vt, VARIANT* fmtdata, int16_t sub) {
  Guard guard(core_);
  RawData raw(data);
  if (!raw.Valid() || !fmtdata) return false;
  VARIANT result;
  VariantInit(&result);
  const bool ok = core_.Format(raw.Bytes(), static_cast<VARTYPE>(vt), result, sub);
  const bool copied = SUCCEEDED(VariantCopy(fmtdata, &result));
  VariantClear(&result);
  return ok && copied;
}

bool CTypeElement::GetValueVT(int16_t, VARIANT* fmtdata, int16_t sub) {
  Guard guard(core_);
  return fmtdata && core_.EditValue(*fmtdata, sub);
}

bool CTypeElement::WriteVT(int16_t, const VARIANT& data, const VARIANT& value, int16_t sub) {
  Guard guard(core_);
  VARIANT copy;
  VariantInit(&copy);
  VARIANT* target = nullptr;
  if (value.vt == (VT_BYREF | VT_VARIANT)) target = value.pvarVal;  // the caller's, one level
  // (Some Windows headers declare VariantCopy's source without const.)
  else if (SUCCEEDED(VariantCopy(&copy, const_cast<VARIANT*>(&value)))) target = &copy;
  bool ok = false;
  if (target && target->vt != VT_EMPTY) {
    RawData raw(data);
    ok = raw.Valid() && core_.Write(raw.Bytes(), *target, sub);
  }
  VariantClear(&copy);
  return ok;
}

bool CTypeElement::GetBounds(int16_t sub, double* fMin, double* fMax) {
  Guard guard(core_);
  double minimum = 0, maximum = 0;
  if (!fMin || !fMax || !core_.GetBounds(sub, minimum, maximum)) return false;
  *fMin = minimum;
  *fMax = maximum;
  return true;
}

int16_t CTypeElement::Canonical(int16_t sub) { return static_cast<int16_t>(core_.Canonical(sub)); }
int16_t CTypeElement::Length(int16_t sub) { return core_.Length(sub); }
std::u16string CTypeElement::Name(int16_t sub) { return core_.Name(sub); }
std::u16string CTypeElement::MeasurementSystem() { return core_.MeasurementSystem(); }
void CTypeElement::SetMeasurementSystem(std::u16string_view system) { core_.SetMeasurementSystem(system); }

}  // namespace vornfmt
