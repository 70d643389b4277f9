#include <kel/images/KelPixelImage.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using V = std::vector<unsigned char>;
using Image = std::unique_ptr<KelPixelImage>;

// The pixels of an image, or "empty" for an image without any.
V Bytes(const KelPixelImage* image) {
  int w = -1, h = -1;
  image->GetSize(w, h);
  const unsigned char* p = image->GetPixelsToRead();
  if (!p) return w == 0 && h == 0 ? V() : V{0xEE};
  return V(p, p + size_t(w) * h * KelPixelImage::BytesPerPixel(image->GetFormat()));
}
V Bytes(const Image& image) {
  return Bytes(image.get());
}
Image Make(int w, int h, PixelImageFormat f, V v) {
  auto image = std::make_unique<KelPixelImage>(w, h, f);
  std::memcpy(image->GetPixelsToModify(), v.data(), v.size());
  return image;
}
V Secondary(KelPixelImage& image, SecondaryPixelImageFormat f, LineProgression l, size_t n) {
  const unsigned char* p = image.GetSecondaryPixelsToRead(f, l);
  return p ? V(p, p + n) : V();
}

TEST(KelPixelImage, FormatsRowsAndTheReadOnlyLock) {
  // Sizes outside the int range give an empty image.
  for (auto [w, h] : {std::pair{70000, 70000}, {0, 5}, {-3, 5}})
    EXPECT_EQ(Bytes(Image(new KelPixelImage(w, h, PixelImageRGB))), V());
  auto image = Make(2, 1, PixelImageRGB, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(image->ChangeFormat(PixelImageOneByte), 20);
  EXPECT_EQ(image->ChangeFormat(PixelImageRGBA), 0);
  EXPECT_EQ(Bytes(image), (V{1, 2, 3, 255, 4, 5, 6, 255}));
  EXPECT_EQ(image->ChangeFormat(PixelImageRGB), 0);
  EXPECT_EQ(Bytes(image), (V{1, 2, 3, 4, 5, 6}));
  auto rows = Make(2, 3, PixelImageOneByte, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(rows->InvertLineProgression(), 0);
  EXPECT_EQ(Bytes(rows), (V{5, 6, 3, 4, 1, 2}));

  image->LockAsReadOnly();
  unsigned char other[3] = {0, 0, 0};
  EXPECT_EQ(image->GetPixelsToModify(), nullptr);
  EXPECT_EQ(image->ChangeFormat(PixelImageRGBA), 10);
  EXPECT_EQ(image->InvertLineProgression(), 10);
  EXPECT_EQ(image->Modify(1, 1, PixelImageRGB, other), 10);
  EXPECT_EQ(Bytes(image), (V{1, 2, 3, 4, 5, 6}));
  Image copy(image->Duplicate());  // owned and modifiable
  EXPECT_NE(copy->GetPixelsToModify(), nullptr);
  EXPECT_EQ(Bytes(copy), (V{1, 2, 3, 4, 5, 6}));
}

TEST(KelPixelImage, BuffersOfTheCallerAreNeverFreedNorSharedWritable) {
  auto image = Make(1, 1, PixelImageRGB, {1, 2, 3});
  V mine = {9, 8, 7, 6};
  EXPECT_EQ(image->Modify(2, 1, PixelImageTwoBytes, mine.data()), 0);
  EXPECT_EQ(image->GetPixelsToRead(), mine.data());
  image.reset();  // must not free the caller's buffer
  EXPECT_EQ(mine[0], 9);
  // A copy shares an outside buffer only when it is read-only.
  unsigned char pixels[6] = {1, 2, 3, 4, 5, 6};
  KelPixelImage external(2, 1, PixelImageRGB, pixels);
  EXPECT_NE(KelPixelImage(external).GetPixelsToRead(), pixels);
  external.LockAsReadOnly();
  KelPixelImage shared(external);
  EXPECT_EQ(shared.GetPixelsToRead(), pixels);
  EXPECT_EQ(shared.GetPixelsToModify(), nullptr);
}

TEST(KelPixelImage, SecondaryPixelsFollowEveryChange) {
  auto image = Make(1, 2, PixelImageRGB, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(image->GetSecondaryPixelsToRead(SecondaryRGB, LineProgressionStored),
            image->GetPixelsToRead());
  EXPECT_EQ(Secondary(*image, SecondaryABGR, LineProgressionInverted, 8),
            (V{255, 6, 5, 4, 255, 3, 2, 1}));
  EXPECT_EQ(Secondary(*image, SecondaryRGB, LineProgressionInverted, 6), (V{4, 5, 6, 1, 2, 3}));
  // Changing the pixels, the format or the whole image drops the cached copy.
  image->GetPixelsToModify()[0] = 7;
  EXPECT_EQ(Secondary(*image, SecondaryARGB, LineProgressionStored, 2), (V{255, 7}));
  auto rgba = Make(1, 1, PixelImageRGBA, {1, 2, 3, 7});
  EXPECT_EQ(Secondary(*rgba, SecondaryARGB, LineProgressionStored, 4), (V{7, 1, 2, 3}));
  ASSERT_EQ(rgba->ChangeFormat(PixelImageRGB), 0);
  EXPECT_EQ(Secondary(*rgba, SecondaryARGB, LineProgressionStored, 4), (V{255, 1, 2, 3}));
  *rgba = *Make(1, 1, PixelImageRGB, {40, 50, 60});
  EXPECT_EQ(Secondary(*rgba, SecondaryARGB, LineProgressionStored, 4), (V{255, 40, 50, 60}));
  KelPixelImage grey(1, 1, PixelImageOneByte);
  EXPECT_EQ(grey.GetSecondaryPixelsToRead(SecondaryRGB, LineProgressionStored), nullptr);
}

TEST(KelPixelImage, SubImagesZoomsAndQuarterTurns) {
  auto image = Make(3, 2, PixelImageOneByte, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(Bytes(Image(image->CreateSubImage(1, 0, 3, 2))), (V{2, 3, 5, 6}));
  for (auto [x0, y0, x1, y1] : {std::array{0, 0, 4, 2}, {2, 0, 2, 1}, {-1, 0, 2, 1}, {0, 1, 3, 3}})
    EXPECT_EQ(image->CreateSubImage(x0, y0, x1, y1), nullptr);
  EXPECT_EQ(image->CreateRotatedImage(45), nullptr);
  EXPECT_EQ(Bytes(Image(image->CreateRotatedImage(90))), (V{4, 1, 5, 2, 6, 3}));
  EXPECT_EQ(Bytes(Image(image->CreateRotatedImage(180))), (V{6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(Bytes(Image(image->CreateRotatedImage(270))), (V{3, 6, 2, 5, 1, 4}));

  // Averaging: rows with integer division, then columns; 0.5-centred maps pick
  // source indices 1 and 3, closing the 2 x 2 blocks.
  auto big =
      Make(4, 4, PixelImageOneByte, {0, 1, 2, 3, 4, 5, 6, 7, 10, 20, 30, 40, 50, 60, 70, 80});
  EXPECT_EQ(Bytes(Image(big->CreateZoomedImage(2, 2, 2))), (V{2, 4, 35, 55}));
  EXPECT_EQ(Bytes(Image(big->CreateZoomedImage(0.5f, 2))), (V{2, 4, 35, 55}));
  auto rgb = Make(2, 2, PixelImageRGB, {10, 0, 100, 20, 0, 101, 30, 255, 102, 41, 255, 103});
  EXPECT_EQ(Bytes(Image(rgb->CreateZoomedImage(1, 1, 2))), (V{25, 127, 101}));
  // Sampling, also when enlarging with quality 2.
  auto two = Make(2, 1, PixelImageOneByte, {7, 9});
  for (int quality : {1, 2})
    EXPECT_EQ(Bytes(Image(two->CreateZoomedImage(4, 2, quality))), (V{7, 7, 9, 9, 7, 7, 9, 9}));
  // 3 x 2 to 2 x 1: columns (i + 0.5) 1.5 = 0 and 2 of row (0 + 0.5) 2 = 1.
  EXPECT_EQ(Bytes(Image(image->CreateZoomedImage(2, 1, 1))), (V{4, 6}));
  for (int quality : {1, 2}) {
    EXPECT_EQ(Bytes(Image(rgb->CreateZoomedImage(3, -4, quality))), V());
    EXPECT_EQ(Bytes(Image(rgb->CreateZoomedImage(std::nanf(""), quality))), V());
  }
}

}  // namespace
