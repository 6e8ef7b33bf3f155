#pragma once
// The catalog of the Python module. The engine is the process's one
// (TheEngine), so one catalog is open at a time: Catalog objects of the same
// folder share it, and another folder can be opened only when nothing of the
// first is left (opening again would destroy the format files its type
// elements use).
#include <memory>
#include <string>

namespace vornfmt::python {

class CatalogSession {
 public:
  // Opens `folder` (empty: $VORNFMT_CATALOG, else the shipped catalog), or
  // answers the session already open on it. OSError when it cannot be read,
  // RuntimeError while another folder's session lives.
  static std::shared_ptr<CatalogSession> Open(const std::string& folder);

  const std::string& Folder() const { return folder_; }
  std::string Language() const;
  // ValueError for an extension the catalog's library does not know; the
  // language stays what it was.
  void SetLanguage(const std::string& extension);

  explicit CatalogSession(std::string folder) : folder_(std::move(folder)) {}

 private:
  std::string folder_;
};

}  // namespace vornfmt::python
