#include <kel/images/KelPixelImage.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using V = std::vector<unsigned char>;
using Image = std::unique_ptr<KelPixelImage>;

V Bytes(const KelPixelImage* image) {
  int w, h;
  image->GetSize(w, h);
  const size_t n = static_cast<size_t>(w) * h * KelPixelImage::BytesPerPixel(image->GetFormat());
  const unsigned char* p = image->GetPixelsToRead();
  return p ? V(p, p + n) : V();
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

void ExpectEmpty(const KelPixelImage* image) {
  ASSERT_NE(image, nullptr);
  int w = -1, h = -1;
  image->GetSize(w, h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(image->GetPixelsToRead(), nullptr);
}

}  // namespace

TEST(KelPixelImage, SizesOutsideTheIntRangeGiveAnEmptyImage) {
  ExpectEmpty(Image(new KelPixelImage(70000, 70000, PixelImageRGB)).get());
  ExpectEmpty(Image(new KelPixelImage(0, 5, PixelImageRGB)).get());
  ExpectEmpty(Image(new KelPixelImage(-3, 5, PixelImageOneByte)).get());
}

TEST(KelPixelImage, ChangeFormatBetweenRGBAndRGBA) {
  auto image = Make(2, 1, PixelImageRGB, {1, 2, 3, 4, 5, 6});
  const unsigned char* before = image->GetPixelsToRead();
  EXPECT_EQ(image->ChangeFormat(PixelImageRGB), 0);
  EXPECT_EQ(image->GetPixelsToRead(), before);
  EXPECT_EQ(image->ChangeFormat(PixelImageOneByte), 20);
  EXPECT_EQ(image->ChangeFormat(PixelImageRGBA), 0);
  EXPECT_EQ(Bytes(image), (V{1, 2, 3, 255, 4, 5, 6, 255}));
  image->GetPixelsToModify()[3] = 9;
  EXPECT_EQ(image->ChangeFormat(PixelImageRGB), 0);
  EXPECT_EQ(Bytes(image), (V{1, 2, 3, 4, 5, 6}));
}

TEST(KelPixelImage, ReadOnlyImageRefusesChanges) {
  auto image = Make(1, 2, PixelImageRGB, {1, 2, 3, 4, 5, 6});
  image->SetXPixelSize(0.5f);
  image->LockAsReadOnly();
  EXPECT_EQ(image->GetPixelsToModify(), nullptr);
  EXPECT_EQ(image->ChangeFormat(PixelImageRGBA), 10);
  EXPECT_EQ(image->InvertLineProgression(), 10);
  unsigned char other[3] = {0, 0, 0};
  EXPECT_EQ(image->Modify(1, 1, PixelImageRGB, other), 10);
  EXPECT_EQ(Bytes(image), (V{1, 2, 3, 4, 5, 6}));
  // A duplicate is an owned, modifiable copy.
  Image copy(image->Duplicate());
  EXPECT_NE(copy->GetPixelsToModify(), nullptr);
  EXPECT_EQ(Bytes(copy), (V{1, 2, 3, 4, 5, 6}));
  EXPECT_FLOAT_EQ(copy->GetXPixelSize(), 0.5f);
}

TEST(KelPixelImage, InvertLineProgressionReversesRowsAndSkipsEmptyImages) {
  auto image = Make(2, 3, PixelImageOneByte, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(image->InvertLineProgression(), 0);
  EXPECT_EQ(Bytes(image), (V{5, 6, 3, 4, 1, 2}));
  KelPixelImage empty(0, 0, PixelImageRGB);
  EXPECT_EQ(empty.InvertLineProgression(), 0);
  ExpectEmpty(&empty);
}

TEST(KelPixelImage, ModifyAdoptsTheCallersBuffer) {
  auto image = Make(1, 1, PixelImageRGB, {1, 2, 3});
  image->SetXPixelSize(1.5f);
  V mine = {9, 8, 7, 6};
  EXPECT_EQ(image->Modify(2, 1, PixelImageTwoBytes, mine.data()), 0);
  EXPECT_EQ(image->GetPixelsToRead(), mine.data());
  EXPECT_FLOAT_EQ(image->GetXPixelSize(), 0.278f);
  EXPECT_EQ(Bytes(image), mine);
  image.reset();  // must not free the caller's buffer
  EXPECT_EQ(mine[0], 9);
}

TEST(KelPixelImage, CopySharesOnlyReadOnlyExternalBuffers) {
  unsigned char pixels[6] = {1, 2, 3, 4, 5, 6};
  KelPixelImage external(2, 1, PixelImageRGB, pixels);
  KelPixelImage owned(external);
  EXPECT_NE(owned.GetPixelsToRead(), pixels);
  EXPECT_EQ(Bytes(&owned), (V{1, 2, 3, 4, 5, 6}));
  external.LockAsReadOnly();
  KelPixelImage shared(external);
  EXPECT_EQ(shared.GetPixelsToRead(), pixels);
  EXPECT_EQ(shared.GetPixelsToModify(), nullptr);
  KelPixelImage assigned(1, 1, PixelImageRGB);
  assigned = external;
  KelPixelImage& same = assigned;
  assigned = same;
  EXPECT_EQ(assigned.GetPixelsToRead(), pixels);
}

TEST(KelPixelImage, SecondaryPixelsInOtherByteAndRowOrders) {
  auto image = Make(1, 2, PixelImageRGB, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(image->GetSecondaryPixelsToRead(SecondaryRGB, LineProgressionStored),
            image->GetPixelsToRead());
  const unsigned char* abgr =
      image->GetSecondaryPixelsToRead(SecondaryABGR, LineProgressionInverted);
  EXPECT_EQ(V(abgr, abgr + 8), (V{255, 6, 5, 4, 255, 3, 2, 1}));
  EXPECT_EQ(image->GetSecondaryPixelsToRead(SecondaryABGR, LineProgressionInverted), abgr);
  EXPECT_EQ(Secondary(*image, SecondaryARGB, LineProgressionStored, 8),
            (V{255, 1, 2, 3, 255, 4, 5, 6}));
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

TEST(KelPixelImage, SubImageInsideTheImageOnly) {
  auto image = Make(3, 2, PixelImageOneByte, {0, 1, 2, 3, 4, 5});
  image->SetYPixelSize(2.0f);
  Image sub(image->CreateSubImage(1, 0, 3, 2));
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(Bytes(sub), (V{1, 2, 4, 5}));
  EXPECT_FLOAT_EQ(sub->GetYPixelSize(), 2.0f);
  EXPECT_EQ(image->CreateSubImage(0, 0, 4, 2), nullptr);
  EXPECT_EQ(image->CreateSubImage(2, 0, 2, 1), nullptr);
  EXPECT_EQ(image->CreateSubImage(-1, 0, 2, 1), nullptr);
  EXPECT_EQ(image->CreateSubImage(0, 1, 3, 3), nullptr);
}

TEST(KelPixelImage, Zoom) {
  // Averaging: rows with integer division, then columns; 0.5-centred maps pick
  // source indices 1 and 3, closing the 2 x 2 blocks.
  auto image =
      Make(4, 4, PixelImageOneByte, {0, 1, 2, 3, 4, 5, 6, 7, 10, 20, 30, 40, 50, 60, 70, 80});
  EXPECT_EQ(Bytes(Image(image->CreateZoomedImage(2, 2, 2))), (V{2, 4, 35, 55}));
  EXPECT_EQ(Bytes(Image(image->CreateZoomedImage(0.5f, 2))), (V{2, 4, 35, 55}));
  auto rgb = Make(2, 2, PixelImageRGB, {10, 0, 100, 20, 0, 101, 30, 255, 102, 41, 255, 103});
  EXPECT_EQ(Bytes(Image(rgb->CreateZoomedImage(1, 1, 2))), (V{25, 127, 101}));

  // Sampling, also when enlarging with quality 2.
  auto two = Make(2, 1, PixelImageOneByte, {7, 9});
  for (int quality : {1, 2})
    EXPECT_EQ(Bytes(Image(two->CreateZoomedImage(4, 2, quality))), (V{7, 7, 9, 9, 7, 7, 9, 9}));
  auto three = Make(3, 1, PixelImageOneByte, {1, 2, 3});
  EXPECT_EQ(Bytes(Image(three->CreateZoomedImage(2, 1, 1))), (V{1, 3}));

  for (int quality : {1, 2}) {
    ExpectEmpty(Image(rgb->CreateZoomedImage(0, 2, quality)).get());
    ExpectEmpty(Image(rgb->CreateZoomedImage(3, -4, quality)).get());
    ExpectEmpty(Image(rgb->CreateZoomedImage(std::nanf(""), quality)).get());
    ExpectEmpty(Image(rgb->CreateZoomedImage(-1.0f, quality)).get());
  }
}

TEST(KelPixelImage, QuarterTurns) {
  auto image = Make(3, 2, PixelImageOneByte, {1, 2, 3, 4, 5, 6});
  image->SetXPixelSize(3.0f);
  EXPECT_EQ(image->CreateRotatedImage(45), nullptr);
  Image r90(image->CreateRotatedImage(90));
  int w, h;
  r90->GetSize(w, h);
  EXPECT_EQ(w * 10 + h, 23);
  EXPECT_EQ(Bytes(r90), (V{4, 1, 5, 2, 6, 3}));
  EXPECT_FLOAT_EQ(r90->GetXPixelSize(), 0.278f);
  EXPECT_EQ(Bytes(Image(image->CreateRotatedImage(180))), (V{6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(Bytes(Image(image->CreateRotatedImage(270))), (V{3, 6, 2, 5, 1, 4}));
  auto rgb = Make(2, 1, PixelImageRGB, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(Bytes(Image(rgb->CreateRotatedImage(90))), (V{1, 2, 3, 4, 5, 6}));
}
