#pragma once
// A QDialog built from a dialog template (resource_set.h): the template's
// font, title and size, and one widget per control at the template's place,
// dialog units turned into pixels by the Windows rule (dialog_units.h).
// Control kinds become widgets as follows:
//
//   label     QLabel, text at the top left of its rectangle
//   edit      QLineEdit; "multiline" QPlainTextEdit without scroll bars;
//             "readonly" read-only on the window's background colour
//   combo     QComboBox, a drop-down list: the closed box is as high as
//             its font needs, the template's height is that of the open list
//   button    QPushButton; "default" the default button; "disabled"
//   listview  QTreeWidget as a report list with the template's columns
//   group     QGroupBox frame (controls inside it are its siblings)
//
// Button 1 accepts (OnOk), button 2 rejects, as IDOK and IDCANCEL do.
#include <QDialog>
#include <QFont>

#include "dialogs/dialog_units.h"
#include "dialogs/resource_set.h"

namespace vornfmt::dialogs {

// The template's font at 96 dots per inch.
QFont DialogFont(const DialogTemplate& t);
// The dialog base units of `font` (its average letter width and height).
DialogBaseUnits BaseUnitsOf(const QFont& font);

class TemplateDialog : public QDialog {
 public:
  TemplateDialog(const DialogTemplate& t, QWidget* parent);

  // The widget of control `id`; null when the template has none.
  QWidget* Control(int id) const;
  template <typename W>
  W* ControlAs(int id) const {
    return qobject_cast<W*>(Control(id));
  }
  DialogBaseUnits BaseUnits() const { return base_; }
  const DialogTemplate& Template() const { return template_; }

  // Text of an edit control (line or multi-line), and setting it.
  std::u16string Text(int id) const;
  void SetText(int id, const std::u16string& text);

 protected:
  // Button 1: accept by default.
  virtual void OnOk() { accept(); }

 private:
  QWidget* Create(const ControlTemplate& c);

  const DialogTemplate& template_;
  DialogBaseUnits base_;
};

}  // namespace vornfmt::dialogs
