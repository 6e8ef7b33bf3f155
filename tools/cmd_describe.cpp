// vornfmt describe: the layout of one type, one line per subfield.
#include <cstdio>
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>

#include "catalog/formatter_engine.h"
#include "format/fmt_file_factory.h"
#include "platform/code_page.h"
#include "tools/catalog_options.h"
#include "tools/commands.h"
#include "typetree/bounds.h"
#include "typetree/codec.h"
#include "typetree/type_tree_item.h"
#include "typetree/variant_type.h"

namespace vornfmt::tool {
namespace {

struct DescribeOptions {
  CatalogOptions catalog;
  std::string type;
  int index = 0;
  bool cpt = false;
  bool nvt = false;
  bool json = false;
};

std::string Number(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

std::string Utf8(std::u16string_view text) { return codepage::Utf16ToUtf8(text); }

void PrintHeader() {
  std::cout << "index\tpath\tkind\tbit\tbits\tvariant\tmin\tmax\tresolution\tname\tcomment\tunits\n";
}

void PrintNode(int index, CTypeTreeItemBase& node) {
  double minimum = 0, maximum = 0;
  const bool bounded = GetBounds(node, minimum, maximum);
  std::cout << index << '\t' << Utf8(node.GetName()) << '\t' << Utf8(node.GetKindName()) << '\t'
            << node.GetBitOffset() << '\t' << node.GetSize(false) << '\t' << vt::Name(node.GetVariantType()) << '\t'
            << (bounded ? Number(minimum) : "-") << '\t' << (bounded ? Number(maximum) : "-") << '\t'
            << Number(GetResolution(node)) << '\t' << Utf8(node.GetNameText()) << '\t'
            << Utf8(node.GetCommentText()) << '\t' << Utf8(node.GetUnitsRefText()) << '\n';
}

nlohmann::ordered_json NodeJson(int index, CTypeTreeItemBase& node) {
  double minimum = 0, maximum = 0;
  const bool bounded = GetBounds(node, minimum, maximum);
  nlohmann::ordered_json json = {{"index", index},
                                 {"path", Utf8(node.GetName())},
                                 {"kind", Utf8(node.GetKindName())},
                                 {"bitOffset", node.GetBitOffset()},
                                 {"bits", node.GetSize(false)},
                                 {"variantType", vt::Name(node.GetVariantType())},
                                 {"min", nullptr},
                                 {"max", nullptr},
                                 {"resolution", GetResolution(node)},
                                 {"name", Utf8(node.GetNameText())},
                                 {"comment", Utf8(node.GetCommentText())},
                                 {"units", Utf8(node.GetUnitsRefText())}};
  if (bounded) {
    json["min"] = minimum;
    json["max"] = maximum;
  }
  return json;
}

void PrintJson(CTypeTreeItem& root, const std::u16string& system) {
  nlohmann::ordered_json subfields = nlohmann::ordered_json::array();
  subfields.push_back(NodeJson(-1, root));
  for (int16_t sub = 0; sub < root.GetSubfieldCount(); ++sub) subfields.push_back(NodeJson(sub, *root.GetSubfield(sub)));
  nlohmann::ordered_json json = {{"type", Utf8(root.typeName)},
                                 {"index", root.typeIndex},
                                 {"networkVariable", root.isNetworkVariable != 0},
                                 {"size", root.GetSize(true)},
                                 {"measurementSystem", system.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(Utf8(system))},
                                 {"subfields", std::move(subfields)}};
  std::cout << json.dump(2) << "\n";
}

bool Load(CTypeTreeItem& root, const DescribeOptions& options) {
  const std::u16string pid = PidText(options.catalog.pid);
  const auto selector = static_cast<int16_t>(options.catalog.selector);
  if (options.index > 0) return root.LoadByIndex(static_cast<int16_t>(options.index), !options.cpt, pid, selector);
  return root.LoadByName(codepage::Utf8ToUtf16(options.type), pid, selector);
}

int Describe(const DescribeOptions& options) {
  if (options.index == 0 && options.type.empty()) {
    std::cerr << "vornfmt describe: name a TYPE or give --index\n";
    return 2;
  }
  if (!OpenCatalog(options.catalog)) return 1;
  CTypeTreeItem root;
  const bool loaded = Load(root, options);
  if (!root.LoadProblem().empty())
    std::cerr << "vornfmt describe: " << (loaded ? "note: " : "") << Utf8(root.LoadProblem()) << "\n";
  if (!loaded && root.LoadProblem().empty()) {
    const std::string wanted =
        options.type.empty() ? (options.cpt ? "CPT " : "NVT ") + std::to_string(options.index) : "\"" + options.type + "\"";
    std::cerr << "vornfmt describe: no type " << wanted << " for program ID " << options.catalog.pid
              << " and selector " << options.catalog.selector << "\n";
    PrintSkippedTypeFiles("describe");
    return 1;
  }
  if (!loaded) return 1;
  const std::u16string system = root.GetMeasurementSystem();
  if (options.json) {
    PrintJson(root, system);
    return 0;
  }
  std::cout << "type " << Utf8(root.typeName) << " index " << root.typeIndex
            << (root.isNetworkVariable ? " (network variable)" : " (configuration property)") << " size "
            << root.GetSize(true) << " format "
            << (root.GetFormat() ? (system.empty() ? "yes" : "yes, " + Utf8(system)) : std::string("none")) << "\n";
  PrintHeader();
  PrintNode(-1, root);
  for (int16_t sub = 0; sub < root.GetSubfieldCount(); ++sub) PrintNode(sub, *root.GetSubfield(sub));
  return 0;
}

}  // namespace

void AddDescribeCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<DescribeOptions>();
  CLI::App* command = app.add_subcommand("describe", "Print the layout of a type, one line per subfield");
  AddCatalogOptions(*command, options->catalog);
  AddLocaleOption(*command, options->catalog);
  command->add_option("TYPE", options->type, "Type name, optionally with #MEASUREMENT_SYSTEM");
  CLI::Option* index = command->add_option("--index", options->index, "Load by type index instead of name")
                           ->check(CLI::Range(1, 65535));
  CLI::Option* cpt = command->add_flag("--cpt", options->cpt, "The index is a configuration-property type index");
  CLI::Option* nvt = command->add_flag("--nvt", options->nvt, "The index is a network-variable type index (default)");
  cpt->excludes(nvt)->needs(index);
  nvt->needs(index);
  index->excludes("TYPE");
  command->add_flag("--json", options->json, "Print the layout as JSON");
  command->callback([options, &exitCode] { exitCode = Describe(*options); });
}

}  // namespace vornfmt::tool
