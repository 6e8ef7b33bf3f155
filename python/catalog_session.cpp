#include "python/catalog_session.h"

#include <cstdlib>
#include <mutex>

#include <pybind11/pybind11.h>

#include "catalog/formatter_engine.h"
#include "catalog/resource_lock.h"
#include "catalog/shipped_catalog.h"
#include "convert/formatter_assembly.h"
#include "platform/code_page.h"

// The installed catalog relative to the installed module's folder.
#ifndef VORNFMT_CATALOG_FROM_MODULE
#define VORNFMT_CATALOG_FROM_MODULE "../../../../share/vornfmt/catalog"
#endif

namespace py = pybind11;

namespace vornfmt::python {
namespace {

// The formatter lives until the process ends: it is never destroyed, so no
// type element still held by Python at interpreter exit outlives its engine.
void AssembleOnce() {
  static Formatter* formatter = AssembleFormatter().release();
  (void)formatter;
}

std::string ChosenFolder(const std::string& folder) {
  if (!folder.empty()) return folder;
  if (const char* fromEnvironment = std::getenv("VORNFMT_CATALOG"); fromEnvironment && *fromEnvironment)
    return fromEnvironment;
  return ShippedCatalogFolder(VORNFMT_CATALOG_FROM_MODULE).string();
}

[[noreturn]] void ThrowOsError(const std::string& message) {
  PyErr_SetString(PyExc_OSError, message.c_str());
  throw py::error_already_set();
}

}  // namespace

std::shared_ptr<CatalogSession> CatalogSession::Open(const std::string& requested) {
  static std::mutex mutex;
  static std::weak_ptr<CatalogSession> open;
  std::lock_guard<std::mutex> guard(mutex);
  AssembleOnce();
  const std::string folder = ChosenFolder(requested);
  if (std::shared_ptr<CatalogSession> current = open.lock()) {
    if (current->Folder() == folder) return current;
    throw std::runtime_error("the catalog " + current->Folder() + " is still in use (catalogs or type elements of it" +
                             " are alive); release them before opening " + folder);
  }
  FormatterEngine& engine = TheEngine();
  {
    ResourceGuard resources(ResourceLock());
    engine.OpenCatalog(codepage::Utf8ToUtf16(folder));
    if (!engine.HasCatalog()) ThrowOsError("cannot open the catalog " + folder + ": " + engine.LastLibraryError());
  }
  auto session = std::make_shared<CatalogSession>(folder);
  open = session;
  return session;
}

std::string CatalogSession::Language() const {
  ResourceGuard resources(ResourceLock());
  return codepage::Utf16ToUtf8(TheEngine().LocaleId());
}

void CatalogSession::SetLanguage(const std::string& extension) {
  ResourceGuard resources(ResourceLock());
  FormatterEngine& engine = TheEngine();
  const std::u16string before = engine.LocaleId();
  engine.SetLocaleId(codepage::Utf8ToAnsi(extension));
  if (engine.LocaleId() == codepage::Utf8ToUtf16(extension)) return;
  engine.SetLocaleId(codepage::Utf16ToUtf8(before));
  throw py::value_error("unknown language extension " + extension);
}

}  // namespace vornfmt::python
