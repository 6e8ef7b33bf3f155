// Faults found in the format subsystem, each pinned by the case that showed it.
#include <gtest/gtest.h>

#include <string>

#include "format/brackets_object.h"

namespace vornfmt {
namespace {

// The Items node of a specification of the form ("...",...).
const CBracketsObject* ItemsNode(const CBracketsObject& root) {
  if (root.Children().size() != 1) return nullptr;
  return &*root.Children().front();
}

// The text after the last conversion is joined to the last item's piece and
// the joined text is masked again when it is stored. For "\%d%d" the first
// masking gives "%%d%s" (the escaped conversion becomes "%%" followed by a
// plain 'd'); masking that again turns the 'd' after "%%" into 's', so the
// value shows after a literal "%s", not after "%d".
TEST(FormatRegression, JoinedPieceIsMaskedAgain) {
  CBracketsObject root;
  root.Compile(u"(\"\\%d%d\",)", u"SNVT_count");
  const CBracketsObject* items = ItemsNode(root);
  ASSERT_NE(items, nullptr);
  ASSERT_EQ(items->Items().size(), 1u);
  EXPECT_EQ(items->Items().front()->Piece(), u"%%s%s");
  EXPECT_EQ(items->Items().front()->Name(), u"SNVT_count");
}

}  // namespace
}  // namespace vornfmt
