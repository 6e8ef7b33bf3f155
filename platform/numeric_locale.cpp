#include "platform/numeric_locale.h"

#include <clocale>

namespace vornfmt {

void SelectUserNumericLocale() { std::setlocale(LC_NUMERIC, ""); }

}  // namespace vornfmt
