// The picture readers on hand-made and hostile files.
#include <kel/images/ReadPicturePixelImage.h>
#include <kel/images/ripicrdt.h>
#include <kel/images/ripicrhd.h>

#include <dirent.h>

#include <climits>
#include <memory>
#include <string>

#include "PictureTestFiles.h"

namespace {

using pictest::Bytes;

// A 4 x 2 three-component file. Red and blue are run-length blocks, green is
// raw (8 bytes, not shorter than a raw block of 4 x 2).
struct Layout {
  int width = 4, height = 2, code = 10407, blocks = 1, largest = 8, colours = 0;
  std::int32_t descriptions = 1;
  size_t descriptionLength = 12, headerLength = 36, countLength = 4;
  Bytes before;              // whole items before the pixel description
  std::vector<Bytes> extra;  // items between the pixel header and the blocks
  std::vector<Bytes> blockItems = {{4, 10, 4, 20}, {1, 2, 3, 4, 5, 6, 7, 8}, {2, 7, 2, 8, 4, 9}};
};
const Bytes kPlanes = {10, 10, 10, 10, 20, 20, 20, 20, 1, 2, 3, 4,
                       5,  6,  7,  8,  7,  7,  8,  8,  9, 9, 9, 9};

Bytes Sized(Bytes b, size_t length) {
  b.resize(length, 0);
  return b;
}

std::string Build(const Layout& l, const std::string& name = "picture.pic") {
  pictest::FileBuilder f;
  f.Preamble(l.descriptions, l.countLength);
  f.bytes.insert(f.bytes.end(), l.before.begin(), l.before.end());
  const int items = static_cast<int>(l.blockItems.size() + l.extra.size()) + 1;
  f.Item(Sized(pictest::Ints({1, items, 36}), l.descriptionLength));
  f.Item(Sized(pictest::Ints({l.width, l.height, 1, l.code, l.blocks, l.largest, 0, 4, l.colours}),
               l.headerLength));
  for (const Bytes& b : l.extra) f.Item(b);
  for (const Bytes& b : l.blockItems) f.Item(b);
  f.End();
  return f.Save(name);
}

struct Read {
  int answer;
  Bytes planes;
};
Read ReadWindow(const std::string& path, int column, int line, int width, int height) {
  Read r{0, Bytes(3 * static_cast<size_t>(std::max(width, 1)) * std::max(height, 1), 0xEE)};
  int code = 1, origin[2] = {column, line}, size[2] = {width, height};
  r.answer = ripicrdt(path.c_str(), &code, origin, size, r.planes.data());
  return r;
}
Read ReadAll(const Layout& l) {
  return ReadWindow(Build(l), 1, 1, l.width, l.height);
}
int Header(const Layout& l) {
  int code = 0, size[2];
  return ripicrhd(Build(l).c_str(), &code, size);
}
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(PictureReader, HandMadeFileWindowsAndItemsPassedOver) {
  // (The header's code and size, and the last pixel's window: the writer's
  // tests.)
  const std::string path = Build(Layout{});
  EXPECT_EQ(ReadWindow(path, 1, 1, 4, 2).planes, kPlanes);
  EXPECT_EQ(ReadWindow(path, 2, 2, 3, 1).planes, (Bytes{20, 20, 20, 6, 7, 8, 9, 9, 9}));
  int code = 2, origin[2] = {1, 1}, size[2] = {4, 2};  // not a picture code
  Bytes out(24);
  EXPECT_EQ(ripicrdt(path.c_str(), &code, origin, size, out.data()), -5);
  EXPECT_EQ(ReadWindow(keltest::OutputPath("missing.pic"), 1, 1, 1, 1).answer, -5);

  // A description of kind (5, 0) with two items comes first, and colours
  // beside three components: items the readers pass over.
  Layout l;
  pictest::FileBuilder other;
  other.Description(5, 0, 2, 100);
  other.Item(Bytes(100, 3));
  other.Item(Bytes(7, 4));
  l.before = other.bytes;
  l.descriptions = 2;
  l.colours = 5;
  l.extra = {Bytes(20, 1), Bytes(20, 2)};
  EXPECT_EQ(Header(l), 0);
  EXPECT_EQ(ReadAll(l).planes, kPlanes);
  // No pixel description at all.
  Layout none;
  pictest::FileBuilder only;
  only.Description(0, 2, 0, 0);
  none.before = only.bytes;
  none.blockItems.clear();
  EXPECT_EQ(ReadAll(none).answer, -4);
}

TEST(PictureReader, BadSizesWindowsAndFixedItemsAreRefused) {
  for (auto [field, length] :
       std::vector<std::pair<size_t Layout::*, size_t>>{{&Layout::descriptionLength, 11},
                                                        {&Layout::descriptionLength, 80},
                                                        {&Layout::headerLength, 35},
                                                        {&Layout::headerLength, 40},
                                                        {&Layout::countLength, 8}}) {
    Layout l;
    l.*field = length;
    EXPECT_EQ(Header(l), -1) << length;
    EXPECT_EQ(ReadAll(l).answer, -1) << length;
  }
  for (auto [w, h] : {std::pair{0, 2}, {4, 0}, {262145, 2}, {-4, 2}}) {
    Layout l;
    l.width = w, l.height = h;
    EXPECT_EQ(Header(l), -11);
    EXPECT_EQ(ReadWindow(Build(l), 1, 1, 1, 1).answer, -11);
  }
  const std::string path = Build(Layout{});
  for (auto [x, y] : {std::pair{0, 1}, {1, 0}, {5, 1}, {1, 3}, {-1, 1}})
    EXPECT_EQ(ReadWindow(path, x, y, 1, 1).answer, -10);
  for (auto w : {std::array<int, 4>{2, 1, 4, 2}, {1, 2, 4, 2}, {1, 1, 0, 1}, {1, 1, 1, -1}})
    EXPECT_EQ(ReadWindow(path, w[0], w[1], w[2], w[3]).answer, -11);
  // Up to the end of the last block item, every cut is an error; past it only
  // the end items are missing, which the reader does not need.
  const Bytes whole = keltest::ReadBytes(path);
  for (size_t cut = 0; cut < whole.size(); cut += 3) {
    keltest::WriteBytes(path, Bytes(whole.begin(), whole.begin() + long(cut)));
    EXPECT_EQ(ReadWindow(path, 1, 1, 4, 2).answer, cut < whole.size() - 320 ? -1 : 0) << cut;
  }
}

TEST(PictureReader, MalformedBlocksAndLyingCounts) {
  auto withRed = [](Bytes red) {
    Layout l;
    l.blockItems[0] = red;
    return ReadAll(l).answer;
  };
  EXPECT_EQ(withRed({0, 10, 4, 10, 4, 20}), -3) << "zero count";
  EXPECT_EQ(withRed({3, 10, 3, 10, 2, 20}), -3) << "run across the line end";
  EXPECT_EQ(withRed({4, 10, 3, 20}), -3) << "second line short";
  EXPECT_EQ(withRed({4, 10, 4}), -3) << "half a pair";
  EXPECT_EQ(withRed(Bytes(9, 1)), -1) << "longer than the largest block";
  Layout raw;  // uncompressed, the red block a byte short outside the window
  raw.code = 10400;
  raw.blockItems = {Bytes(7, 1), Bytes(8, 2), Bytes(8, 3)};
  EXPECT_EQ(ReadWindow(Build(raw), 1, 1, 4, 1).answer, -3);
  Layout l;
  l.code = 10401;  // accepted code, algorithm not decoded
  EXPECT_EQ(ReadAll(l).answer, -3);
  for (int bad : {10507, 30407, 10307, 10, -5}) {
    l.code = bad;
    EXPECT_EQ(ReadAll(l).answer, -2) << bad;
    EXPECT_EQ(Header(l), -2) << bad;
  }
  l = Layout{};
  l.blocks = 2;  // 4 x 2 holds one block per component
  EXPECT_EQ(ReadAll(l).answer, -1);
  l = Layout{};
  l.largest = 0;
  EXPECT_EQ(ReadAll(l).answer, -1);
  l.largest = INT_MAX;  // never trusted beyond a raw block
  EXPECT_EQ(ReadAll(l).answer, 0);

  Layout many;
  many.descriptions = INT_MAX;
  EXPECT_EQ(Header(many), -1);
  EXPECT_EQ(ReadAll(many).answer, 0) << "the data reader stops at the pixel description";
  pictest::FileBuilder other;
  other.Description(7, 7, INT_MAX, 0);
  many.before = other.bytes;
  EXPECT_EQ(Header(many), -1);
  EXPECT_EQ(ReadAll(many).answer, -1);
  // The green block's length record says -8.
  Layout negative;
  Bytes file = keltest::ReadBytes(Build(negative));
  const size_t green = file.size() - 4 * 160;
  ASSERT_EQ(pictest::Get32(file, green), 8);
  file[green] = file[green + 1] = file[green + 2] = 0xFF, file[green + 3] = 0xF8;
  keltest::WriteBytes(keltest::OutputPath("negative.pic"), file);
  EXPECT_EQ(ReadWindow(keltest::OutputPath("negative.pic"), 1, 1, 4, 2).answer, -1);
}

Bytes Entry(int r, int g, int b) {
  return {0, static_cast<unsigned char>(b), static_cast<unsigned char>(g),
          static_cast<unsigned char>(r)};
}

TEST(PictureReader, OneComponentThroughTheColourTable) {
  Layout l;
  l.code = 20407;
  l.colours = 2;
  l.width = 8;
  l.largest = 16;
  // Index 200 lies past the two colours: black, never a read past the table.
  l.extra = {Cat({Entry(1, 2, 3), Entry(40, 50, 60)})};
  l.blockItems = {{1, 0, 1, 1, 6, 200, 8, 1}};
  const Bytes black(6, 0);
  EXPECT_EQ(ReadAll(l).planes, Cat({{1, 40},
                                    black,
                                    Bytes(8, 40),
                                    {2, 50},
                                    black,
                                    Bytes(8, 50),
                                    {3, 60},
                                    black,
                                    Bytes(8, 60)}));
  // A table longer than its count: the extra colour is not used.
  l.width = 4, l.largest = 8;
  l.extra = {Cat({Entry(1, 2, 3), Entry(40, 50, 60), Entry(9, 9, 9)})};
  l.blockItems = {{4, 2, 4, 1}};
  testing::internal::CaptureStdout();
  const Read r = ReadAll(l);
  EXPECT_NE(
      testing::internal::GetCapturedStdout().find(" Mirka_picture : incoherence in color table \n"),
      std::string::npos);
  EXPECT_EQ(r.planes,
            Cat({Bytes(4, 0), Bytes(4, 40), Bytes(4, 0), Bytes(4, 50), Bytes(4, 0), Bytes(4, 60)}));
  // A count far beyond the item and the 8-bit range, or below zero.
  l.colours = INT_MAX;
  l.extra = {Entry(1, 2, 3)};
  l.blockItems = {{4, 2, 4, 0}};
  EXPECT_EQ(ReadAll(l).planes,
            Cat({Bytes(4, 0), Bytes(4, 1), Bytes(4, 0), Bytes(4, 2), Bytes(4, 0), Bytes(4, 3)}));
  l.colours = -1;
  EXPECT_EQ(ReadAll(l).answer, -1);
  // 16-bit indices, big-endian, in (count, high, low) runs.
  Layout deep;
  deep.code = 20508;
  deep.height = 1, deep.colours = 2, deep.width = 8, deep.largest = 16;
  deep.extra = {Cat({Entry(1, 2, 3), Entry(40, 50, 60)})};
  deep.blockItems = {{1, 0, 1, 2, 0xFF, 0xFF, 5, 0, 0}};
  EXPECT_EQ(ReadAll(deep).planes,
            Cat({{40, 0, 0, 1, 1, 1, 1, 1}, {50, 0, 0, 2, 2, 2, 2, 2}, {60, 0, 0, 3, 3, 3, 3, 3}}));
}

TEST(PictureReader, PixelImagesTurnTheLinesOverAndReportFailures) {
  // The first line of the file becomes the last stored row.
  std::unique_ptr<KelPixelImage> image(ReadPicturePixelImage(Build(Layout{}).c_str(), ReadOnly));
  ASSERT_TRUE(image);
  EXPECT_EQ(keltest::ImagePixels(*image), (Bytes{20, 5, 9, 20, 6, 9, 20, 7, 9, 20, 8, 9,
                                                 10, 1, 7, 10, 2, 7, 10, 3, 8, 10, 4, 8}));
  EXPECT_FALSE(image->GetPixelsToModify());
  auto failure = [](const std::string& path) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(std::unique_ptr<KelPixelImage>(ReadPicturePixelImage(path.c_str(), ReadWrite)),
              nullptr);
    return testing::internal::GetCapturedStderr();
  };
  EXPECT_EQ(failure(keltest::OutputPath("missing.pic")),
            "Error: RC when reading Picture Header is = -5\n");
  Layout bad;
  bad.blockItems[0] = {0, 5, 8, 5};
  EXPECT_EQ(failure(Build(bad)), "Error : RC when reading Picture file is = -3\n");
  // Headers whose image cannot exist, or cannot be in so small a file: refused
  // before the buffer is allocated.
  Layout huge;
  huge.width = huge.largest = 262144;
  huge.height = 9000;
  EXPECT_EQ(failure(Build(huge)), "Error: RC when reading Picture Header is = -11\n");
  huge.height = 2000;
  EXPECT_EQ(failure(Build(huge)), "Error : RC when reading Picture file is = -1\n");
}

// The reader's crash inputs: each must read without a fault.
TEST(PictureReader, RegressionInputs) {
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
    if (ripicrhd(path.c_str(), &code, size) != 0 || size[0] < 1 || size[1] < 1 ||
        1LL * size[0] * size[1] > (1 << 22))
      continue;
    EXPECT_LE(ReadWindow(path, 1, 1, size[0], size[1]).answer, 0) << name;
  }
  closedir(d);
  EXPECT_GT(files, 0);
}

}  // namespace
