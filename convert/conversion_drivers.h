#pragma once
// The two drivers behind FormatVT and WriteVT: raw bytes to text or to a
// number of any VARIANT type, and text or a number back into raw bytes.
//
// Raw data is the network variable exactly as carried, `length` bytes from
// `raw` on. The type decides how many bytes are read or written; a buffer
// shorter than the type (GetSize of the root) is refused -- false, nothing
// read or written. Numbers travel as VT_R8 in engineering units (the type's
// scaling and the format item's scale and offset applied) and are converted
// by ConvertVariant.
#include <cstddef>
#include <cstdint>

#include "platform/automation/oleauto.h"
#include "typetree/type_tree_item.h"

namespace vornfmt {

// Decodes the whole tree from `raw` and gives subfield `sub` (-1: the whole
// type) in `result` (cleared first): for vt VT_BSTR its text (the empty text
// and false when there is no format, subfield or item); for any other vt
// its number (0.0 without a format or item) converted to vt -- a number that
// cannot become vt answers false with VT_ERROR and the code in `result`.
// A decode failure answers false with `result` empty.
BOOL FormatToVariant(CTypeTreeItem& root, const uint8_t* raw, size_t length, VARTYPE vt, VARIANT* result,
                     int16_t sub);

// Stores `value` into subfield `sub` (-1: the whole type; its slots are
// cleared first, so a field the text does not give stays unset and is not
// written) and encodes it into `raw` in place. A VT_BSTR is read through
// the format (ParseText); anything else is converted to VT_R8 in place and
// stored through the subfield's item. Text that does not read or a value
// that is no number goes to EditValue with "Wrong data.", a broken limit
// with "Data exceeds bounds."; while messages are off that means false.
// Bytes of fields that were not encoded are left as they were; a `sub`
// that addresses nothing answers false.
BOOL WriteFromVariant(CTypeTreeItem& root, uint8_t* raw, size_t length, VARIANT* value, int16_t sub);

}  // namespace vornfmt
