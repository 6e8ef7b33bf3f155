#pragma once
// What the encoder does when a value breaks a limit of its node: it hands
// the node, the raw buffer and the VARIANT being converted to the installed
// handler, whose answer becomes the node's result. The interactive editing
// layer installs a handler that shows the message and lets the user correct
// the value; the default answers false at once and shows nothing (as the
// editing step does while messages are switched off).
#include <cstddef>
#include <cstdint>

#include "platform/variant_fwd.h"

namespace vornfmt {

class CTypeTreeItemBase;

// Message "Data exceeds bounds.", the one message the encoder reports.
inline constexpr uint32_t kMessageDataExceedsBounds = 101;

// `value` is the caller's VARIANT, passed through untouched by the codec;
// a handler that accepts a corrected value may write it back there.
using LimitBreachHandler = bool (*)(CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value,
                                    uint32_t messageId);

// Installs `handler` (null restores the default); answers the previous one.
LimitBreachHandler SetLimitBreachHandler(LimitBreachHandler handler);

// The default: false, nothing shown.
bool RefuseLimitBreach(CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value, uint32_t messageId);

// Calls the installed handler.
bool ReportLimitBreach(CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value, uint32_t messageId);

}  // namespace vornfmt
