#pragma once
// Our own helpers over the automation API, the same on every platform: the
// system keeps its texts as UTF-16 in char16_t (std::u16string), while a
// BSTR holds OLECHARs, wchar_t on Windows and char16_t in the emulation.
// Both are 16-bit UTF-16 code units, so a text is viewed, not copied.
#include <string_view>

#include "platform/automation/oleauto.h"

namespace vornfmt {

static_assert(sizeof(OLECHAR) == sizeof(char16_t), "OLECHAR must be a UTF-16 code unit");

// The same code units seen as the other character type.
inline const char16_t* AsUtf16(const OLECHAR* text) { return reinterpret_cast<const char16_t*>(text); }
inline const OLECHAR* AsOleText(const char16_t* text) { return reinterpret_cast<const OLECHAR*>(text); }

// The text of a VT_BSTR (a null BSTR is the empty text); the empty text for
// any other type.
std::u16string_view BstrText(const VARIANT& v);

// Makes `v` (cleared first) a VT_BSTR holding `text`.
void SetBstr(VARIANT& v, std::u16string_view text);

}  // namespace vornfmt
