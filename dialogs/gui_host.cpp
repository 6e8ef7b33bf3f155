#include "dialogs/gui_host.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

#include <QApplication>
#include <QThread>

namespace vornfmt::dialogs {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Platforms that draw without a display server.
bool NeedsNoDisplay(std::string_view platform) {
  for (std::string_view p : {"offscreen", "minimal", "vnc", "linuxfb", "eglfs", "vkkhrdisplay"})
    if (platform == p) return true;
  return false;
}

// A local X display (":N", ":N.S", "unix:N") answers on its socket; for a
// display on another host the connection is left to Qt.
bool XServerAnswers(const std::string& display) {
  std::string_view rest(display);
  if (rest.starts_with("unix:")) rest.remove_prefix(4);
  if (!rest.starts_with(":")) return true;
  rest.remove_prefix(1);
  const std::string_view number = rest.substr(0, rest.find('.'));
  if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos) return false;
  const std::string path = "/tmp/.X11-unix/X" + std::string(number);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  close(fd);
  return connected;
}

std::mutex creationMutex;

}  // namespace

bool DisplayReachable(std::string& why) {
  const std::string platformSetting = Env("QT_QPA_PLATFORM");
  const std::string platform = platformSetting.substr(0, platformSetting.find(':'));
  if (NeedsNoDisplay(platform)) return true;
  if (platform.starts_with("wayland")) {
    if (!Env("WAYLAND_DISPLAY").empty()) return true;
    why = "WAYLAND_DISPLAY is not set";
    return false;
  }
  const std::string display = Env("DISPLAY");
  if (display.empty()) {
    why = "DISPLAY is not set";
    return false;
  }
  if (!XServerAnswers(display)) {
    why = "the X display " + display + " does not answer";
    return false;
  }
  return true;
}

bool EnsureGuiApplication() {
  std::lock_guard lock(creationMutex);
  if (QCoreApplication* app = QCoreApplication::instance())
    return qobject_cast<QApplication*>(app) && QThread::currentThread() == app->thread();
  std::string why;
  if (!DisplayReachable(why)) return false;
  static int argc = 1;
  static char name[] = "vornfmt";
  static char* argv[] = {name, nullptr};
  // Kept for the life of the process: dialogs may be shown again later, and
  // a host may not expect its module to tear down a GUI at exit.
  static QApplication* created = new QApplication(argc, argv);
  return created != nullptr;
}

}  // namespace vornfmt::dialogs
