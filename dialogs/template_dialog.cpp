#include "dialogs/template_dialog.h"

#include <algorithm>

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace vornfmt::dialogs {
namespace {

const char kIdProperty[] = "vornfmtControlId";

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

QRect PixelRect(const UnitRect& units, DialogBaseUnits base) {
  const UnitRect p = UnitsToPixels(units, base);
  return {p.x, p.y, p.width, p.height};
}

void LookReadOnly(QWidget& w) {
  QPalette palette = w.palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  w.setPalette(palette);
}

}  // namespace

QFont DialogFont(const DialogTemplate& t) {
  QFont font(QString::fromStdString(t.fontFamily));
  font.setPixelSize(PointsToPixels(t.fontPoints));
  font.setStyleHint(QFont::SansSerif);
  return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return BaseUnitsFromMetrics(letters, metrics.height());
}

TemplateDialog::TemplateDialog(const DialogTemplate& t, QWidget* parent) : QDialog(parent), template_(t) {
  setWindowTitle(Q(t.title));
  setFont(DialogFont(t));
  base_ = BaseUnitsOf(font());
  setFixedSize(MulDiv(t.width, base_.x, 4), MulDiv(t.height, base_.y, 8));
  setSizeGripEnabled(false);
  for (const ControlTemplate& c : t.controls) {
    QWidget* w = Create(c);
    w->setProperty(kIdProperty, c.id);
    if (c.id != -1) w->setObjectName(QStringLiteral("control%1").arg(c.id));
    if (c.Has("disabled")) w->setEnabled(false);
  }
}

QWidget* TemplateDialog::Create(const ControlTemplate& c) {
  const QRect place = PixelRect(c.rect, base_);
  switch (c.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(Q(c.text), this);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setGeometry(place);
      return label;
    }
    case ControlKind::Edit: {
      QWidget* edit;
      if (c.Has("multiline")) {
        auto* box = new QPlainTextEdit(this);
        box->setReadOnly(c.Has("readonly"));
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->document()->setDocumentMargin(1);
        edit = box;
      } else {
        auto* line = new QLineEdit(this);
        line->setReadOnly(c.Has("readonly"));
        edit = line;
      }
      if (c.Has("readonly")) LookReadOnly(*edit);
      edit->setGeometry(place);
      return edit;
    }
    case ControlKind::Combo: {
      auto* combo = new QComboBox(this);
      combo->setEditable(false);
      const int closed = combo->sizeHint().height();
      combo->setGeometry(place.x(), place.y(), place.width(), closed);
      const int row = QFontMetrics(font()).height() + 2;
      combo->setMaxVisibleItems(std::max(1, (place.height() - closed) / row));
      return combo;
    }
    case ControlKind::Button: {
      auto* button = new QPushButton(Q(c.text), this);
      button->setAutoDefault(false);
      button->setDefault(c.Has("default"));
      button->setGeometry(place);
      if (c.id == 1) connect(button, &QPushButton::clicked, this, [this] { OnOk(); });
      if (c.id == 2) connect(button, &QPushButton::clicked, this, &QDialog::reject);
      return button;
    }
    case ControlKind::ListView: {
      auto* list = new QTreeWidget(this);
      list->setColumnCount(static_cast<int>(c.columns.size()));
      QStringList titles;
      for (const ListColumn& column : c.columns) titles << Q(column.title);
      list->setHeaderLabels(titles);
      for (size_t i = 0; i < c.columns.size(); ++i) list->setColumnWidth(static_cast<int>(i), c.columns[i].width);
      list->setRootIsDecorated(false);
      list->setItemsExpandable(false);
      list->setUniformRowHeights(true);
      list->setAllColumnsShowFocus(true);
      list->setSelectionBehavior(QAbstractItemView::SelectRows);
      list->setSelectionMode(c.Has("singlesel") ? QAbstractItemView::SingleSelection
                                                : QAbstractItemView::ExtendedSelection);
      list->header()->setSectionsClickable(!c.Has("nosortheader"));
      list->header()->setStretchLastSection(false);
      list->setIconSize(QSize(16, 16));
      list->setGeometry(place);
      return list;
    }
    case ControlKind::Group: {
      auto* group = new QGroupBox(Q(c.text), this);
      group->setGeometry(place);
      return group;
    }
  }
  return new QWidget(this);
}

QWidget* TemplateDialog::Control(int id) const {
  if (id == -1) return nullptr;
  return findChild<QWidget*>(QStringLiteral("control%1").arg(id), Qt::FindDirectChildrenOnly);
}

std::u16string TemplateDialog::Text(int id) const {
  QWidget* w = Control(id);
  if (auto* line = qobject_cast<QLineEdit*>(w)) return line->text().toStdU16String();
  if (auto* box = qobject_cast<QPlainTextEdit*>(w)) return box->toPlainText().toStdU16String();
  return {};
}

void TemplateDialog::SetText(int id, const std::u16string& text) {
  QWidget* w = Control(id);
  if (auto* line = qobject_cast<QLineEdit*>(w)) {
    line->setText(Q(text));
    line->setCursorPosition(0);
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
    box->setPlainText(Q(text));
  }
}

}  // namespace vornfmt::dialogs
