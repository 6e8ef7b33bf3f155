#include "ldrf/error_place.h"

#include <vector>

namespace vornfmt::ldrf {

std::string PlaceText(const ErrorPlace& place) {
  std::vector<const ErrorPlace*> chain;
  for (const ErrorPlace* p = &place; p; p = p->parent) chain.push_back(p);
  std::string text;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (it != chain.rbegin()) text += (*it)->separator;
    text += (*it)->text;
  }
  return text;
}

}  // namespace vornfmt::ldrf
