#include "format/fmt_splitter.h"

#include "format/mask_conversions.h"

namespace vornfmt {

MaskedFormat::MaskedFormat(std::u16string_view format) : text(format), masked(format) {
  MaskConversions(masked, origin);
}

CFmt::CFmt(std::u16string_view format) : CFmt(format, std::u16string_view()) {}

CFmt::CFmt(std::u16string_view format, std::u16string_view input)
    : input_(input), remaining_(format), masked_(format) {
  MaskConversions(masked_, origin_);
}

CFmt::CFmt(const MaskedFormat& format, std::u16string_view input)
    : input_(input), remaining_(format.text), masked_(format.masked), origin_(format.origin) {}

std::size_t CFmt::FindConversion() const {
  std::size_t at = masked_.find(u"%s", masked_pos_);
  while (at != std::u16string::npos && at > masked_pos_ && masked_[at - 1] == u'%') {
    at = masked_.find(u"%s", at + 1);
  }
  return at;
}

std::size_t CFmt::OriginOf(std::size_t masked_index) const {
  return origin_.empty() ? masked_index : origin_[masked_index];
}

void CFmt::ConsumeConversion(std::size_t at) {
  remaining_pos_ = OriginOf(at + 1) + 1;
  masked_pos_ = at + 2;
}

int CFmt::NextPiece(char16_t& letter, std::u16string& piece) {
  const std::size_t at = FindConversion();
  if (at == std::u16string::npos) {
    piece.assign(Remaining());
    letter = 0;
    return 0;
  }
  const std::size_t letter_pos = OriginOf(at + 1);
  piece.assign(remaining_, remaining_pos_, letter_pos + 1 - remaining_pos_);
  letter = remaining_[letter_pos];
  ConsumeConversion(at);
  return 1;
}

bool CFmt::MatchLiteral(std::u16string_view masked) {
  // The literal as a printf-like formatter without arguments would write it:
  // "%%" gives '%', every other character (also a lone '%') stays.
  std::u16string literal;
  literal.reserve(masked.size());
  for (std::size_t i = 0; i < masked.size(); ++i) {
    literal.push_back(masked[i]);
    if (masked[i] == u'%' && i + 1 < masked.size() && masked[i + 1] == u'%') ++i;
  }
  if (Input().substr(0, literal.size()) != literal) return false;
  input_pos_ += literal.size();
  return true;
}

std::u16string CFmt::TakeField(std::size_t after_conversion) {
  std::size_t end = input_.size();
  if (after_conversion < masked_.size()) {
    const std::size_t stop = input_.find(masked_[after_conversion], input_pos_);
    if (stop != std::u16string::npos) end = stop;
  }
  std::u16string field = input_.substr(input_pos_, end - input_pos_);
  input_pos_ = end;
  return field;
}

int CFmt::NextInputField(char16_t& letter, std::u16string& conversion, std::u16string& field,
                         std::int32_t& mismatch) {
  mismatch = 0;
  const std::size_t at = FindConversion();
  if (at == std::u16string::npos) {
    conversion.assign(Remaining());
    if (!Masked().empty() && !MatchLiteral(Masked())) mismatch = 1;
    letter = 0;
    field.clear();
    return 0;
  }
  if (at > masked_pos_ && !MatchLiteral(std::u16string_view(masked_).substr(masked_pos_, at - masked_pos_))) {
    mismatch = 1;
  }
  field = TakeField(at + 2);
  const std::size_t percent_pos = OriginOf(at);
  const std::size_t letter_pos = OriginOf(at + 1);
  conversion.assign({remaining_[percent_pos], remaining_[letter_pos]});
  letter = remaining_[letter_pos];
  ConsumeConversion(at);
  return 1;
}

}  // namespace vornfmt
