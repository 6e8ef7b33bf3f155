#pragma once
// The VARIANT type codes a node reports as its natural (canonical) type.
#include <cstdint>
#include <string_view>

namespace vornfmt::vt {

inline constexpr uint16_t kEmpty = 0;
inline constexpr uint16_t kI2 = 2;
inline constexpr uint16_t kI4 = 3;
inline constexpr uint16_t kR4 = 4;
inline constexpr uint16_t kBstr = 8;
inline constexpr uint16_t kI1 = 16;
inline constexpr uint16_t kUI1 = 17;
inline constexpr uint16_t kUI2 = 18;

// "VT_I2", ...; "VT_EMPTY" for 0 and codes not listed above.
constexpr std::string_view Name(uint16_t code) {
  switch (code) {
    case kI2: return "VT_I2";
    case kI4: return "VT_I4";
    case kR4: return "VT_R4";
    case kBstr: return "VT_BSTR";
    case kI1: return "VT_I1";
    case kUI1: return "VT_UI1";
    case kUI2: return "VT_UI2";
    default: return "VT_EMPTY";
  }
}

}  // namespace vornfmt::vt
