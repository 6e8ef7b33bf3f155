#include "typetree/limit_breach.h"

#include <atomic>

namespace vornfmt {
namespace {

std::atomic<LimitBreachHandler>& Handler() {
  static std::atomic<LimitBreachHandler> handler{&RefuseLimitBreach};
  return handler;
}

}  // namespace

bool RefuseLimitBreach(CTypeTreeItemBase&, uint8_t*, size_t, VARIANT*, uint32_t) { return false; }

LimitBreachHandler SetLimitBreachHandler(LimitBreachHandler handler) {
  return Handler().exchange(handler ? handler : &RefuseLimitBreach);
}

bool ReportLimitBreach(CTypeTreeItemBase& node, uint8_t* raw, size_t length, VARIANT* value, uint32_t messageId) {
  return Handler().load()(node, raw, length, value, messageId);
}

}  // namespace vornfmt
