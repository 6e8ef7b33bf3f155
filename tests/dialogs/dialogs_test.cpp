// The value dialogs offscreen, with a scripted user (user_script.h): what
// each dialog shows, where its controls sit, and the editing flows of
// GetValueVT and of WriteVT with messages on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>
#include <thread>

#include "control/type_element_core.h"
#include "convert/formatter_assembly.h"
#include "convert/variant_convert.h"
#include "dialogs/gui_host.h"
#include "dialogs/qt_value_editor.h"
#include "dialogs/value_dialogs.h"
#include "platform/code_page.h"
#include "tests/dialogs/user_script.h"

namespace vornfmt::test {
namespace {

using namespace dialogs;
using Bytes = std::vector<uint8_t>;
const std::string kUi = VORNFMT_SOURCE_DIR "/resources/ui/";
constexpr char16_t kPid[] = u"0000000000000000";

std::string U8(const std::u16string& s) { return codepage::Utf16ToUtf8(s); }
std::string Shown(QDialog& d, int id) { return U8(static_cast<TemplateDialog&>(d).Text(id)); }

// Colour of an icon's pixel; image 0 of bitmap 205 is red at (6, 1), image 1 green at (13, 2).
QColor IconPixel(const QIcon& icon, int x, int y) { return icon.pixmap(16, 16).toImage().pixelColor(x, y); }

class Dialogs : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(EnsureGuiApplication()); }
  void SetUp() override { Assemble(0); }
  // A new assembly; trees of the previous engine go first.
  void Assemble(uint32_t viewMessages) {
    elements.clear();
    trees.clear();
    formatter.reset();
    formatter = AssembleFormatter({.editor = &QtEditor(), .viewMessages = viewMessages});
    formatter->Engine().OpenCatalog(codepage::Utf8ToUtf16(VORNFMT_TEST_DATA "/dialogs"));
    ASSERT_TRUE(SelectUiResources(kUi + "enu"));
    resources = CurrentUiResources();
  }
  CTypeTreeItem& Load(const char16_t* type) {
    trees.push_back(std::make_unique<CTypeTreeItem>());
    EXPECT_TRUE(trees.back()->LoadByName(type, kPid, 0));
    return *trees.back();
  }
  TypeElementCore& Element(const char16_t* type) {
    elements.push_back(std::make_unique<TypeElementCore>());
    EXPECT_TRUE(elements.back()->LoadByName(type, kPid, 0));
    return *elements.back();
  }
  const DialogTemplate& Template(int id) { return *resources->Dialog(id); }

  std::unique_ptr<Formatter> formatter;  // outlives the trees of its engine
  std::vector<std::unique_ptr<TypeElementCore>> elements;
  std::vector<std::unique_ptr<CTypeTreeItem>> trees;
  std::shared_ptr<const ResourceSet> resources;
};

TEST_F(Dialogs, NumberDialogShowsTheNode) {
  const struct {
    const char16_t* type;
    int16_t sub;
    const char *variable, *name, *comment, *units, *kind, *minimum, *maximum, *resolution;
  } rows[] = {
      {u"UNVT_number", -1, "UNVT_number", "Level", "Set point level\nin steps", "steps", "signed short", "-10", "10", "1"},
      {u"UNVT_fields", 2, "tenth", "", "", "", "signed short", "-10", "10", "0.1"},
      {u"UNVT_real", -1, "UNVT_real", "", "", "", "float", "1.17549435082229e-38", "3.40282346638529e+38", "0"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.variable);
    CTypeTreeItem& root = Load(r.type);
    CCheckNumberDlg d(Template(kNumberDialog), *root.GetSubfield(r.sub), u"4", nullptr);
    const std::pair<int, const char*> expected[] = {
        {kVariableText, r.variable}, {kNumberName, r.name}, {kCommentText, r.comment}, {kNumberUnits, r.units},
        {kNumberKind, r.kind},       {kNumberMin, r.minimum}, {kNumberMax, r.maximum}, {kNumberResolution, r.resolution},
        {kNumberValue, "4"}};
    for (const auto& [id, text] : expected) EXPECT_EQ(Shown(d, id), text) << "control " << id;
    EXPECT_FALSE(d.ControlAs<QLineEdit>(kNumberValue)->isReadOnly());
    EXPECT_TRUE(d.ControlAs<QLineEdit>(kNumberMin)->isReadOnly());
  }
}

TEST_F(Dialogs, EnumerationDialogListsSortedMembersAndPreselects) {
  CTypeTreeItem& root = Load(u"UNVT_choice");
  CCheckEnumDlg d(Template(kEnumDialog), root, u"BE", nullptr);
  auto* list = d.ControlAs<QComboBox>(kEnumList);
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  EXPECT_EQ(items, (QStringList{"Alpha", "beta", "zeta"}));
  EXPECT_EQ(list->currentText(), "beta");  // the first entry beginning with "BE", case ignored
  EXPECT_EQ(Shown(d, kVariableText), "UNVT_choice");
  EXPECT_EQ(Shown(d, kEnumName), "Operating mode");
  EXPECT_EQ(Shown(d, kCommentText), "How fast it runs");
  // The user picks another member: OK answers its name, unconverted.
  UserScript user({[](QDialog& dlg) {
    Find<QComboBox>(dlg, kEnumList)->setCurrentIndex(2);
    Click(dlg, kIdOk);
  }});
  std::u16string text = u"beta";
  EXPECT_TRUE(RunEnumDialog(*resources, root, text));
  EXPECT_EQ(text, u"zeta");
}

TEST_F(Dialogs, StructureDialogRowsStatesAndModify) {
  CTypeTreeItem& root = Load(u"UNVT_fields");
  SetViewMessages(1);  // the dialog fills itself without messages all the same
  UserScript user;     // no dialog may open while it fills itself
  // level 50 breaks its maximum 10.
  CCheckStructDlg d(*resources, Template(kStructDialog), root, u"beta 50 2.5 0.25", nullptr);
  SetViewMessages(0);
  auto* list = d.ControlAs<QTreeWidget>(kStructList);
  ASSERT_EQ(list->topLevelItemCount(), 4);
  const char* names[] = {"mode", "level", "tenth", "ratio"};
  const char* values[] = {"beta", "50", "2.5", "0.25"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(list->topLevelItem(i)->text(0).toStdString(), names[i]);
    EXPECT_EQ(list->topLevelItem(i)->text(1).toStdString(), values[i]);
  }
  EXPECT_EQ(d.RowStates(), (std::vector<int32_t>{1, 0, 1, 1}));
  EXPECT_EQ(IconPixel(list->topLevelItem(1)->icon(0), 6, 1), QColor(200, 0, 0));
  EXPECT_EQ(IconPixel(list->topLevelItem(0)->icon(0), 13, 2), QColor(0, 150, 0));
  EXPECT_EQ(IconPixel(list->topLevelItem(0)->icon(0), 0, 0).alpha(), 0);  // white is transparent
  EXPECT_EQ(Shown(d, kStructResult), "beta 0 2.5 0.25");  // the refused level was not written
  EXPECT_EQ(Shown(d, kStructName), "Field set");
  EXPECT_EQ(d.Raw().size(), 31u);
  EXPECT_EQ(root.interactive, 1);
  auto* modify = d.ControlAs<QPushButton>(kStructModify);
  EXPECT_FALSE(modify->isEnabled());
  list->setCurrentItem(list->topLevelItem(1));
  EXPECT_TRUE(modify->isEnabled());
}

TEST_F(Dialogs, StructureFieldsEditedThroughTheirDialogs) {
  CTypeTreeItem& root = Load(u"UNVT_fields");
  // Steps in the order the dialogs open: the structure's own step opens the others.
  UserScript user({
      [&](QDialog& d) {
        auto* list = Find<QTreeWidget>(d, kStructList);
        QTreeWidgetItem* level = list->topLevelItem(1);
        list->doItemsLayout();
        const QPoint cell = list->visualItemRect(level).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);  // a double click follows a press
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell);
        EXPECT_EQ(level->text(1), "-7");
        list->setCurrentItem(list->topLevelItem(0));
        Click(d, kStructModify);
        EXPECT_EQ(list->topLevelItem(0)->text(1), "zeta");
        EXPECT_EQ(root.GetSubfield(0)->value.value, 2);  // the member's value
        EXPECT_EQ(Shown(d, kStructResult), "zeta -7 0.5 1.5");
        Click(d, kIdOk);
      },
      // A double click on "level" acts as Modify: the number dialog with the row's text.
      [](QDialog& d) {
        EXPECT_EQ(Shown(d, kVariableText), "level");
        EXPECT_EQ(Shown(d, kNumberValue), "1");
        if (auto* value = Find<QLineEdit>(d, kNumberValue)) QTest::keyClicks(value, "-7");  // replaces the selection
        Click(d, kIdOk);
      },
      // Modify on "mode": the enumeration dialog.
      [](QDialog& d) {
        if (auto* list = Find<QComboBox>(d, kEnumList)) list->setCurrentText("zeta");
        Click(d, kIdOk);
      },
  });
  std::u16string text = u"Alpha 1 0.5 1.5";
  EXPECT_TRUE(RunStructDialog(*resources, root, text));
  EXPECT_EQ(text, u"zeta -7 0.5 1.5");
}

// A message box step: checks the box and presses OK.
UserScript::Step Message(const char* text) {
  return [text](QDialog& d) {
    auto& box = static_cast<QMessageBox&>(d);
    EXPECT_EQ(box.windowTitle(), "Vorn Formatter");
    EXPECT_EQ(box.icon(), QMessageBox::Warning);
    EXPECT_EQ(box.text().toStdString(), text);
    box.button(QMessageBox::Ok)->click();
  };
}

Bytes Write(TypeElementCore& element, Bytes raw, const char16_t* text, bool ok) {
  VARIANT value;
  VariantInit(&value);
  SetBstr(value, text);
  EXPECT_EQ(element.Write(raw, value, -1), ok);
  VariantClear(&value);
  return raw;
}

TEST_F(Dialogs, WriteWithMessagesCorrectsWrongText) {
  Assemble(1);
  TypeElementCore& element = Element(u"UNVT_number");
  UserScript user({Message("Wrong data."), [](QDialog& d) {
                     EXPECT_EQ(Shown(d, kNumberValue), "wrong");  // pre-filled with the rejected text
                     QTest::keyClicks(Find<QLineEdit>(d, kNumberValue), "7");
                     Click(d, kIdOk);
                   }});
  EXPECT_EQ(Write(element, {0x05}, u"wrong", true), Bytes{0x07});
}

TEST_F(Dialogs, WriteWithMessagesBreachCancelled) {
  Assemble(1);
  TypeElementCore& element = Element(u"UNVT_byte");
  UserScript user({Message("Data exceeds bounds."), [](QDialog& d) {
                     EXPECT_EQ(Shown(d, kNumberValue), "1e9");
                     Click(d, kIdCancel);
                   }});
  EXPECT_EQ(Write(element, {0x05}, u"1e9", false), Bytes{0x05});
}

TEST_F(Dialogs, GetValueVtEditsTheAddressedField) {
  TypeElementCore& element = Element(u"UNVT_fields");
  UserScript user({[](QDialog& d) {
    EXPECT_EQ(Shown(d, kVariableText), "level");
    QTest::keyClicks(Find<QLineEdit>(d, kNumberValue), "5");
    Click(d, kIdOk);
  }});
  VARIANT value, byRef;
  VariantInit(&value);
  VariantInit(&byRef);
  SetBstr(value, u"3");
  byRef.vt = VT_BYREF | VT_VARIANT;  // a reference is followed one level
  byRef.pvarVal = &value;
  EXPECT_TRUE(element.EditValue(byRef, 1));
  EXPECT_EQ(byRef.vt, VT_BSTR);
  EXPECT_EQ(BstrText(byRef), u"5");
  EXPECT_EQ(ViewMessages(), 0u);  // raised for the call only
  EXPECT_FALSE(element.EditValue(value, 4));  // addresses nothing: no dialog
  VariantClear(&byRef);
  VariantClear(&value);
}

TEST_F(Dialogs, NothingToShow) {
  UserScript user;  // no dialog may open
  VARIANT value;
  VariantInit(&value);
  SetBstr(value, u"1");
  for (const char16_t* type : {u"UNVT_either", u"UNVT_row"}) EXPECT_TRUE(Element(type).EditValue(value, -1));
  EXPECT_EQ(BstrText(value), u"1");
  std::u16string text = u"1";
  for (const char16_t* type : {u"UNVT_either", u"UNVT_row"}) EXPECT_FALSE(EditFieldText(*resources, Load(type), text));
  Assemble(1);
  CTypeTreeItem& root = Load(u"UNVT_number");
  root.SetInteractive(false);
  uint8_t raw[1] = {};
  EXPECT_FALSE(EditValue(root, raw, 1, &value, kMessageWrongData));
  // A thread that does not own the application shows nothing.
  bool answer = true;
  std::thread([&] {
    std::u16string text = u"1";
    answer = QtEditor().EditNumber(text, root);
  }).join();
  EXPECT_FALSE(answer);
  VariantClear(&value);
}

}  // namespace
}  // namespace vornfmt::test
