#include <kel/images/ripicrdt.h>
#include <kel/images/ripicrhd.h>

#include <dirent.h>

#include <array>
#include <climits>
#include <string>

#include "PictureTestFiles.h"

namespace {

using pictest::Bytes;
using PictureReaderTest = pictest::PictureTest;

// A 4 x 2 three-component file. Red and blue are run-length blocks, green is
// raw (8 bytes, not shorter than a raw block of 4 x 2).
struct Layout {
  int width = 4, height = 2, code = 10407, blocks = 1, largest = 8, colours = 0;
  std::int32_t descriptions = 1;
  size_t descriptionLength = 12, headerLength = 36, countLength = 4;
  std::vector<Bytes> before;  // whole items inserted before the pixel description
  std::vector<Bytes> extra;   // items between the pixel header and the blocks
  std::vector<Bytes> blockItems = {{4, 10, 4, 20}, {1, 2, 3, 4, 5, 6, 7, 8}, {2, 7, 2, 8, 4, 9}};
  int items() const { return static_cast<int>(blockItems.size() + extra.size()) + 1; }
};

const Bytes kRed = {10, 10, 10, 10, 20, 20, 20, 20};
const Bytes kGreen = {1, 2, 3, 4, 5, 6, 7, 8};
const Bytes kBlue = {7, 7, 8, 8, 9, 9, 9, 9};

Bytes Sized(Bytes b, size_t length) {
  b.resize(length, 0);
  return b;
}

pictest::FileBuilder Build(const Layout& l) {
  pictest::FileBuilder f;
  f.Header();
  f.Item(pictest::Text("WEDNESDAY SEPTEMBER 30, 2020"));
  f.Item(Bytes(80, 0));
  Bytes count;
  pictest::Put32(count, static_cast<std::uint32_t>(l.descriptions));
  f.Item(Sized(count, l.countLength));
  f.Item(pictest::Text("CREATION : MIRKA - RENDENRING APPICATION"));
  for (const Bytes& b : l.before) f.bytes.insert(f.bytes.end(), b.begin(), b.end());
  Bytes d = {0, 0, 0, 1};
  pictest::Put32(d, static_cast<std::uint32_t>(l.items()));
  pictest::Put32(d, 36);
  f.Item(Sized(d, l.descriptionLength));
  Bytes h;
  for (int v : {l.width, l.height, 1, l.code, l.blocks, l.largest, 0, 4, l.colours})
    pictest::Put32(h, static_cast<std::uint32_t>(v));
  f.Item(Sized(h, l.headerLength));
  for (const Bytes& b : l.extra) f.Item(b);
  for (const Bytes& b : l.blockItems) f.Item(b);
  f.End();
  return f;
}

struct Read {
  int answer;
  Bytes planes;
};

Read ReadWindow(const std::string& path, int column, int line, int width, int height) {
  Read r;
  r.planes.assign(3 * static_cast<size_t>(std::max(width, 1)) * std::max(height, 1), 0xEE);
  int code = 1, origin[2] = {column, line}, size[2] = {width, height};
  r.answer = ripicrdt(path.c_str(), &code, origin, size, r.planes.data());
  return r;
}

Read ReadAll(const Layout& l, const char* name = "picture-hostile.pic") {
  return ReadWindow(Build(l).Save(name), 1, 1, l.width, l.height);
}

int Header(const Layout& l, int* size) {
  int code = 0;
  return ripicrhd(Build(l).Save("picture-header.pic").c_str(), &code, size);
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST_F(PictureReaderTest, HandMadeFileAndWindow) {
  Layout l;
  const std::string path = Build(l).Save("picture-4x2.pic");
  int code = 0, size[2] = {};
  ASSERT_EQ(ripicrhd(path.c_str(), &code, size), 0);
  EXPECT_EQ((std::vector<int>{code, size[0], size[1]}), (std::vector<int>{1, 4, 2}));
  Read all = ReadWindow(path, 1, 1, 4, 2);
  ASSERT_EQ(all.answer, 0);
  EXPECT_EQ(all.planes, Cat({kRed, kGreen, kBlue}));
  Read part = ReadWindow(path, 2, 2, 3, 1);
  ASSERT_EQ(part.answer, 0);
  EXPECT_EQ(part.planes, (Bytes{20, 20, 20, 6, 7, 8, 9, 9, 9}));

  code = 2;
  int origin[2] = {1, 1};
  EXPECT_EQ(ripicrdt(path.c_str(), &code, origin, size, all.planes.data()), -5);
  EXPECT_EQ(
      ripicrdt(keltest::OutputPath("missing.pic").c_str(), &code, origin, size, all.planes.data()),
      -5);
}

TEST_F(PictureReaderTest, OtherDescriptionsAndSkippedItems) {
  Layout l;
  // A description of kind (5, 0) with two items comes first.
  pictest::FileBuilder other;
  other.Description(5, 0, 2, 100);
  other.Item(Bytes(100, 3));
  other.Item(Bytes(7, 4));
  l.before = {other.bytes};
  l.descriptions = 2;
  // Colours beside three components: two items the readers pass over.
  l.colours = 5;
  l.extra = {Bytes(20, 1), Bytes(20, 2)};
  int size[2];
  ASSERT_EQ(Header(l, size), 0);
  EXPECT_EQ(size[0], 4);
  Read r = ReadAll(l);
  ASSERT_EQ(r.answer, 0);
  EXPECT_EQ(r.planes, Cat({kRed, kGreen, kBlue}));

  Layout none;
  none.blockItems.clear();
  pictest::FileBuilder only;
  only.Description(0, 2, 0, 0);
  none.before = {only.bytes};
  none.descriptions = 1;
  pictest::FileBuilder f = Build(none);
  int code = 0;
  size[0] = size[1] = 9;
  EXPECT_EQ(ripicrhd(f.Save("picture-nopixel.pic").c_str(), &code, size), 0);
  EXPECT_EQ((std::vector<int>{size[0], size[1]}), (std::vector<int>{0, 0}));
  EXPECT_EQ(ReadWindow(f.Save("picture-nopixel.pic"), 1, 1, 1, 1).answer, -4);
}

TEST_F(PictureReaderTest, FixedItemsMustHaveTheirLength) {
  int size[2];
  for (auto [field, length] :
       std::vector<std::pair<size_t Layout::*, size_t>>{{&Layout::descriptionLength, 11},
                                                        {&Layout::descriptionLength, 13},
                                                        {&Layout::descriptionLength, 80},
                                                        {&Layout::headerLength, 35},
                                                        {&Layout::headerLength, 40},
                                                        {&Layout::countLength, 8}}) {
    Layout l;
    l.*field = length;
    EXPECT_EQ(Header(l, size), -1) << length;
    EXPECT_EQ(ReadAll(l).answer, -1) << length;
  }
}

TEST_F(PictureReaderTest, ImageSizeWindowAndOrigin) {
  int size[2];
  for (auto bad : {std::pair<int, int>{0, 2}, {4, 0}, {262145, 2}, {-4, 2}}) {
    Layout l;
    l.width = bad.first;
    l.height = bad.second;
    EXPECT_EQ(Header(l, size), -11);
    EXPECT_EQ(ReadWindow(Build(l).Save("picture-size.pic"), 1, 1, 1, 1).answer, -11);
  }
  const std::string path = Build(Layout{}).Save("picture-window.pic");
  for (auto origin : {std::pair<int, int>{0, 1}, {1, 0}, {5, 1}, {1, 3}, {-1, 1}})
    EXPECT_EQ(ReadWindow(path, origin.first, origin.second, 1, 1).answer, -10);
  for (auto w : {std::array<int, 4>{2, 1, 4, 2}, {1, 2, 4, 2}, {1, 1, 0, 1}, {1, 1, 1, -1}})
    EXPECT_EQ(ReadWindow(path, w[0], w[1], w[2], w[3]).answer, -11);
  EXPECT_EQ(ReadWindow(path, 4, 2, 1, 1).answer, 0);
}

TEST_F(PictureReaderTest, TruncatedFilesAreRefused) {
  const Bytes whole = Build(Layout{}).bytes;
  // Up to the end of the last block item, every cut is an error; past it only
  // the end items are missing, which the reader does not need.
  const size_t lastBlockEnd = whole.size() - 2 * 160;
  for (size_t cut = 0; cut < whole.size(); cut += 3) {
    pictest::FileBuilder f;
    f.bytes.assign(whole.begin(), whole.begin() + static_cast<long>(cut));
    const std::string path = f.Save("picture-cut.pic");
    const int answer = ReadWindow(path, 1, 1, 4, 2).answer;
    if (cut < lastBlockEnd)
      EXPECT_EQ(answer, -1) << "cut at " << cut;
    else
      EXPECT_EQ(answer, 0) << "cut at " << cut;
    int code = 0, size[2];
    EXPECT_LE(ripicrhd(path.c_str(), &code, size), 0);
  }
}

TEST_F(PictureReaderTest, MalformedBlocks) {
  auto withRed = [](Bytes red) {
    Layout l;
    l.blockItems[0] = red;
    return l;
  };
  EXPECT_EQ(ReadAll(withRed({0, 10, 4, 10, 4, 20})).answer, -3) << "zero count";
  EXPECT_EQ(ReadAll(withRed({3, 10, 3, 10, 2, 20})).answer, -3) << "run across the line end";
  EXPECT_EQ(ReadAll(withRed({4, 10, 3, 20})).answer, -3) << "second line short";
  EXPECT_EQ(ReadAll(withRed({4, 10, 4})).answer, -3) << "half a pair";
  EXPECT_EQ(ReadAll(withRed(Bytes(9, 1))).answer, -1) << "longer than the largest block";

  Layout raw;  // uncompressed file whose red block lacks a byte
  raw.code = 10400;
  raw.blockItems = {Bytes(7, 1), kGreen, kBlue};
  EXPECT_EQ(ReadAll(raw).answer, -3);
  EXPECT_EQ(ReadWindow(Build(raw).Save("picture-shortraw.pic"), 1, 1, 4, 1).answer, -3)
      << "even when the missing byte lies outside the window";
  raw.blockItems[0] = kRed;
  Read ok = ReadAll(raw);
  ASSERT_EQ(ok.answer, 0);
  EXPECT_EQ(ok.planes, Cat({kRed, kGreen, kBlue}));

  Layout unknown;
  unknown.code = 10401;  // accepted code, algorithm not decoded
  EXPECT_EQ(ReadAll(unknown).answer, -3);
  unknown.code = 10507;
  EXPECT_EQ(ReadAll(unknown).answer, -2);
  int size[2];
  EXPECT_EQ(Header(unknown, size), -2);

  Layout blocks;
  blocks.blocks = 2;  // 4 x 2 holds one block per component
  EXPECT_EQ(ReadAll(blocks).answer, -1);
  Layout largest;
  largest.largest = 0;
  EXPECT_EQ(ReadAll(largest).answer, -1);
  largest.largest = INT_MAX;  // never trusted beyond a raw block
  EXPECT_EQ(ReadAll(largest).answer, 0);
}

TEST_F(PictureReaderTest, LyingCountsEndAtTheEndOfTheFile) {
  int size[2];
  Layout many;
  many.descriptions = INT_MAX;
  EXPECT_EQ(Header(many, size), -1);
  EXPECT_EQ(ReadAll(many).answer, 0) << "the data reader stops at the pixel description";

  Layout skip;
  pictest::FileBuilder other;
  other.Description(7, 7, INT_MAX, 0);
  skip.before = {other.bytes};
  skip.descriptions = 2;
  EXPECT_EQ(Header(skip, size), -1);
  EXPECT_EQ(ReadAll(skip).answer, -1);

  Layout negative;
  negative.blockItems[1].clear();
  pictest::FileBuilder f = Build(negative);
  // Make the green block's length record say -8.
  const size_t green = f.bytes.size() - 2 * 160 - 160 - 80;
  ASSERT_EQ(f.bytes[green + 3], 0);
  f.bytes[green] = f.bytes[green + 1] = f.bytes[green + 2] = f.bytes[green + 3] = 0xFF;
  f.bytes[green + 3] = 0xF8;
  EXPECT_EQ(ReadWindow(f.Save("picture-negative.pic"), 1, 1, 4, 2).answer, -1);
}

Bytes Entry(int r, int g, int b) {
  return {0, static_cast<unsigned char>(b), static_cast<unsigned char>(g),
          static_cast<unsigned char>(r)};
}

TEST_F(PictureReaderTest, OneComponentThroughTheColourTable) {
  Layout l;
  l.code = 20407;
  l.colours = 2;
  // Index 200 lies past the two colours: black, never a read past the table.
  l.extra = {Cat({Entry(1, 2, 3), Entry(40, 50, 60)})};
  l.width = 8;
  l.largest = 16;
  l.blockItems = {{1, 0, 1, 1, 6, 200, 8, 1}};
  Read r = ReadAll(l);
  ASSERT_EQ(r.answer, 0);
  EXPECT_EQ(r.planes, Cat({{1, 40, 0, 0, 0, 0, 0, 0},
                           Bytes(8, 40),  // red
                           {2, 50, 0, 0, 0, 0, 0, 0},
                           Bytes(8, 50),  // green
                           {3, 60, 0, 0, 0, 0, 0, 0},
                           Bytes(8, 60)}));  // blue
  l.width = 4;
  l.largest = 8;

  // A table longer than its count: the extra colour is not used.
  l.extra = {Cat({Entry(1, 2, 3), Entry(40, 50, 60), Entry(9, 9, 9)})};
  l.blockItems = {{4, 2, 4, 1}};
  testing::internal::CaptureStdout();
  r = ReadAll(l);
  EXPECT_NE(
      testing::internal::GetCapturedStdout().find(" Mirka_picture : incoherence in color table \n"),
      std::string::npos);
  ASSERT_EQ(r.answer, 0);
  EXPECT_EQ(r.planes,
            Cat({Bytes(4, 0), Bytes(4, 40), Bytes(4, 0), Bytes(4, 50), Bytes(4, 0), Bytes(4, 60)}));

  // A count far beyond the item and the 8-bit range.
  l.colours = INT_MAX;
  l.extra = {Entry(1, 2, 3)};
  l.blockItems = {{4, 2, 4, 0}};
  r = ReadAll(l);
  ASSERT_EQ(r.answer, 0);
  EXPECT_EQ(r.planes,
            Cat({Bytes(4, 0), Bytes(4, 1), Bytes(4, 0), Bytes(4, 2), Bytes(4, 0), Bytes(4, 3)}));
  l.colours = -1;
  EXPECT_EQ(ReadAll(l).answer, -1);

  // 16-bit indices, big-endian, in (count, high, low) runs.
  Layout deep;
  deep.code = 20508;
  deep.height = 1;
  deep.colours = 2;
  deep.width = 8;
  deep.largest = 16;
  deep.extra = {Cat({Entry(1, 2, 3), Entry(40, 50, 60)})};
  deep.blockItems = {{1, 0, 1, 2, 0xFF, 0xFF, 5, 0, 0}};
  r = ReadAll(deep);
  ASSERT_EQ(r.answer, 0);
  EXPECT_EQ(r.planes,
            Cat({{40, 0, 0, 1, 1, 1, 1, 1}, {50, 0, 0, 2, 2, 2, 2, 2}, {60, 0, 0, 3, 3, 3, 3, 3}}));
}

// The reader's crash inputs found by fuzzing: each must read without a fault.
TEST_F(PictureReaderTest, RegressionInputs) {
  const std::string dir = keltest::DataPath("picture/regress");
  DIR* d = opendir(dir.c_str());
  ASSERT_TRUE(d) << dir;
  int files = 0;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name.empty() || name[0] == '.' || name == "README.md") continue;
    ++files;
    const std::string path = dir + "/" + name;
    int code = 0, size[2] = {};
    const int header = ripicrhd(path.c_str(), &code, size);
    if (header != 0 || size[0] < 1 || size[1] < 1 || 1LL * size[0] * size[1] > (1 << 22)) continue;
    Read r = ReadWindow(path, 1, 1, size[0], size[1]);
    EXPECT_LE(r.answer, 0) << name;
  }
  closedir(d);
  EXPECT_GT(files, 0);
}

}  // namespace
