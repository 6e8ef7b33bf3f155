#pragma once
// The one place where a working formatter is put together: the engine over
// the resource library, the factory of its format files, the codec's
// limit-breach handler (the editing step), the dialogs of the editing step
// and the view-messages flag. Whoever builds the program -- the tool, the
// control module -- calls AssembleFormatter once and keeps the answer for as
// long as it formats; no other component installs any of these pieces.
//
// While the answer lives, its engine is the module-wide one (TheEngine) and
// the editing step uses its settings; destroying it puts back what was there
// before, so assemblies nest (a test inside a test) but must not overlap on
// different threads.
#include <cstdint>
#include <memory>

#include "catalog/formatter_engine.h"
#include "catalog/ldrf_api.h"
#include "convert/edit_value.h"
#include "format/text_encoding.h"
#include "typetree/limit_breach.h"

namespace vornfmt {

struct FormatterSetup {
  // The resource library; null: the real one.
  const LdrfApi* library = nullptr;
  // Widens format-file entry texts; null: the ANSI code page.
  TextWidener widen = nullptr;
  // The dialogs of the editing step; null: none, a failed write answers false.
  ValueEditorUi* editor = nullptr;
  // The initial view-messages flag (ViewMessages of the configuration).
  uint32_t viewMessages = 0;
};

class Formatter {
 public:
  explicit Formatter(const FormatterSetup& setup);
  ~Formatter();
  Formatter(const Formatter&) = delete;
  Formatter& operator=(const Formatter&) = delete;

  FormatterEngine& Engine() { return engine_; }

 private:
  FormatterEngine engine_;
  FormatterEngine* previousEngine_;
  LimitBreachHandler previousBreachHandler_;
  ValueEditorUi* previousEditor_;
  uint32_t previousViewMessages_;
};

std::unique_ptr<Formatter> AssembleFormatter(const FormatterSetup& setup = {});

}  // namespace vornfmt
