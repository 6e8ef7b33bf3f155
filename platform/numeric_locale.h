#pragma once

namespace vornfmt {

// Makes number text follow the user's regional settings (LC_NUMERIC from the
// environment). Called once by the engine's constructor.
void SelectUserNumericLocale();

// The current numeric locale's decimal separator as the C runtime writes it
// (UTF-8; "." when the locale gives none). Cheap enough to ask per value:
// the locale may change between calls, so it is never cached.
const char* LocaleDecimalPoint();

}  // namespace vornfmt
