#include <kel/foundations/Kel4x4Matrix.h>
#include <kel/framework/Kelvector3f.h>
#include <kel/render/KelDisplayList.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "KelTestScene.h"

namespace {

using DL = KelDisplayList;
using keltest::Stream;
using keltest::StreamOf;
using Entry = Stream::value_type;

TEST(DisplayList, ListsOfEachTypeAndEntriesForAllOfThem) {
  DL dl3, dl2(DISPLAY_LIST_2D);
  // Lists without storage, or past the range, take nothing.
  dl2.AddElem(5, 7, DL::OP_3D_FACE);
  dl3.AddElem(6, 7, DL::OP_3D_FACE);
  dl3.AddElem(-1, 7, DL::OP_3D_FACE);
  dl3.AddElem(9, 7, DL::OP_3D_FACE);
  EXPECT_EQ(dl2.GetCount(5) + dl2.GetCount(6) + dl3.GetCount(6), 0);
  EXPECT_EQ(dl3.GetOpcodes(6), nullptr);
  // "To all lists": 1 to 5 of a 3D list (0 only takes what is sent to it), 6 of a 2D list.
  dl3.AddElem(0, 6, DL::OP_LIGHT_SOURCE);
  dl3.AddElem(251, DL::OP_INHERIT_FOREGROUND);
  EXPECT_EQ(StreamOf(dl3, 0), (Stream{{DL::OP_LIGHT_SOURCE, 6}}));
  for (int l = 1; l <= 5; ++l)
    EXPECT_EQ(StreamOf(dl3, l), (Stream{{DL::OP_INHERIT_FOREGROUND, 251}})) << l;
  dl2.AddElem(0, DL::OP_FURTIVE_ON);
  EXPECT_EQ(StreamOf(dl2, 6), (Stream{{DL::OP_FURTIVE_ON, 0}}));
  // Values are pointer-sized: nothing above 32 bits is lost.
  const std::intptr_t wide = std::intptr_t(0x12345678) << (sizeof(std::intptr_t) > 4 ? 20 : 0);
  dl2.AddElem(6, wide, DL::OP_3D_POLYLINE);
  EXPECT_EQ(dl2.GetValue(6, 1), wide);
}

TEST(DisplayList, PeepholeRulesLookAtTheLastEntryOnly) {
  const int l = 5;
  const std::vector<Stream> sent = {
      // Furtive on/off with nothing between vanishes; with something between stays.
      {{DL::OP_FURTIVE_ON, 0}, {DL::OP_FURTIVE_OFF, 0}},
      {{DL::OP_FURTIVE_ON, 0}, {DL::OP_3D_FACE, 111}, {DL::OP_FURTIVE_OFF, 0}},
      // A 4x4 push then pop vanishes; a 3x3 push then pop stays.
      {{DL::OP_PUSH_MATRIX_4X4, 1000}, {DL::OP_POP_MATRIX, 0}},
      {{DL::OP_PUSH_MATRIX_3X3, 1000}, {DL::OP_POP_MATRIX, 0}},
      // An attribute replaces an attribute; an operand between them keeps both.
      {{DL::OP_ATTRIBUTE, 0x11},
       {DL::OP_ATTRIBUTE, 0x22},
       {DL::OP_VALUE, 7},
       {DL::OP_ATTRIBUTE, 3}},
      {{DL::OP_ATTRIBUTE, 0x11}, {DL::OP_FURTIVE_OFF, 0}}};
  const std::vector<Stream> kept = {
      {},
      sent[1],
      {},
      sent[3],
      {{DL::OP_ATTRIBUTE, 0x22}, {DL::OP_VALUE, 7}, {DL::OP_ATTRIBUTE, 3}},
      sent[5]};
  for (size_t i = 0; i < sent.size(); ++i) {
    DL dl;
    for (const Entry& e : sent[i]) dl.AddElem(l, e.second, e.first);
    EXPECT_EQ(StreamOf(dl, l), kept[i]) << i;
  }
}

TEST(DisplayList, MatricesAreCopiedIntoAPoolReusedAcrossFrames) {
  DL dl;
  const Kel4x4Matrix m(Kelvector3f(1.0f, 0.0f, 0.0f));
  // One copy for all lists, not the caller's matrix.
  dl.AddMatrix(m);
  for (int l = 1; l <= 5; ++l)
    ASSERT_EQ(StreamOf(dl, l), (Stream{{DL::OP_PUSH_MATRIX_4X4, dl.GetValue(1, 0)}}));
  EXPECT_NE(dl.GetValue(1, 0), keltest::Address(m));
  EXPECT_EQ(dl.GetCount(0), 0);
  // A push and pop with nothing between vanish and give the copy back;
  // something drawn in one list keeps it.
  dl.AddElem(0, DL::OP_POP_MATRIX);
  EXPECT_EQ(dl.GetNbMatrices(), 0);
  dl.AddMatrix(m);
  dl.AddElem(5, 42, DL::OP_3D_FACE);
  dl.AddElem(0, DL::OP_POP_MATRIX);
  EXPECT_EQ(dl.GetNbMatrices(), 1);
  EXPECT_EQ(dl.GetCount(1), 0);
  // The next frames take the same slots.
  std::vector<std::intptr_t> addresses;
  for (int frame = 0; frame < 2; ++frame) {
    dl.Reset();
    for (int i = 0; i < 200; ++i) {
      dl.AddMatrix(m);
      dl.AddElem(5, 42, DL::OP_3D_FACE);
    }
    for (int i = 0; i < 200; ++i)
      if (frame == 0)
        addresses.push_back(dl.GetValue(5, 2 * i));
      else
        ASSERT_EQ(dl.GetValue(5, 2 * i), addresses[i]) << i;
  }
}

}  // namespace
