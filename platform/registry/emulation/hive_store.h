#pragma once
// Where the hive files live and how they change.
//
// Each root key is one file named after it: HKEY_LOCAL_MACHINE.reg,
// HKEY_CLASSES_ROOT.reg, HKEY_CURRENT_USER.reg. The folder:
//
//   1. $VORNFMT_REGISTRY, when set and not empty: every hive, read and
//      written there (tests and private installations use this).
//   2. HKEY_CURRENT_USER: the per-user folder,
//      ${XDG_CONFIG_HOME:-$HOME/.config}/vornfmt/registry.
//   3. HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT: the per-user file when it
//      exists, else the system file in VORNFMT_SYSTEM_REGISTRY (set by the
//      build; /etc/vornfmt/registry by default). A change goes to the file
//      that is read; when neither exists, to the system folder for the
//      superuser and to the per-user folder for everybody else. A per-user
//      file written first starts as a copy of the system file, so it hides
//      nothing that was there.
//
// A change is one transaction: an exclusive lock on "<hive>.lock" (flock),
// then the hive is read, changed, written to "<hive>.tmp", flushed to disk
// and renamed over the hive, and the folder flushed. Readers take no lock:
// the rename replaces the whole file at once.
#ifdef _WIN32
#error "The registry emulation is not for Windows: include platform/registry/winreg.h"
#endif
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/emulation/hive.h"

namespace vornfmt::registry {

enum class Root { ClassesRoot, CurrentUser, LocalMachine };

std::u16string RootName(Root root);

// The file read for `root` (which may not exist), and the file a change
// writes. Empty when no folder applies (no $HOME for the per-user folder).
std::filesystem::path HiveReadFile(Root root);
std::filesystem::path HiveWriteFile(Root root);

// The hive as it is now: an empty one when the file does not exist. Else
// nullopt with a winreg error code (ERROR_BADDB for a file that cannot be
// parsed, ERROR_ACCESS_DENIED for one that cannot be read) and the reason.
std::optional<Hive> LoadHive(Root root, long& code, std::string& reason);

// One change under the lock. `change` gets the current hive and answers a
// winreg code; it sets `changed` when the hive must be written. `keyPath`
// ("HKEY_CLASSES_ROOT\CLSID\...") is what the write hook is told.
long ChangeHive(Root root, std::u16string_view keyPath, const std::function<long(Hive&, bool& changed)>& change);

// For tests: called with every change's key path, before the change
// (BeforeChange) and after the temporary file is written and flushed,
// before the rename (TemporaryWritten). Answering false makes the change
// fail with ERROR_WRITE_FAULT, leaving the hive as it was; a hook may also
// end the process there, as a crash would. Null: none. Answers the previous
// hook. Process-wide.
enum class WriteStage { BeforeChange, TemporaryWritten };
using WriteHook = std::function<bool(WriteStage, std::u16string_view keyPath)>;
WriteHook SetWriteHookForTesting(WriteHook hook);

}  // namespace vornfmt::registry
