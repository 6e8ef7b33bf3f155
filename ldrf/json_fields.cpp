#include "ldrf/json_fields.h"

namespace vornfmt::ldrf {

JsonFields::JsonFields(simdjson::dom::object object, const JsonKeys& keys) : keys_(keys) {
  for (simdjson::dom::key_value_pair field : object) {
    const size_t i = keys.Find(field.key);
    if (i == JsonKeys::kMaxKeys) continue;
    std::construct_at(&values_[i].value, field.value);
    found_ |= uint32_t{1} << i;
  }
}

}  // namespace vornfmt::ldrf
