// Loading a format file: a generated file of 10,000 entries read, joined
// and parsed into a CFmtFile (and, separately, with every format compiled),
// against the floor of merely reading the same lines and cutting them into
// tokens.
#include <benchmark/benchmark.h>

#include "bench/fixed_iterations.h"

#include <cctype>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/format_file_loader.h"
#include "format/fmt_file.h"
#include "format/fmt_file_factory.h"

namespace {

constexpr int kEntries = 10000;

// Entries of the kinds real format files hold: plain int/real entries,
// scaled texts with measurement systems and defaults, several values with
// literal text, conditionals, entries over two lines, comments.
std::string GeneratedFormatFile(int entries) {
  std::string text = "! Generated format file\n";
  for (int i = 0; i < entries; ++i) {
    const std::string n = std::to_string(i / 6);
    switch (i % 6) {
      case 0: text += "SNVT_temp_" + n + "#SI:text(\"%f\",*0.1+0);   ! degrees Celsius\n"; break;
      case 1: text += "*SNVT_temp_" + n + "#US:text(\"%f F\",*0.18+32);\n"; break;
      case 2: text += "SNVT_switch_" + n + ":text(\"%f %d\",value*0.5,state);\n"; break;
      case 3: text += "UCPT_mode_" + n + ":text(((state!=0)?(\"on %f\",value*0.5):(\"off\")));\n"; break;
      case 4: text += "SNVT_count_" + n + ":int;\n"; break;
      case 5: text += "SNVT_level_" + n + "#SI:text(\"%d/%d \xB0\",\n\tlow*1+0(0:3),\n\thigh);\n"; break;
    }
  }
  return text;
}

const std::string& FormatFileText() {
  static const std::string text = GeneratedFormatFile(kEntries);
  return text;
}

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// Cuts a line into names/numbers, quoted texts and single punctuation marks.
void Tokenize(std::string_view line, std::vector<std::string_view>& tokens) {
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    std::size_t end = i + 1;
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (c == '"') {
      end = line.find('"', i + 1);
      end = end == std::string_view::npos ? line.size() : end + 1;
    } else if (IsNameChar(c)) {
      while (end < line.size() && IsNameChar(line[end])) ++end;
    }
    tokens.push_back(line.substr(i, end - i));
    i = end;
  }
}

void BM_ReadAndTokenize(benchmark::State& state) {
  std::vector<std::string_view> tokens;
  std::string line;
  for (auto _ : state) {
    std::istringstream in(FormatFileText());
    std::size_t count = 0;
    while (std::getline(in, line)) {
      tokens.clear();
      Tokenize(line, tokens);
      count += tokens.size();
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FormatFileText().size()));
}
BENCHMARK(BM_ReadAndTokenize)->Unit(benchmark::kMillisecond)->Apply(vornfmt::bench::FixedIterations);

// Loads the generated file the engine's way: the factory makes the format
// file, LoadFormatText reads, joins and hands over the entries, the file
// parses them; with `compile_all`, every object's formats are then asked for
// (compiled), as a listing of the whole file does. The file is released
// inside the timed loop, as a reload would release it.
void LoadGenerated(benchmark::State& state, bool compile_all) {
  const vornfmt::FormatFileFactory factory = vornfmt::MakeFmtFileFactory();
  std::size_t objects = 0;
  for (auto _ : state) {
    std::istringstream in(FormatFileText());
    const std::unique_ptr<vornfmt::FormatFileBase> file = factory(u"generated.fmt");
    vornfmt::LoadFormatText(in, *file);
    const auto& loaded = static_cast<const vornfmt::CFmtFile&>(*file);
    objects = loaded.NvtCount() + loaded.CptCount();
    if (compile_all) {
      for (const auto* object : loaded.NvtObjects()) benchmark::DoNotOptimize(object->Alternatives().size());
      for (const auto* object : loaded.CptObjects()) benchmark::DoNotOptimize(object->Alternatives().size());
    }
    benchmark::DoNotOptimize(objects);
  }
  state.counters["objects"] = static_cast<double>(objects);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FormatFileText().size()));
}

// What a process pays at start: formats are compiled on first use.
void BM_Load(benchmark::State& state) { LoadGenerated(state, false); }
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Apply(vornfmt::bench::FixedIterations);

// Every format compiled, as loading did before formats were compiled on
// first use.
void BM_LoadAndCompileAll(benchmark::State& state) { LoadGenerated(state, true); }
BENCHMARK(BM_LoadAndCompileAll)->Unit(benchmark::kMillisecond)->Apply(vornfmt::bench::FixedIterations);

}  // namespace
