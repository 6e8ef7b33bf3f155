// vornfmt write: a text or a number into the raw bytes of a type.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "control/type_element_core.h"
#include "platform/code_page.h"
#include "tools/commands.h"
#include "tools/value_options.h"

namespace vornfmt::tool {
namespace {

struct WriteOptions {
  ValueOptions value;
  std::string bytes;
  bool number = false;
  bool json = false;
  std::string text;
};

// VALUE as the VARIANT WriteVT receives: the text, or with --number the
// number (read in the user's numeric locale) as VT_R8, converted to --vt
// when one is given. Answers the code of the conversion that failed.
HRESULT MakeValue(const WriteOptions& options, VARIANT& value) {
  SetBstr(value, codepage::Utf8ToUtf16(options.text));
  if (!options.number) return S_OK;
  if (const HRESULT code = VariantChangeType(&value, &value, 0, VT_R8); code != S_OK) return code;
  return options.value.vt < 0 ? S_OK : ConvertVariant(&value, static_cast<VARTYPE>(options.value.vt));
}

bool StartingBytes(const WriteOptions& options, TypeElementCore& element, std::vector<uint8_t>& raw) {
  if (options.bytes.empty()) {
    raw.assign(TypeLength(element), 0);
    return true;
  }
  return UnpackHex(options.bytes, raw);
}

// One sentence per refusal the library noted: the message the editing step
// would show with the field, or the field the text gave no value.
std::vector<std::string> RefusalReasons(const std::vector<WriteRefusal>& why, TypeElementCore& element, int16_t sub) {
  std::vector<std::string> reasons;
  for (const WriteRefusal& refusal : why) {
    const std::string field = codepage::Utf16ToUtf8(refusal.field);
    if (refusal.messageId == kRefusalNoValue) {
      reasons.push_back("the text gives no value for field \"" + field + "\"");
      continue;
    }
    std::string text = codepage::Utf16ToUtf8(MessageText(refusal.messageId));
    if (text.empty()) text = "message " + std::to_string(refusal.messageId);
    reasons.push_back(text + (refusal.wholeType ? " (" + field + ", the whole type)" : " (field \"" + field + "\")"));
  }
  if (!element.HasFormat()) reasons.push_back(NoFormat(element));
  if (reasons.empty() && sub != -1 && (sub < 0 || sub >= element.SubfieldsCount()))
    reasons.push_back(codepage::Utf16ToUtf8(element.Name(-1)) + " has no subfield " + std::to_string(sub));
  if (reasons.empty()) reasons.push_back("the value cannot be written");
  return reasons;
}

void PrintJson(const WriteOptions& options, bool ok, const std::vector<uint8_t>& raw,
               const std::vector<std::string>& reasons) {
  std::string reason;
  for (const std::string& r : reasons) reason += (reason.empty() ? "" : "; ") + r;
  nlohmann::ordered_json line = {{"type", options.value.type},
                                 {"value", options.text},
                                 {"ok", ok},
                                 {"bytes", HexOf(raw)},
                                 {"reason", ok ? nlohmann::ordered_json() : nlohmann::ordered_json(reason)}};
  std::cout << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

int Write(const WriteOptions& options) {
  TypeElementCore element;
  const std::optional<int16_t> sub = LoadTypeAndSubfield(element, options.value, "write");
  if (!sub) return 1;
  std::vector<uint8_t> raw;
  if (!StartingBytes(options, element, raw)) {
    std::cerr << "vornfmt write: --bytes \"" << options.bytes << "\" must be pairs of hexadecimal digits\n";
    return 2;
  }
  if (const std::string mismatch = LengthMismatch("--bytes", raw.size(), element); !mismatch.empty()) {
    std::cerr << "vornfmt write: " << mismatch << "\n";
    return 1;
  }
  VARIANT value;
  VariantInit(&value);
  if (const HRESULT code = MakeValue(options, value); code != S_OK) {
    VariantClear(&value);
    if (code == DISP_E_BADVARTYPE) {
      std::cerr << "vornfmt write: " << ConversionFailure(code, static_cast<VARTYPE>(options.value.vt)) << "\n";
      return 1;
    }
    std::cerr << "vornfmt write: VALUE \"" << options.text << "\" is not a number of that VARIANT type\n";
    return 2;
  }
  std::vector<WriteRefusal> why;
  const bool ok = element.Write(raw, value, *sub, &why);
  VariantClear(&value);
  std::vector<std::string> reasons;
  if (!ok) {
    reasons = RefusalReasons(why, element, *sub);
    for (const std::string& r : reasons) std::cerr << "vornfmt write: " << r << "\n";
    if (!element.HasFormat()) PrintFormatFileProblems("write");
  }
  // A refused write shows no bytes: those of the fields that were written
  // are no value anyone asked for. --json shows them with "ok": false.
  if (options.json) PrintJson(options, ok, raw, reasons);
  else if (ok) std::cout << HexOf(raw) << "\n";
  return ok ? 0 : 1;
}

}  // namespace

void AddWriteCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<WriteOptions>();
  CLI::App* command = app.add_subcommand("write", "Write a text or a number into raw bytes of a type (WriteVT)");
  AddValueOptions(*command, options->value);
  command->add_option("--bytes", options->bytes, "Starting bytes (default: zeros of the type's length)");
  command->add_flag("--number", options->number, "VALUE is a number (VT_R8, or the --vt type), not text");
  command->add_flag("--json", options->json,
                    "Print the result as a JSON object (type, value, ok, bytes, reason), also when refused");
  command->add_option("TYPE", options->value.type, "Type name, optionally with #MEASUREMENT_SYSTEM")->required();
  command->add_option("VALUE", options->text, "The text (or number) to write")->required();
  command->callback([options, &exitCode] { exitCode = Write(*options); });
}

}  // namespace vornfmt::tool
