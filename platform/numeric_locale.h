#pragma once

namespace vornfmt {

// Makes number text follow the user's regional settings (LC_NUMERIC from the
// environment). Called once by the engine's constructor.
void SelectUserNumericLocale();

}  // namespace vornfmt
