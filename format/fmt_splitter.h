#pragma once
// CFmt: cuts a printf-like format text into pieces that each end with one
// bare conversion ('%' directly followed by its letter), and, for reading text
// back, cuts an input text into one field per conversion.
//
// The splitter keeps the format text twice: `remaining`, as written, and
// `masked` (MaskConversions), in which every bare conversion reads "%s".
// Conversions are searched in the masked text and cut out of both. When
// masking folded "\\" or a backslash before a double quote (which shortens
// the masked text), the positions found in the masked text are mapped back
// through the fold, so that pieces are always cut at the same characters of
// the text as written.
//
// Consuming moves a start position instead of erasing the front of a string,
// so cutting a text of n characters into k pieces costs O(n), not O(n*k).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vornfmt {

// A format text with its masking done (MaskConversions), for a caller that
// splits many inputs by the same format: masking is the costly part of
// setting a splitter up.
struct MaskedFormat {
  explicit MaskedFormat(std::u16string_view format);

  std::u16string text;
  std::u16string masked;
  std::vector<std::size_t> origin;
};

class CFmt {
 public:
  explicit CFmt(std::u16string_view format);
  CFmt(std::u16string_view format, std::u16string_view input);
  CFmt(const MaskedFormat& format, std::u16string_view input);
  virtual ~CFmt() = default;
  CFmt(const CFmt&) = delete;
  CFmt& operator=(const CFmt&) = delete;

  // Answers 1 when a conversion was cut: piece = the text as written up to
  // and including that conversion, letter = its letter as written. At the end
  // answers 0 with piece = all of the remaining text (which stays, so every
  // further call answers the same) and letter 0.
  int NextPiece(char16_t& letter, std::u16string& piece);

  // Reading back: matches the literal text before the next conversion
  // against the input (sets mismatch to 1 when the input does not begin with
  // it, leaving the input unchanged) and cuts the input field of that
  // conversion: up to the first occurrence of the literal character that
  // follows the conversion, or all of the input. Answers 1 with the
  // conversion text ("%d") and letter; at the end answers 0, checks the
  // remaining literal text and gives an empty field.
  int NextInputField(char16_t& letter, std::u16string& conversion, std::u16string& field,
                     std::int32_t& mismatch);

  std::u16string_view Input() const { return std::u16string_view(input_).substr(input_pos_); }
  std::u16string_view Remaining() const {
    return std::u16string_view(remaining_).substr(remaining_pos_);
  }
  std::u16string_view Masked() const { return std::u16string_view(masked_).substr(masked_pos_); }

 private:
  // Position (in masked_) of the next unescaped "%s" at or after masked_pos_,
  // or npos.
  std::size_t FindConversion() const;
  // Position in remaining_ of the character at masked_[masked_index].
  std::size_t OriginOf(std::size_t masked_index) const;
  // Consumes everything up to and including the conversion at masked_[at].
  void ConsumeConversion(std::size_t at);
  // Deletes the literal `masked` text (with "%%" read as '%') from the front
  // of the input; false when the input does not begin with it.
  bool MatchLiteral(std::u16string_view masked);
  std::u16string TakeField(std::size_t after_conversion);

  std::u16string input_;
  std::size_t input_pos_ = 0;
  std::u16string remaining_;
  std::size_t remaining_pos_ = 0;
  std::u16string masked_;
  std::size_t masked_pos_ = 0;
  std::vector<std::size_t> origin_;  // empty: masked_ and remaining_ align
};

}  // namespace vornfmt
