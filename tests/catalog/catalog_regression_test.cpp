// What opening a catalog leaves out is kept with its reason, and format files
// are read within bounds: the cases that a hostile or broken catalog showed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "catalog/format_file_loader.h"
#include "catalog/formatter_engine.h"
#include "platform/code_page.h"
#include "tests/support/recording_format_file.h"
#include "tests/support/temp_folder.h"

namespace vornfmt {
namespace {

namespace fs = std::filesystem;

using Recorder = test::RecordingFormatFile;

std::string Data(const std::string& name) { return std::string(VORNFMT_TEST_DATA) + "/" + name; }

using TemporaryFolder = test::TempFolder;

TEST(CatalogRegression, SkippedTypeFilesAreKeptWithTheirReason) {
  FormatterEngine engine;
  engine.OpenCatalog(codepage::Utf8ToUtf16(Data("broken")));
  ASSERT_TRUE(engine.HasCatalog());
  const std::vector<std::u16string> skipped = engine.SkippedTypeFiles();
  ASSERT_EQ(skipped.size(), 1u);
  const std::string text = codepage::Utf16ToUtf8(skipped[0]);
  EXPECT_NE(text.find("cut.typ: "), std::string::npos) << text;
  EXPECT_GT(text.size(), text.find("cut.typ: ") + 9) << "a reason follows the file";
  engine.CloseCatalog();
  EXPECT_TRUE(engine.SkippedTypeFiles().empty());
}

TEST(CatalogRegression, ARefusedLanguageFileIsNamedWithItsReason) {
  FormatterEngine engine;
  engine.OpenCatalog(codepage::Utf8ToUtf16(Data("broken")));
  EXPECT_EQ(engine.LookupString(u"00", 0, 1), u"");
  const std::string reason = engine.LastLibraryError();
  EXPECT_NE(reason.find("good.enu: "), std::string::npos) << reason;
}

TEST(CatalogRegression, FormatFilesThatAreNoRegularFileAreNotRead) {
  Recorder recorder;
  std::string error;
  EXPECT_FALSE(LoadFormatFile("/dev/zero", recorder, error));
  EXPECT_EQ(error, "not a regular file");
  EXPECT_FALSE(LoadFormatFile(Data("no-such-file.fmt"), recorder, error));
  EXPECT_TRUE(recorder.entries().empty());
}

TEST(CatalogRegression, FormatFilesBeyondTheBoundAreNotRead) {
  TemporaryFolder folder;
  const fs::path path = folder.path() / "big.fmt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "SNVT_a:int;\n";
  }
  fs::resize_file(path, kMaxFormatFileBytes + 1);  // sparse: no disk space
  Recorder recorder;
  std::string error;
  EXPECT_FALSE(LoadFormatFile(path.string(), recorder, error));
  EXPECT_EQ(error, "larger than 64 MiB");
  EXPECT_TRUE(recorder.entries().empty()) << "a refused file loads nothing";
}

TEST(CatalogRegression, AFormatFileReadsAsItsTextAndTellsWhatItLeavesIncomplete) {
  TemporaryFolder folder;
  const fs::path path = folder.path() / "small.fmt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "SNVT_a:int;\r\nSNVT_b:text(\"%d\",\n*2+0);\nSNVT_nothing:banana;\n";
  }
  Recorder recorder;
  std::string error, unfinished;
  ASSERT_TRUE(LoadFormatFile(path.string(), recorder, error, &unfinished));
  EXPECT_EQ(recorder.entries(), (std::vector<std::string>{"SNVT_a:int;", "SNVT_b:text(\"%d\",*2+0)"}));
  EXPECT_EQ(unfinished, "SNVT_nothing:banana;");
}

TEST(CatalogRegression, AnUnreadableFormatFileIsKeptAsAProblemOfTheCatalog) {
  TemporaryFolder folder;
  fs::copy_file(Data("tool/tool.typ"), folder.path() / "big.typ");
  {
    std::ofstream out(folder.path() / "big.fmt", std::ios::binary);
  }
  fs::resize_file(folder.path() / "big.fmt", kMaxFormatFileBytes + 1);
  FormatterEngine engine;
  engine.SetFormatFileFactory([](const std::u16string&) { return std::make_unique<Recorder>(); });
  engine.OpenCatalog(codepage::Utf8ToUtf16(folder.path().string()));
  ASSERT_EQ(engine.FormatFileProblems().size(), 1u);
  const std::string problem = codepage::Utf16ToUtf8(engine.FormatFileProblems()[0]);
  EXPECT_NE(problem.find("big.fmt: larger than 64 MiB"), std::string::npos) << problem;
  EXPECT_EQ(engine.FormatFiles().size(), 1u) << "the file stays registered";
}

}  // namespace
}  // namespace vornfmt
