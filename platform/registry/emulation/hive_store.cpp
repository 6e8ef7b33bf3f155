#include "platform/registry/emulation/hive_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/registry/emulation/winreg.h"

#ifndef VORNFMT_SYSTEM_REGISTRY
#define VORNFMT_SYSTEM_REGISTRY "/etc/vornfmt/registry"
#endif

namespace vornfmt::registry {
namespace fs = std::filesystem;
namespace {

std::mutex& HookMutex() {
  static std::mutex mutex;
  return mutex;
}

WriteHook& Hook() {
  static WriteHook hook;
  return hook;
}

bool CallHook(WriteStage stage, std::u16string_view keyPath) {
  WriteHook hook;
  {
    std::lock_guard<std::mutex> guard(HookMutex());
    hook = Hook();
  }
  return !hook || hook(stage, keyPath);
}

std::string FileName(Root root) { return ToUtf8(RootName(root)) + ".reg"; }

const char* NonEmptyEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

fs::path UserFolder() {
  if (const char* config = NonEmptyEnvironment("XDG_CONFIG_HOME")) return fs::path(config) / "vornfmt" / "registry";
  if (const char* home = NonEmptyEnvironment("HOME")) return fs::path(home) / ".config" / "vornfmt" / "registry";
  return {};
}

fs::path SystemFile(Root root) { return fs::path(VORNFMT_SYSTEM_REGISTRY) / FileName(root); }

fs::path UserFile(Root root) {
  const fs::path folder = UserFolder();
  return folder.empty() ? fs::path() : folder / FileName(root);
}

bool Exists(const fs::path& file) {
  std::error_code ec;
  return !file.empty() && fs::exists(file, ec);
}

// Reads at most kMaxHiveBytes + 1 bytes; false with errno's meaning in `code`.
bool ReadFile(const fs::path& file, std::string& bytes, long& code, std::string& reason) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    code = errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
    reason = file.string() + ": cannot be read";
    return false;
  }
  bytes.clear();
  char buffer[65536];
  while (bytes.size() <= kMaxHiveBytes) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      code = ERROR_ACCESS_DENIED;
      reason = file.string() + ": cannot be read";
      return false;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return true;
}

std::optional<Hive> LoadFile(Root root, const fs::path& file, long& code, std::string& reason) {
  std::string bytes;
  if (file.empty() || !ReadFile(file, bytes, code, reason)) {
    if (file.empty() || code == ERROR_FILE_NOT_FOUND) {
      code = ERROR_SUCCESS;
      return Hive(RootName(root));
    }
    return std::nullopt;
  }
  std::optional<Hive> hive = Hive::Parse(bytes, RootName(root), reason);
  if (!hive) {
    reason = file.string() + ": " + reason;
    code = ERROR_BADDB;
  }
  return hive;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void SyncFolder(const fs::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// The exclusive lock of a hive, released when destroyed.
class HiveLock {
 public:
  explicit HiveLock(const fs::path& hiveFile) {
    fs::path lockFile = hiveFile;
    lockFile += ".lock";
    fd_ = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    while (flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~HiveLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  HiveLock(const HiveLock&) = delete;
  HiveLock& operator=(const HiveLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Writes the hive beside `file` and renames it over; false on any failure
// (the old file is then intact).
long Replace(const fs::path& file, const Hive& hive, std::u16string_view keyPath) {
  fs::path temporary = file;
  temporary += ".tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return ERROR_ACCESS_DENIED;
  const bool written = WriteAll(fd, hive.Serialize()) && fsync(fd) == 0;
  close(fd);
  if (!written || !CallHook(WriteStage::TemporaryWritten, keyPath)) {
    unlink(temporary.c_str());
    return ERROR_WRITE_FAULT;
  }
  if (rename(temporary.c_str(), file.c_str()) != 0) {
    unlink(temporary.c_str());
    return ERROR_ACCESS_DENIED;
  }
  SyncFolder(file.parent_path());
  return ERROR_SUCCESS;
}

}  // namespace

std::u16string RootName(Root root) {
  switch (root) {
    case Root::ClassesRoot: return u"HKEY_CLASSES_ROOT";
    case Root::CurrentUser: return u"HKEY_CURRENT_USER";
    case Root::LocalMachine: return u"HKEY_LOCAL_MACHINE";
  }
  return {};
}

fs::path HiveReadFile(Root root) {
  if (const char* folder = NonEmptyEnvironment("VORNFMT_REGISTRY")) return fs::path(folder) / FileName(root);
  const fs::path user = UserFile(root);
  if (root == Root::CurrentUser || Exists(user)) return user;
  return SystemFile(root);
}

fs::path HiveWriteFile(Root root) {
  if (const char* folder = NonEmptyEnvironment("VORNFMT_REGISTRY")) return fs::path(folder) / FileName(root);
  const fs::path user = UserFile(root);
  if (root == Root::CurrentUser || Exists(user)) return user;
  const fs::path system = SystemFile(root);
  if (Exists(system) ? access(system.c_str(), W_OK) == 0 : geteuid() == 0) return system;
  return user.empty() ? system : user;
}

std::optional<Hive> LoadHive(Root root, long& code, std::string& reason) {
  return LoadFile(root, HiveReadFile(root), code, reason);
}

long ChangeHive(Root root, std::u16string_view keyPath, const std::function<long(Hive&, bool&)>& change) {
  const fs::path file = HiveWriteFile(root);
  if (file.empty()) return ERROR_ACCESS_DENIED;
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  HiveLock lock(file);
  if (!lock.Held()) return ERROR_ACCESS_DENIED;
  // Read under the lock: the hive as the last writer left it. A per-user
  // file that does not exist yet starts from the file read until now.
  long code = ERROR_SUCCESS;
  std::string reason;
  std::optional<Hive> hive = LoadFile(root, Exists(file) ? file : HiveReadFile(root), code, reason);
  if (!hive) return code;
  if (!CallHook(WriteStage::BeforeChange, keyPath)) return ERROR_WRITE_FAULT;
  bool changed = false;
  code = change(*hive, changed);
  if (code != ERROR_SUCCESS || !changed) return code;
  return Replace(file, *hive, keyPath);
}

WriteHook SetWriteHookForTesting(WriteHook hook) {
  std::lock_guard<std::mutex> guard(HookMutex());
  std::swap(Hook(), hook);
  return hook;
}

}  // namespace vornfmt::registry
