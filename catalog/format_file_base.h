#pragma once
// The engine owns the format files of the catalog but knows them only through
// this base: the compiled-format side lives above the catalog and registers a
// factory (SetFormatFileFactory) that makes the concrete objects.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vornfmt {

class FormatFileBase {
 public:
  virtual ~FormatFileBase() = default;
  // One complete entry text of the file, tabs removed, as joined at loading.
  virtual void LoadEntry(std::string_view entry) = 0;
};

using FormatFileFactory = std::function<std::unique_ptr<FormatFileBase>(const std::u16string& path)>;

}  // namespace vornfmt
