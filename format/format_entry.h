#pragma once
// One entry of a format file, as the entry loader reads it:
//
//   [*]NAME[#MEASUREMENT]:VALUE
//
// with VALUE holding "text(...)", "int" or "real". A '*' before the name
// marks the default alternative; the measurement system is the selector
// after '#'. Examples: `*SNVT_temp_f#SI:text("%f",*0.1+0)`, `UCPT_x:int`.
#include <string>
#include <string_view>

namespace vornfmt {

enum class EntryOutcome {
  Added,            // an alternative was added to the type's format object
  EmptyOrComment,   // empty, or begins with '!': ignored
  NoTypeName,       // holds none of SNVT, UNVT, SCPT, UCPT: ignored
  MeasurementLO,    // measurement system "LO": ignored
  NoKey,            // no ':' after the name start: the entry can never be found
  NoSpecification,  // value without "text", "int" or "real": the type gets an
                    // object without alternatives
};

// "added", "ignored: empty or comment", ... for listings.
std::string_view EntryOutcomeText(EntryOutcome outcome);

enum class SpecificationSource { None, Text, Int, Real };

struct FormatEntry {
  // Added here means: add `specification` as an alternative of `name`.
  EntryOutcome outcome = EntryOutcome::EmptyOrComment;
  bool is_default = false;
  std::u16string_view name;                // views into the entry text
  std::u16string_view measurement_system;
  SpecificationSource source = SpecificationSource::None;
  std::u16string specification;            // "(...)" handed to the compiler
};

// Reads one complete entry text (comments removed, lines joined, tabs
// dropped). Nothing is trimmed inside the key: a blank before the ':' stays
// part of the name or the measurement system.
FormatEntry ParseFormatEntry(std::u16string_view text);
// The same into `entry`, reusing the storage of its specification.
void ParseFormatEntry(std::u16string_view text, FormatEntry& entry);

}  // namespace vornfmt
