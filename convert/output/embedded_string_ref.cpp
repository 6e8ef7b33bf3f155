#include "convert/output/embedded_string_ref.h"

#include "catalog/program_id.h"
#include "convert/output/locale_number_text.h"
#include "platform/code_page.h"

namespace vornfmt {
namespace {

bool IsIndexCharacter(char16_t c) {
  return (c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E' || c == u'+' || c == u'-';
}

int32_t DecimalAt(std::u16string_view text) {
  size_t used = 0;
  return ReadLeadingLong(text, 10, used);
}

}  // namespace

void EmbeddedStringRef::Parse(std::u16string_view pid) {
  programId = ProgramIdFromText(pid);
  index = 0;
  scope = 0;
  valid = false;
  if (text.empty() || static_cast<uint8_t>(text[0]) != 0x80) return;
  std::u16string wide = codepage::FromAnsi(text);
  const size_t semicolon = wide.find(u';');
  if (semicolon != std::u16string::npos && semicolon > 0) wide.resize(semicolon);
  const std::u16string_view t(wide);
  size_t at = 1;
  if (const size_t dash = t.find(u'-', 1); dash != std::u16string_view::npos) {
    programId = ProgramIdFromText(t.substr(1, dash - 1));
    at = dash + 1;
  }
  if (const size_t colon = t.find(u':', at); colon != std::u16string_view::npos) {
    scope = static_cast<uint8_t>(DecimalAt(t.substr(at)));
    at = colon + 1;
  }
  const std::u16string_view rest = at < t.size() ? t.substr(at) : std::u16string_view();
  if (rest.empty()) return;
  for (char16_t c : rest)
    if (!IsIndexCharacter(c)) return;
  valid = true;
  index = DecimalAt(rest);
}

std::u16string EmbeddedStringRef::ProgramIdText() const {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string out;
  for (uint8_t byte : programId) {
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 15]);
  }
  return out;
}

}  // namespace vornfmt
