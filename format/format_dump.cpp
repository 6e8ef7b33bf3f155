#include "format/format_dump.h"

#include <charconv>
#include <cstdio>

#include "format/text_encoding.h"

namespace vornfmt {
namespace {

std::string Number(float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string KindName(BracketKind kind) {
  switch (kind) {
    case BracketKind::Items: return "Items";
    case BracketKind::Group: return "Group";
    case BracketKind::Conditional: return "Conditional";
  }
  return "Unknown";
}

// Appends each part in turn (no temporaries joined with operator+).
template <class... Parts>
void Append(std::string& out, const Parts&... parts) {
  (out.append(parts), ...);
}

void AppendItem(std::string& out, const CFmtStringItem& item, int indent) {
  out.append(static_cast<std::size_t>(indent) * 2, ' ');
  Append(out, "item ", Quoted(item.Name()), "  ", ConversionKindName(item.Kind()));
  Append(out, "  piece ", Quoted(item.Piece()));
  Append(out, "  scale ", Number(item.Scale()), "  offset ", Number(item.Offset()));
  if (item.UnitsIndex() != 0 || item.UnitsScope() != 0) {
    Append(out, "  units ", std::to_string(item.UnitsScope()), ":", std::to_string(item.UnitsIndex()));
  }
  out += '\n';
}

void AppendTree(std::string& out, const CBracketsObject& node, int indent, std::string_view label) {
  out.append(static_cast<std::size_t>(indent) * 2, ' ');
  Append(out, label, KindName(node.Kind()));
  if (node.Kind() == BracketKind::Items) Append(out, " ", Quoted(node.FormatText()));
  if (node.Kind() == BracketKind::Conditional) Append(out, " ", Quoted(node.Condition()));
  if (node.Kind() == BracketKind::Group && node.Children().empty()) out += " (empty: shows nothing)";
  out += '\n';
  for (const auto& item : node.Items()) AppendItem(out, *item, indent + 1);
  if (node.ThenBranch()) AppendTree(out, *node.ThenBranch(), indent + 1, "then: ");
  if (node.ElseBranch()) AppendTree(out, *node.ElseBranch(), indent + 1, "else: ");
  for (const auto& child : node.Children()) AppendTree(out, *child, indent + 1, "");
}

}  // namespace

bool ShowsNothing(const CBracketsObject& node) {
  for (const auto& item : node.Items()) {
    if (item->Kind() != ConversionKind::Literal || !item->Piece().empty()) return false;
  }
  for (const auto& child : node.Children()) {
    if (!ShowsNothing(*child)) return false;
  }
  if (node.ThenBranch() && !ShowsNothing(*node.ThenBranch())) return false;
  if (node.ElseBranch() && !ShowsNothing(*node.ElseBranch())) return false;
  return true;
}

std::string DescribeTree(const CBracketsObject& node, int indent) {
  std::string out;
  AppendTree(out, node, indent, "");
  return out;
}

std::string DescribeFormatObject(const CFmtObject& object, int indent) {
  const std::string pad(static_cast<std::size_t>(indent) * 2, ' ');
  std::string out;
  Append(out, pad, ToUtf8(object.Name()));
  const std::size_t count = object.Alternatives().size();
  if (count == 0) {
    out += "  (no alternatives: no format)\n";
  } else {
    Append(out, "  (", std::to_string(count), count == 1 ? " alternative)\n" : " alternatives)\n");
  }
  std::size_t number = 0;
  for (const auto& alternative : object.Alternatives()) {
    Append(out, pad, "  alternative ", std::to_string(++number), ": measurement system ",
           Quoted(alternative->MeasurementSystem()));
    if (alternative->IsDefault()) out += ", default";
    if (ShowsNothing(*alternative)) out += ", shows nothing";
    out += '\n';
    AppendTree(out, *alternative, indent + 2, "");
  }
  return out;
}

std::string Quoted(std::u16string_view text) {
  std::string out = "\"";
  std::size_t run = 0;  // start of the pending run of plain characters
  auto flush = [&](std::size_t end) { out += ToUtf8(text.substr(run, end - run)); };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0x20 && c != 0x7F && c != u'"' && c != u'\\') continue;
    flush(i);
    run = i + 1;
    if (c == u'"' || c == u'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == u'\t') {
      out += "\\t";
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  flush(text.size());
  out += '"';
  return out;
}

}  // namespace vornfmt
