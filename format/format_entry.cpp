#include "format/format_entry.h"

#include "format/cmy_string.h"
#include "format/type_name.h"

namespace vornfmt {
namespace {

constexpr std::size_t npos = std::u16string_view::npos;

bool Contains(std::u16string_view text, std::u16string_view part) { return text.find(part) != npos; }

// The format specification that the value of an entry gives, tested in this order:
// "text" -> "(" + the part between the first '(' and the last ')' + ")";
// "int" -> ("%d"); "real" -> ("%f").
SpecificationSource ReadSpecification(std::u16string_view value, std::u16string& specification) {
  if (Contains(value, u"text")) {
    const std::u16string_view inner = Between(value, u'(', u')');
    specification.reserve(inner.size() + 2);
    specification.assign(u"(").append(inner).append(u")");
    return SpecificationSource::Text;
  }
  if (Contains(value, u"int")) {
    specification.assign(u"(\"%d\")");
    return SpecificationSource::Int;
  }
  if (Contains(value, u"real")) {
    specification.assign(u"(\"%f\")");
    return SpecificationSource::Real;
  }
  return SpecificationSource::None;
}

}  // namespace

std::string_view EntryOutcomeText(EntryOutcome outcome) {
  switch (outcome) {
    case EntryOutcome::Added: return "added";
    case EntryOutcome::EmptyOrComment: return "ignored: empty or comment";
    case EntryOutcome::NoTypeName: return "ignored: no SNVT, UNVT, SCPT or UCPT in the entry";
    case EntryOutcome::MeasurementLO: return "ignored: measurement system LO";
    case EntryOutcome::NoKey: return "unreachable: no ':' after the type name";
    case EntryOutcome::NoSpecification: return "no format: the value holds none of text, int, real";
  }
  return "unknown";
}

FormatEntry ParseFormatEntry(std::u16string_view text) {
  FormatEntry entry;
  ParseFormatEntry(text, entry);
  return entry;
}

void ParseFormatEntry(std::u16string_view text, FormatEntry& entry) {
  entry.outcome = EntryOutcome::EmptyOrComment;
  entry.is_default = false;
  entry.name = {};
  entry.measurement_system = {};
  entry.source = SpecificationSource::None;
  entry.specification.clear();
  text = TrimLeft(text);
  if (text.empty() || text[0] == u'!') return;
  const std::size_t name_start = FindTypeNameStart(text);
  if (name_start == npos) {
    entry.outcome = EntryOutcome::NoTypeName;
    return;
  }
  entry.is_default = text.substr(0, name_start).find(u'*') != npos;
  const std::size_t colon = text.find(u':');
  if (colon == npos || colon < name_start) {
    entry.outcome = EntryOutcome::NoKey;
    return;
  }
  const std::u16string_view key = text.substr(name_start, colon - name_start);
  const std::size_t hash = key.find(u'#');
  entry.name = key.substr(0, hash);
  if (hash != npos) entry.measurement_system = key.substr(hash + 1);
  if (entry.measurement_system == u"LO") {
    entry.outcome = EntryOutcome::MeasurementLO;
    return;
  }
  entry.source = ReadSpecification(text.substr(colon), entry.specification);
  entry.outcome = entry.source == SpecificationSource::None ? EntryOutcome::NoSpecification
                                                            : EntryOutcome::Added;
}

}  // namespace vornfmt
