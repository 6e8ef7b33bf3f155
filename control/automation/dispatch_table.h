#pragma once
// What a dispatch interface is, as data: its members with their DISPIDs,
// names, kinds and argument types. The tables themselves are generated from
// resources/vornfmt.idl (control/automation/vornfmt_idl.h in the build
// folder), so they say exactly what the type library says.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/automation/oleauto.h"

namespace vornfmt {

enum class MemberKind : uint8_t {
  Method,                 // called with DISPATCH_METHOD
  Property,               // get, and put unless read-only; no arguments
  ParameterizedProperty,  // get (and put unless read-only) with arguments
};

struct DispatchParameter {
  const char16_t* name;
  VARTYPE type;  // VT_BSTR, VT_I2, VT_VARIANT, or VT_BYREF with VT_I2, VT_R8, VT_VARIANT
};

struct DispatchMember {
  DISPID id;
  const char16_t* name;
  MemberKind kind;
  bool readOnly;
  VARTYPE result;  // of a get or a method; the value's type for a put
  const DispatchParameter* parameters;
  uint8_t parameterCount;
};

struct DispatchInterface {
  const char16_t* name;
  const GUID* iid;
  const char16_t* helpString;
  const DispatchMember* members;
  size_t memberCount;

  const DispatchMember* Find(DISPID id) const;
  // Case-insensitive, as automation names are.
  const DispatchMember* Find(std::u16string_view name) const;
};

struct TypeLibraryInfo {
  const char16_t* name;
  const GUID* libid;
  uint16_t major;
  uint16_t minor;
  const char16_t* helpString;
  const char16_t* helpFile;
};

// Automation names compare without case (ASCII letters).
bool SameAutomationName(std::u16string_view a, std::u16string_view b);

}  // namespace vornfmt
