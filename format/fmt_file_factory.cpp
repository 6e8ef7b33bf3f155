#include "format/fmt_file_factory.h"

#include "format/fmt_file.h"

namespace vornfmt {

FormatFileFactory MakeFmtFileFactory(TextWidener widen) {
  return [widen](const std::u16string& path) -> std::unique_ptr<FormatFileBase> {
    return std::make_unique<CFmtFile>(path, widen);
  };
}

// The one place that turns the engine's base back into the class made above.
const CFmtFile* AsFmtFile(const FormatFileBase* file) { return dynamic_cast<const CFmtFile*>(file); }

}  // namespace vornfmt
