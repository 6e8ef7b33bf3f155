#include "format/mask_conversions.h"

#include <string_view>

namespace vornfmt {
namespace {

bool IsMaskedLetter(char16_t c) {
  return c == u'd' || c == u'f' || c == u'c' || c == u'm' || c == u'x';
}

void MaskLetters(std::u16string& text) {
  for (std::size_t i = text.find(u'%'); i != std::u16string::npos; i = text.find(u'%', i + 1)) {
    const bool escaped = i > 0 && text[i - 1] == u'\\';
    if (!escaped && i + 1 < text.size() && IsMaskedLetter(text[i + 1])) text[i + 1] = u's';
  }
}

// Replaces every non-overlapping occurrence of the two-character `from`
// (scanned left to right) by `to`, keeping `origin` (when tracked) aligned.
void ReplacePairs(std::u16string& text, std::u16string_view from, std::u16string_view to,
                  std::vector<std::size_t>* origin) {
  if (text.find(from) == std::u16string::npos) return;
  std::u16string out;
  std::vector<std::size_t> out_origin;
  out.reserve(text.size());
  if (origin) out_origin.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const bool hit = i + 1 < text.size() && text[i] == from[0] && text[i + 1] == from[1];
    if (!hit) {
      out.push_back(text[i]);
      if (origin) out_origin.push_back((*origin)[i]);
      ++i;
      continue;
    }
    for (std::size_t k = 0; k < to.size(); ++k) {
      out.push_back(to[k]);
      if (origin) out_origin.push_back((*origin)[i + k]);
    }
    i += 2;
  }
  text.swap(out);
  if (origin) origin->swap(out_origin);
}

void FoldEscapes(std::u16string& text, std::vector<std::size_t>* origin) {
  ReplacePairs(text, u"\\%", u"%%", origin);
  ReplacePairs(text, u"\\\"", u"\"", origin);
  ReplacePairs(text, u"\\\\", u"\\", origin);
}

}  // namespace

void MaskConversions(std::u16string& text) {
  MaskLetters(text);
  if (text.find(u'\\') != std::u16string::npos) FoldEscapes(text, nullptr);
}

void MaskConversions(std::u16string& text, std::vector<std::size_t>& origin) {
  origin.clear();
  MaskLetters(text);
  if (text.find(u'\\') == std::u16string::npos) return;
  const std::size_t length = text.size();
  origin.resize(length);
  for (std::size_t i = 0; i < length; ++i) origin[i] = i;
  FoldEscapes(text, &origin);
  if (text.size() == length) origin.clear();
}

}  // namespace vornfmt
