#include "convert/formatter_assembly.h"

#include "format/fmt_file_factory.h"
#include "platform/code_page.h"

namespace vornfmt {

Formatter::Formatter(const FormatterSetup& setup) : engine_(setup.library ? *setup.library : NativeLdrf()) {
  engine_.SetFormatFileFactory(MakeFmtFileFactory(setup.widen ? setup.widen : &codepage::FromAnsi));
  previousEngine_ = InstallEngine(&engine_);
  previousBreachHandler_ = SetLimitBreachHandler(&EditValue);
  previousEditor_ = SetValueEditorUi(setup.editor);
  previousViewMessages_ = ViewMessages();
  SetViewMessages(setup.viewMessages);
}

Formatter::~Formatter() {
  SetViewMessages(previousViewMessages_);
  SetValueEditorUi(previousEditor_);
  SetLimitBreachHandler(previousBreachHandler_);
  InstallEngine(previousEngine_);
}

std::unique_ptr<Formatter> AssembleFormatter(const FormatterSetup& setup) {
  return std::make_unique<Formatter>(setup);
}

}  // namespace vornfmt
