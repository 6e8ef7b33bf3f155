#pragma once
// The user, for dialog tests: a script of steps, one per dialog or message
// box that opens, taken in order. Each step acts on the open dialog (finds
// controls by id, types, selects, clicks) and must close it. A dialog that
// opens when no step is left, or that a step leaves open, fails the test and
// is cancelled, so a wrong flow never hangs.
#include <gtest/gtest.h>

#include <QDialog>
#include <QtTest/QTest>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/modal.h"
#include "dialogs/template_dialog.h"

namespace vornfmt::test {

class UserScript {
 public:
  using Step = std::function<void(QDialog&)>;
  explicit UserScript(std::vector<Step> steps = {}) : steps_(steps.begin(), steps.end()) {
    previous_ = dialogs::SetModalHook([this](QDialog& d) { Act(d); });
  }
  ~UserScript() {
    dialogs::SetModalHook(previous_);
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " step(s) left: a dialog did not open";
  }
  // Window titles of the dialogs that opened, in order.
  std::vector<std::string> opened;

 private:
  void Act(QDialog& d) {
    opened.push_back(d.windowTitle().toStdString());
    if (steps_.empty()) {
      ADD_FAILURE() << "unexpected dialog \"" << opened.back() << "\"";
    } else {
      Step step = std::move(steps_.front());
      steps_.pop_front();
      step(d);
      EXPECT_FALSE(d.isVisible()) << "a step left \"" << opened.back() << "\" open";
    }
    if (d.isVisible()) d.reject();
  }
  std::deque<Step> steps_;
  dialogs::ModalHook previous_;
};

// Step helpers.
template <typename W>
W* Find(QDialog& d, int id) {
  auto* w = static_cast<dialogs::TemplateDialog&>(d).ControlAs<W>(id);
  EXPECT_NE(w, nullptr) << "control " << id;
  return w;
}
inline void Click(QDialog& d, int id) {
  if (auto* w = Find<QWidget>(d, id)) QTest::mouseClick(w, Qt::LeftButton);
}

}  // namespace vornfmt::test
