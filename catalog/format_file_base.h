#pragma once
// The engine owns the format files of the catalog but knows them only through
// this base: the compiled-format side lives above the catalog and hands the
// engine a factory that makes the concrete objects. Type trees ask the base
// for a type's compiled format, so nothing below the format layer needs to
// know which class a format file is.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vornfmt {

class CAlternateFmt;  // format/alternate_fmt.h

class FormatFileBase {
 public:
  virtual ~FormatFileBase() = default;
  // One complete entry text of the file, tabs removed, as joined at loading.
  virtual void LoadEntry(std::string_view entry) = 0;
  // The compiled format of `typeName` chosen for `measurementSystem`; none
  // when the file gives the type no format (always, for a file that only
  // records its entries).
  virtual const CAlternateFmt* SelectFormat(std::u16string_view /*typeName*/,
                                            std::u16string_view /*measurementSystem*/) const {
    return nullptr;
  }
};

using FormatFileFactory = std::function<std::unique_ptr<FormatFileBase>(const std::u16string& path)>;

}  // namespace vornfmt
