// vornfmt format: raw bytes of a type to text, or to a number of a VARIANT type.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "control/type_element_core.h"
#include "platform/code_page.h"
#include "tools/batch_jobs.h"
#include "tools/commands.h"
#include "tools/value_options.h"

namespace vornfmt::tool {
namespace {

struct FormatOptions {
  ValueOptions value;
  std::string hex;
  bool batch = false;
  bool json = false;
  int jobs = 1;
};

VARTYPE RequestedType(const FormatOptions& options) {
  return static_cast<VARTYPE>(options.value.vt < 0 ? VT_BSTR : options.value.vt);
}

// What one conversion gave: the text, FormatVT's answer, and when it is
// false the reason.
struct Outcome {
  std::string text;
  bool ok = false;
  std::string reason;
};

// FormatVT of one buffer, which must be as long as the type.
Outcome FormatOnce(TypeElementCore& element, const std::vector<uint8_t>& raw, VARTYPE vt, int16_t sub) {
  Outcome outcome;
  outcome.reason = LengthMismatch("HEX", raw.size(), element);
  if (!outcome.reason.empty()) return outcome;
  VARIANT result;
  VariantInit(&result);
  outcome.ok = element.Format(raw, vt, result, sub);
  if (outcome.ok) outcome.text = codepage::Utf16ToUtf8(ResultText(result));
  else outcome.reason = FormatFailure(element, result, vt, sub);
  VariantClear(&result);
  return outcome;
}

// One result line: line breaks inside a text (a character array may hold
// any byte) become blanks; --json gives the exact text.
void AppendResult(std::string& out, std::string_view type, std::string_view hex, const Outcome& outcome, bool json) {
  if (!json) {
    for (char c : outcome.text) out.push_back(c == '\n' || c == '\r' ? ' ' : c);
    out.push_back('\n');
    return;
  }
  nlohmann::ordered_json line = {{"type", type}, {"bytes", hex}, {"ok", outcome.ok}, {"text", outcome.text}};
  out += line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  out.push_back('\n');
}

void PrintResult(std::string_view type, std::string_view hex, const Outcome& outcome, bool json) {
  std::string out;
  AppendResult(out, type, hex, outcome, json);
  std::cout << out;
}

int Format(const FormatOptions& options) {
  std::vector<uint8_t> raw;
  if (!UnpackHex(options.hex, raw)) {
    std::cerr << "vornfmt format: HEX \"" << options.hex << "\" must be pairs of hexadecimal digits\n";
    return 2;
  }
  TypeElementCore element;
  const std::optional<int16_t> sub = LoadTypeAndSubfield(element, options.value, "format");
  if (!sub) return 1;
  const Outcome outcome = FormatOnce(element, raw, RequestedType(options), *sub);
  if (!outcome.ok) {
    std::cerr << "vornfmt format: " << outcome.reason << "\n";
    if (!element.HasFormat()) PrintFormatFileProblems("format");
    // --json shows the failed conversion too; plain text prints nothing.
    if (options.json) PrintResult(options.value.type, HexOf(raw), outcome, true);
    return 1;
  }
  PrintResult(options.value.type, HexOf(raw), outcome, options.json);
  return 0;
}

// A type of the batch, loaded at its first line; no element when it cannot
// be loaded or lacks the requested field, and then the reason.
struct BatchType {
  std::unique_ptr<TypeElementCore> element;
  int16_t sub = -1;
  std::string reason;
  size_t nodes = 0;       // what the element holds
  uint64_t lastUse = 0;   // for evicting the least recently used
};

// The types of a batch, each loaded once and kept while it fits: at most
// kMaxTypes of them, holding at most kMaxNodes tree nodes together (a type
// alone may hold more; it is then the only one kept). Every distinct
// "TYPE#SYSTEM" is a type of its own, so without a bound a batch of many
// names would keep every tree it ever loaded. kMaxTypes is above the 590
// types of the standard set: a capture of all of them, mixed, loads each
// once (with 64, such a capture reloaded a type on most lines, 5x slower).
class BatchTypes {
 public:
  static constexpr size_t kMaxTypes = 1024;
  static constexpr size_t kMaxNodes = 200000;

  explicit BatchTypes(const FormatOptions& options) : options_(options) {}

  const BatchType& Get(std::string_view type) {
    ++clock_;
    // Batches mostly repeat a type from one line to the next.
    if (last_ != types_.end() && last_->first == type) {
      last_->second.lastUse = clock_;
      return last_->second;
    }
    auto known = types_.find(type);
    if (known == types_.end()) {
      BatchType loaded = Load(type);
      nodes_ += loaded.nodes;
      known = types_.emplace(std::string(type), std::move(loaded)).first;
      Evict(known->first);
    }
    known->second.lastUse = clock_;
    last_ = known;
    return known->second;
  }

 private:
  BatchType Load(std::string_view type) {
    BatchType loaded;
    loaded.element = std::make_unique<TypeElementCore>();
    ValueOptions value = options_.value;
    value.type = type;
    std::optional<int16_t> sub;
    if (LoadType(*loaded.element, value, loaded.reason)) {
      sub = SubfieldIndex(*loaded.element, value, loaded.reason);
    } else {
      // Once per run, by whichever job first meets a type it cannot load.
      static std::once_flag said;
      std::call_once(said, [] { PrintSkippedTypeFiles("format"); });
    }
    if (sub) {
      loaded.sub = *sub;
      loaded.nodes = loaded.element->NodeCount();
    } else {
      loaded.element.reset();
    }
    return loaded;
  }

  // Drops the least recently used types, never `keep`, until the rest fits.
  void Evict(const std::string& keep) {
    while (types_.size() > kMaxTypes || (nodes_ > kMaxNodes && types_.size() > 1)) {
      auto oldest = types_.end();
      for (auto it = types_.begin(); it != types_.end(); ++it)
        if (it->first != keep && (oldest == types_.end() || it->second.lastUse < oldest->second.lastUse)) oldest = it;
      if (oldest == types_.end()) return;
      nodes_ -= oldest->second.nodes;
      if (oldest == last_) last_ = types_.end();
      types_.erase(oldest);
    }
  }

  const FormatOptions& options_;
  std::map<std::string, BatchType, std::less<>> types_;
  std::map<std::string, BatchType, std::less<>>::iterator last_ = types_.end();
  size_t nodes_ = 0;
  uint64_t clock_ = 0;
};

// What one job keeps from line to line: its types, and the buffer each
// line's bytes are unpacked into (reused, not allocated per line).
struct BatchJob {
  explicit BatchJob(const FormatOptions& options) : types(options) {}
  BatchTypes types;
  std::vector<uint8_t> raw;
};

// One batch line "TYPE HEX" of a job: its result line (an empty text for a
// line that cannot be formatted, and then the reason among the messages).
bool FormatBatchLine(BatchJob& job, const FormatOptions& options, const BatchLine& line, std::string& out,
                     std::string& messages) {
  const auto [type, hex] = SplitBatchLine(line.text);
  Outcome outcome;
  std::vector<uint8_t>& raw = job.raw;
  if (line.tooLong) {
    outcome.reason = "longer than 1 MiB";
  } else if (const BatchType& batchType = job.types.Get(type); !batchType.element) {
    outcome.reason = batchType.reason;
  } else if (!UnpackHex(hex, raw)) {
    outcome.reason = "HEX must be pairs of hexadecimal digits";
  } else {
    outcome = FormatOnce(*batchType.element, raw, RequestedType(options), batchType.sub);
  }
  if (!outcome.ok)
    messages += "vornfmt format: line " + std::to_string(line.number) + ": " + outcome.reason + "\n";
  AppendResult(out, line.tooLong ? std::string_view() : type, line.tooLong ? std::string_view() : hex, outcome,
               options.json);
  return outcome.ok;
}

// Lines "TYPE HEX" on standard input, one result line each, in input order
// whatever the number of jobs; every job loads the types it meets itself.
int FormatBatch(const FormatOptions& options) {
  if (!OpenCatalog(options.value.catalog)) return 1;
  // Reading standard input would flush the tied output stream once per line.
  std::cin.tie(nullptr);
  auto makeWorker = [&options]() -> BatchWorker {
    auto job = std::make_shared<BatchJob>(options);
    return [job, &options](const BatchLine& line, std::string& out, std::string& messages) {
      return FormatBatchLine(*job, options, line, out, messages);
    };
  };
  const bool allOk = RunBatchJobs(std::cin, std::cout, std::cerr, static_cast<size_t>(options.jobs), makeWorker);
  return allOk ? 0 : 1;
}

}  // namespace

void AddFormatCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<FormatOptions>();
  CLI::App* command = app.add_subcommand("format", "Show raw bytes of a type as text (FormatVT)");
  AddValueOptions(*command, options->value);
  CLI::Option* type =
      command->add_option("TYPE", options->value.type, "Type name, optionally with #MEASUREMENT_SYSTEM");
  CLI::Option* hex = command->add_option("HEX", options->hex, "Raw bytes: 0A28, \"0a 28\" or 0A:28");
  CLI::Option* batch = command->add_flag(
      "--batch", options->batch, "Read lines \"TYPE HEX\" from standard input and print one result line each");
  batch->excludes(type)->excludes(hex);
  command->add_option("--jobs", options->jobs, "Threads formatting a --batch; the output stays in input order")
      ->capture_default_str()
      ->check(CLI::Range(1, 64))
      ->needs(batch);
  command->add_flag("--json", options->json, "Print each result as a JSON object (type, bytes, ok, text)");
  command->callback([options, &exitCode] {
    if (!options->batch && (options->value.type.empty() || options->hex.empty())) {
      std::cerr << "vornfmt format: give TYPE and HEX, or --batch\n";
      exitCode = 2;
      return;
    }
    exitCode = options->batch ? FormatBatch(*options) : Format(*options);
  });
}

}  // namespace vornfmt::tool
