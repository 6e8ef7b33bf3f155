// Dialog units, the templates as the tables give them, the resource sets,
// and the screenshots of the dialogs in both languages.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "convert/formatter_assembly.h"
#include "dialogs/gui_host.h"
#include "dialogs/qt_value_editor.h"
#include "dialogs/value_dialogs.h"
#include "platform/code_page.h"
#include "tests/dialogs/user_script.h"

namespace vornfmt::test {
namespace {

using namespace dialogs;
const std::string kUi = VORNFMT_SOURCE_DIR "/resources/ui/";

std::shared_ptr<ResourceSet> Set(const std::string& language) {
  std::string error;
  std::shared_ptr<ResourceSet> set = ResourceSet::Load(kUi + language, error);
  EXPECT_TRUE(set) << error;
  return set;
}

TEST(DialogUnits, WindowsRounding) {
  EXPECT_EQ(MulDiv(7, 13, 8), 11);    // 11.375
  EXPECT_EQ(MulDiv(12, 13, 8), 20);   // 19.5: half away from zero
  EXPECT_EQ(MulDiv(-12, 13, 8), -20);
  EXPECT_EQ(MulDiv(5, 1, 0), -1);
  EXPECT_EQ(PointsToPixels(8), 11);   // 10.67 at 96 dpi
  // (300 / 26 + 1) / 2 = 6: the letters' width, averaged as Windows does.
  EXPECT_EQ(BaseUnitsFromMetrics(300, 13).x, 6);
  EXPECT_EQ(BaseUnitsFromMetrics(311, 13).x, 6);
  EXPECT_EQ(BaseUnitsFromMetrics(312, 13).x, 6);  // 12 / 2
  EXPECT_EQ(BaseUnitsFromMetrics(338, 13).x, 7);  // (13 + 1) / 2
  // Value box of the number dialog (52, 111, 167, 13) with base units 6 x 13.
  EXPECT_EQ(UnitsToPixels({52, 111, 167, 13}, {6, 13}), (UnitRect{78, 180, 251, 21}));
  EXPECT_EQ(UnitsToPixels({46, 7, 184, 12}, {6, 13}), (UnitRect{69, 11, 276, 20}));
}

class Layout : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(EnsureGuiApplication()); }
};


TEST_F(Layout, ControlsSitWhereTheTablesPutThem) {
  auto set = Set("enu");
  ASSERT_TRUE(set);
  const QFont font = DialogFont(*set->Dialog(kNumberDialog));
  ASSERT_EQ(QFontInfo(font).family(), "DejaVu Sans") << "the fixed font of this test is missing";
  const DialogBaseUnits base = BaseUnitsOf(font);
  EXPECT_EQ(base.x, 7);
  EXPECT_EQ(base.y, 13);
  // Dialog, control id, x, y, w, h in dialog units, as the tables give them.
  const struct {
    int dialog, id;
    UnitRect units;
  } rows[] = {
      {107, 201, {46, 7, 184, 12}},   {107, 204, {46, 20, 184, 12}},  {107, 202, {46, 33, 184, 12}},
      {107, 205, {46, 46, 184, 12}},  {107, 203, {46, 73, 184, 77}},  {107, 1, {243, 7, 50, 14}},
      {107, 2, {243, 24, 50, 14}},    {202, 201, {52, 7, 167, 12}},   {202, 203, {52, 20, 167, 12}},
      {202, 202, {52, 33, 167, 12}},  {202, 205, {52, 46, 167, 12}},  {202, 207, {52, 59, 167, 12}},
      {202, 208, {52, 72, 167, 12}},  {202, 204, {52, 85, 167, 12}},  {202, 209, {52, 98, 167, 12}},
      {202, 210, {52, 111, 167, 13}}, {202, 1, {226, 7, 50, 14}},     {202, 2, {226, 24, 50, 14}},
      {203, 201, {47, 7, 167, 12}},   {203, 203, {47, 21, 167, 12}},  {203, 202, {47, 34, 167, 12}},
      {203, 205, {47, 47, 167, 12}},  {203, 211, {7, 65, 266, 106}},  {203, 213, {223, 43, 50, 14}},
      {203, 212, {14, 185, 251, 30}}, {203, 1, {223, 7, 50, 14}},     {203, 2, {223, 24, 50, 14}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "dialog " << r.dialog << " control " << r.id);
    TemplateDialog d(*set->Dialog(r.dialog), nullptr);
    const QWidget* w = d.Control(r.id);
    ASSERT_NE(w, nullptr);
    const UnitRect p = UnitsToPixels(r.units, base);
    EXPECT_EQ(w->geometry().topLeft(), QPoint(p.x, p.y));
    EXPECT_EQ(w->width(), p.width);
    // A drop-down list is as high as its font needs; the table's height is the open list's.
    if (!qobject_cast<const QComboBox*>(w)) {
      EXPECT_EQ(w->height(), p.height);
    }
  }
  // Hand-computed with 7 x 13: the structure dialog is 280 x 226 units, its list 7, 65, 266, 106.
  TemplateDialog structure(*set->Dialog(kStructDialog), nullptr);
  EXPECT_EQ(structure.size(), QSize(490, 367));
  EXPECT_EQ(structure.Control(kStructList)->geometry(), QRect(12, 106, 466, 172));
}

TEST(ResourceSets, GermanMirrorsEnglish) {
  auto enu = Set("enu"), deu = Set("deu");
  ASSERT_TRUE(enu && deu);
  for (uint32_t id : {1u, 2u, 101u, 102u, 103u, 104u, 105u, 106u, 108u, 200u}) {
    EXPECT_FALSE(enu->String(id).empty()) << id;
    EXPECT_FALSE(deu->String(id).empty()) << id;
  }
  EXPECT_EQ(deu->String(106), u"Falsche Daten.");
  for (int dialog : {kEnumDialog, kPropertyPage, kNumberDialog, kStructDialog}) {
    const DialogTemplate *e = enu->Dialog(dialog), *g = deu->Dialog(dialog);
    ASSERT_TRUE(e && g) << dialog;
    ASSERT_EQ(e->controls.size(), g->controls.size());
    EXPECT_EQ(e->width, g->width);
    EXPECT_EQ(e->height, g->height);
    for (size_t i = 0; i < e->controls.size(); ++i) {
      EXPECT_EQ(e->controls[i].id, g->controls[i].id);
      EXPECT_EQ(e->controls[i].rect, g->controls[i].rect) << dialog << " #" << i;
      EXPECT_EQ(e->controls[i].styles, g->controls[i].styles);
    }
  }
}

TEST(ResourceSets, MalformedSetsAreRefused) {
  const char* bad[] = {
      "", "[]", "{\"format\": \"vornfmt-ui\", \"version\": 2, \"strings\": {}, \"dialogs\": {}}",
      "{\"format\": \"vornfmt-ui\", \"version\": 1, \"strings\": {\"x\": \"a\"}, \"dialogs\": {}}",
      "{\"format\": \"vornfmt-ui\", \"version\": 1, \"strings\": {}, \"dialogs\": {\"1\": {\"title\": \"t\", "
      "\"size\": [1, 1], \"font\": [\"f\", 8], \"controls\": [{\"id\": 1, \"kind\": \"slider\", \"rect\": [0,0,1,1]}]}}}",
      "{\"format\": \"vornfmt-ui\", \"version\": 1, \"strings\": {}, \"dialogs\": {\"1\": {\"title\": \"t\", "
      "\"size\": [1, 1], \"font\": [\"f\", 8], \"controls\": [{\"id\": 1, \"kind\": \"edit\", \"rect\": [0,-1,1,1]}]}}}",
  };
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vornfmt-bad-ui";
  std::filesystem::create_directories(folder);
  for (const char* text : bad) {
    std::ofstream(folder / "ui.json") << text;
    std::string error;
    EXPECT_EQ(ResourceSet::Load(folder, error), nullptr) << text;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_FALSE(SelectUiResources(folder));
  std::filesystem::remove_all(folder);
}

// Renders every dialog and the message box in both languages into
// $VORNFMT_SCREENSHOTS (else the test's working folder), and checks that
// every label and button text fits its place.
TEST_F(Layout, ScreenshotsWithoutCutLabels) {
  const char* env = std::getenv("VORNFMT_SCREENSHOTS");
  const QString folder = env && *env ? QString(env) : QDir::currentPath();
  const std::unique_ptr<Formatter> formatter = AssembleFormatter({.editor = &QtEditor()});
  formatter->Engine().OpenCatalog(codepage::Utf8ToUtf16(VORNFMT_TEST_DATA "/dialogs"));
  CTypeTreeItem fields, choice;
  ASSERT_TRUE(fields.LoadByName(u"UNVT_fields", u"0000000000000000", 0));
  ASSERT_TRUE(choice.LoadByName(u"UNVT_choice", u"0000000000000000", 0));
  for (const std::string language : {"enu", "deu"}) {
    auto set = Set(language);
    ASSERT_TRUE(set);
    CCheckEnumDlg enumDialog(*set->Dialog(kEnumDialog), choice, u"beta", nullptr);
    CCheckNumberDlg numberDialog(*set->Dialog(kNumberDialog), *fields.GetSubfield(1), u"3", nullptr);
    CCheckStructDlg structDialog(*set, *set->Dialog(kStructDialog), fields, u"beta 50 2.5 0.25", nullptr);
    const std::pair<QWidget*, const char*> shots[] = {
        {&enumDialog, "enumeration"}, {&numberDialog, "number"}, {&structDialog, "structure"}};
    for (const auto& [dialog, name] : shots) {
      for (const QLabel* label : dialog->findChildren<QLabel*>())
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << language << " " << name << ": \"" << label->text().toStdString() << "\" is cut";
      for (const QPushButton* button : dialog->findChildren<QPushButton*>())
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width())
            << button->text().toStdString();
      dialog->show();
      const QPixmap shot = dialog->grab();
      EXPECT_EQ(shot.size(), dialog->size());
      EXPECT_TRUE(shot.save(folder + QString("/dialog-%1-%2.png").arg(name, language.c_str())));
      dialog->hide();
    }
    UserScript user({[&](QDialog& d) {
      EXPECT_TRUE(d.grab().save(folder + QString("/dialog-message-%1.png").arg(language.c_str())));
      static_cast<QMessageBox&>(d).button(QMessageBox::Ok)->click();
    }});
    ShowMessageBox(set->String(101));
  }
}

}  // namespace
}  // namespace vornfmt::test
