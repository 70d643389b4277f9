#include <kel/foundations/Kel3x3Matrix.h>
#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/Kelvector2f.h>
#include <kel/framework/Kelvector3f.h>
#include <kel/render/KelDisplayList.h>

#include <gtest/gtest.h>

#include "KelTestScene.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace {

using DL = KelDisplayList;
using keltest::Stream;

}  // namespace

TEST(DisplayList, TypesOwnTheirListsOnly) {
  KelDisplayList dl3;
  EXPECT_EQ(dl3.GetType(), DISPLAY_LIST_3D);
  for (int l = 0; l <= 5; ++l) {
    EXPECT_TRUE(dl3.HasList(l)) << l;
    EXPECT_EQ(dl3.GetCapacity(l), 4096);
    EXPECT_EQ(dl3.GetCount(l), 0);
  }
  EXPECT_FALSE(dl3.HasList(6));

  KelDisplayList dl2(DISPLAY_LIST_2D);
  EXPECT_TRUE(dl2.HasList(6));
  EXPECT_EQ(dl2.GetCapacity(6), 4096);
  for (int l = 0; l <= 5; ++l) EXPECT_FALSE(dl2.HasList(l)) << l;

  // Lists without storage take nothing and report nothing.
  dl2.AddElem(5, 7, DL::OP_3D_FACE);
  dl3.AddElem(6, 7, DL::OP_3D_FACE);
  dl3.AddElem(-1, 7, DL::OP_3D_FACE);
  dl3.AddElem(9, 7, DL::OP_3D_FACE);
  EXPECT_EQ(dl2.GetCount(5), 0);
  EXPECT_EQ(dl2.GetCount(6), 0);
  EXPECT_EQ(dl3.GetCount(6), 0);
  EXPECT_EQ(dl3.GetOpcodes(6), nullptr);

  // "To all lists": 1 to 5 of a 3D list (0 only takes what is sent to it), 6 of a 2D list.
  dl3.AddElem(0, 6, DL::OP_LIGHT_SOURCE);
  dl3.AddElem(251, DL::OP_INHERIT_FOREGROUND);
  EXPECT_EQ(keltest::StreamOf(dl3, 0), (Stream{{DL::OP_LIGHT_SOURCE, 6}}));
  for (int l = 1; l <= 5; ++l)
    EXPECT_EQ(keltest::StreamOf(dl3, l), (Stream{{DL::OP_INHERIT_FOREGROUND, 251}})) << l;
  dl2.AddElem(0, DL::OP_FURTIVE_ON);
  EXPECT_EQ(keltest::StreamOf(dl2, 6), (Stream{{DL::OP_FURTIVE_ON, 0}}));
}

TEST(DisplayList, PeepholeRules) {
  KelDisplayList dl;
  const int l = 5;
  // Furtive on/off with nothing between vanishes; with something between stays.
  dl.AddElem(l, 0, DL::OP_FURTIVE_ON);
  dl.AddElem(l, 0, DL::OP_FURTIVE_OFF);
  EXPECT_EQ(dl.GetCount(l), 0);
  dl.AddElem(l, 0, DL::OP_FURTIVE_ON);
  dl.AddElem(l, 111, DL::OP_3D_FACE);
  dl.AddElem(l, 0, DL::OP_FURTIVE_OFF);
  EXPECT_EQ(keltest::StreamOf(dl, l),
            (Stream{{DL::OP_FURTIVE_ON, 0}, {DL::OP_3D_FACE, 111}, {DL::OP_FURTIVE_OFF, 0}}));
  dl.Reset();

  // A 4x4 push then pop vanishes; a 3x3 push then pop stays.
  dl.AddElem(l, 1000, DL::OP_PUSH_MATRIX_4X4);
  dl.AddElem(l, 0, DL::OP_POP_MATRIX);
  EXPECT_EQ(dl.GetCount(l), 0);
  dl.AddElem(l, 1000, DL::OP_PUSH_MATRIX_3X3);
  dl.AddElem(l, 0, DL::OP_POP_MATRIX);
  EXPECT_EQ(keltest::StreamOf(dl, l),
            (Stream{{DL::OP_PUSH_MATRIX_3X3, 1000}, {DL::OP_POP_MATRIX, 0}}));
  dl.Reset();

  // An attribute replaces an attribute; an operand between them keeps both.
  dl.AddElem(l, 0x11, DL::OP_ATTRIBUTE);
  dl.AddElem(l, 0x22, DL::OP_ATTRIBUTE);
  EXPECT_EQ(keltest::StreamOf(dl, l), (Stream{{DL::OP_ATTRIBUTE, 0x22}}));
  dl.AddValue(l, 0x7f00ff00);
  dl.AddElem(l, 0x33, DL::OP_ATTRIBUTE);
  EXPECT_EQ(
      keltest::StreamOf(dl, l),
      (Stream{{DL::OP_ATTRIBUTE, 0x22}, {DL::OP_VALUE, 0x7f00ff00}, {DL::OP_ATTRIBUTE, 0x33}}));
  // Rules look at the last entry only: 34 after 10 is appended.
  dl.AddElem(l, 0, DL::OP_FURTIVE_OFF);
  EXPECT_EQ(dl.GetCount(l), 4);
}

TEST(DisplayList, GrowsByDoublingAndKeepsEntries) {
  KelDisplayList dl(DISPLAY_LIST_2D);
  for (int i = 0; i < 4096; ++i) dl.AddElem(6, i, (i % 2) ? DL::OP_3D_FACE : DL::OP_3D_POLYLINE);
  EXPECT_EQ(dl.GetCapacity(6), 4096);
  dl.AddElem(6, 4096, DL::OP_3D_LINE);
  EXPECT_EQ(dl.GetCapacity(6), 8192);
  ASSERT_EQ(dl.GetCount(6), 4097);
  for (int i = 0; i < 4096; ++i) {
    ASSERT_EQ(dl.GetValue(6, i), i);
    ASSERT_EQ(dl.GetOpcode(6, i), (i % 2) ? DL::OP_3D_FACE : DL::OP_3D_POLYLINE);
  }
  EXPECT_EQ(dl.GetOpcode(6, 4096), DL::OP_3D_LINE);

  // Values are pointer-sized: nothing above 32 bits is lost.
  const std::intptr_t wide = std::intptr_t(0x12345678) << (sizeof(std::intptr_t) > 4 ? 20 : 0);
  dl.AddElem(6, wide, DL::OP_3D_POLYLINE);
  EXPECT_EQ(dl.GetValue(6, 4097), wide);

  // Reset empties without shrinking.
  dl.Reset();
  EXPECT_EQ(dl.GetCount(6), 0);
  EXPECT_EQ(dl.GetCapacity(6), 8192);
}

TEST(DisplayList, MatrixPoolIsReusedAcrossFrames) {
  KelDisplayList dl;
  const Kel4x4Matrix m(Kelvector3f(1.0f, 0.0f, 0.0f));

  // One copy for all lists, not the caller's matrix.
  dl.AddMatrix(m);
  for (int l = 1; l <= 5; ++l)
    ASSERT_EQ(keltest::StreamOf(dl, l), (Stream{{DL::OP_PUSH_MATRIX_4X4, dl.GetValue(1, 0)}}));
  EXPECT_NE(dl.GetValue(1, 0), reinterpret_cast<std::intptr_t>(&m));
  EXPECT_EQ(dl.GetCount(0), 0);
  // A push and pop with nothing between vanish and give the copy back.
  dl.AddMatrix(m);
  dl.AddElem(0, DL::OP_POP_MATRIX);
  dl.AddElem(0, DL::OP_POP_MATRIX);
  EXPECT_EQ(dl.GetNbMatrices(), 0);
  for (int l = 1; l <= 5; ++l) EXPECT_EQ(dl.GetCount(l), 0);

  // Something drawn in one list keeps the copy alive.
  dl.AddMatrix(m);
  dl.AddElem(5, 42, DL::OP_3D_FACE);
  dl.AddElem(0, DL::OP_POP_MATRIX);
  EXPECT_EQ(dl.GetNbMatrices(), 1);
  EXPECT_EQ(dl.GetCount(1), 0);
  EXPECT_EQ(keltest::StreamOf(dl, 5).size(), 3u);
  const std::intptr_t first = dl.GetValue(5, 0);

  // Next frame: the same slots, no new matrices.
  dl.Reset();
  EXPECT_EQ(dl.GetNbMatrices(), 0);
  for (int i = 0; i < 200; ++i) {
    dl.AddMatrix(m);
    dl.AddElem(5, 42, DL::OP_3D_FACE);
  }
  EXPECT_EQ(dl.GetValue(5, 0), first);
  std::vector<std::intptr_t> addresses;
  for (int i = 0; i < 200; ++i) addresses.push_back(dl.GetValue(5, 2 * i));
  dl.Reset();
  for (int i = 0; i < 200; ++i) {
    dl.AddMatrix(m);
    dl.AddElem(5, 42, DL::OP_3D_FACE);
  }
  for (int i = 0; i < 200; ++i) ASSERT_EQ(dl.GetValue(5, 2 * i), addresses[i]) << i;
}

TEST(DisplayList, CopyIsDeep) {
  KelDisplayList dl;
  int gp = 0;
  const auto gpValue = reinterpret_cast<std::intptr_t>(&gp);
  const char bytes[] = "camera bytes";
  void* dup = dl.DuplicateElem(bytes, sizeof bytes);
  ASSERT_NE(dup, nullptr);
  EXPECT_NE(dup, static_cast<const void*>(bytes));
  EXPECT_STREQ(static_cast<const char*>(dup), bytes);
  EXPECT_EQ(dl.DuplicateElem(nullptr, 4), nullptr);
  EXPECT_EQ(dl.DuplicateElem(bytes, 0), nullptr);
  EXPECT_EQ(dl.GetNbDuplicates(), 1);

  dl.AddElem(0, gpValue, DL::OP_LIGHT_SOURCE);
  dl.AddMatrix(Kel4x4Matrix(Kelvector3f(7.0f, 0.0f, 0.0f)));
  dl.AddElem(5, gpValue, DL::OP_3D_FACE);
  dl.AddElem(0, DL::OP_POP_MATRIX);
  for (int i = 0; i < 70; ++i) dl.AddMatrix(Kel3x3Matrix(Kelvector2f(float(i), 0.0f)));

  KelDisplayList copy(dl);
  EXPECT_EQ(copy.GetType(), DISPLAY_LIST_3D);
  EXPECT_EQ(copy.GetNbDuplicates(), 1);
  EXPECT_EQ(copy.GetNbMatrices(), dl.GetNbMatrices());
  for (int l = 0; l <= 5; ++l) {
    ASSERT_EQ(copy.GetCount(l), dl.GetCount(l)) << l;
    for (int i = 0; i < dl.GetCount(l); ++i) {
      const int op = dl.GetOpcode(l, i);
      ASSERT_EQ(copy.GetOpcode(l, i), op);
      if (op == DL::OP_PUSH_MATRIX_4X4 || op == DL::OP_PUSH_MATRIX_3X3)
        EXPECT_NE(copy.GetValue(l, i), dl.GetValue(l, i)) << l << " " << i;
      else
        EXPECT_EQ(copy.GetValue(l, i), dl.GetValue(l, i)) << l << " " << i;
    }
  }
  // Primitives are shared, matrices are not.
  EXPECT_EQ(copy.GetValue(5, 1), gpValue);
  const auto* m = reinterpret_cast<const Kel4x4Matrix*>(copy.GetValue(5, 0));
  EXPECT_FLOAT_EQ(m->GetCoefficient(3, 0), 7.0f);
  const auto* last = reinterpret_cast<const Kel3x3Matrix*>(copy.GetValue(2, 69));
  EXPECT_FLOAT_EQ(last->GetTranslation().x, 69.0f);

  // The original can go: the copy still reads its own objects.
  dl.Reset();
  EXPECT_FLOAT_EQ(m->GetCoefficient(3, 0), 7.0f);
}
