#include "platform/numeric_locale.h"

#include <clocale>
#if !defined(_WIN32)
#include <langinfo.h>
#endif

namespace vornfmt {

void SelectUserNumericLocale() { std::setlocale(LC_NUMERIC, ""); }

const char* LocaleDecimalPoint() {
#if defined(_WIN32)
  const std::lconv* conventions = std::localeconv();
  const char* point = conventions ? conventions->decimal_point : nullptr;
#else
  // nl_langinfo reads the same LC_NUMERIC field as localeconv() (the
  // thread's locale when one is set) without rebuilding the whole lconv
  // structure, which costs about a hundred instructions a call.
  const char* point = nl_langinfo(RADIXCHAR);
#endif
  return point && *point ? point : ".";
}

}  // namespace vornfmt
