#include <kel/images/KelPixelImage.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(const KelPixelImage& image) {
  int w, h;
  image.GetSize(w, h);
  const size_t n = static_cast<size_t>(w) * h * KelPixelImage::BytesPerPixel(image.GetFormat());
  const unsigned char* p = image.GetPixelsToRead();
  return p ? std::vector<unsigned char>(p, p + n) : std::vector<unsigned char>();
}

std::unique_ptr<KelPixelImage> Make(int w, int h, PixelImageFormat f,
                                    std::vector<unsigned char> v) {
  auto image = std::make_unique<KelPixelImage>(w, h, f);
  std::memcpy(image->GetPixelsToModify(), v.data(), v.size());
  return image;
}

void ExpectEmpty(const KelPixelImage* image) {
  ASSERT_NE(image, nullptr);
  int w = -1, h = -1;
  image->GetSize(w, h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(image->GetPixelsToRead(), nullptr);
}

using V = std::vector<unsigned char>;

}  // namespace

TEST(KelPixelImage, MetaObjectAndDefaults) {
  KelPixelImage image(2, 3, PixelImageRGBA);
  EXPECT_STREQ(image.IsA(), "KelPixelImage");
  EXPECT_TRUE(image.IsAKindOf("KelPixelImage"));
  EXPECT_EQ(KelPixelImage::CreateItself(), nullptr);
  EXPECT_FLOAT_EQ(image.GetXPixelSize(), 0.278f);
  EXPECT_FLOAT_EQ(image.GetYPixelSize(), 0.278f);
  EXPECT_NE(image.GetPixelsToRead(), nullptr);
}

TEST(KelPixelImage, SizesOutsideTheIntRangeGiveAnEmptyImage) {
  ExpectEmpty(std::make_unique<KelPixelImage>(70000, 70000, PixelImageRGB).get());
  ExpectEmpty(std::make_unique<KelPixelImage>(0, 5, PixelImageRGB).get());
  ExpectEmpty(std::make_unique<KelPixelImage>(-3, 5, PixelImageOneByte).get());
}

TEST(KelPixelImage, ChangeFormatBetweenRGBAndRGBA) {
  auto image = Make(2, 1, PixelImageRGB, {1, 2, 3, 4, 5, 6});
  const unsigned char* before = image->GetPixelsToRead();
  EXPECT_EQ(image->ChangeFormat(PixelImageRGB), 0);
  EXPECT_EQ(image->GetPixelsToRead(), before);
  EXPECT_EQ(image->ChangeFormat(PixelImageOneByte), 20);
  EXPECT_EQ(image->ChangeFormat(PixelImageRGBA), 0);
  EXPECT_EQ(Bytes(*image), (V{1, 2, 3, 255, 4, 5, 6, 255}));
  image->GetPixelsToModify()[3] = 9;
  EXPECT_EQ(image->ChangeFormat(PixelImageRGB), 0);
  EXPECT_EQ(Bytes(*image), (V{1, 2, 3, 4, 5, 6}));
}

TEST(KelPixelImage, ReadOnlyImageRefusesChanges) {
  auto image = Make(1, 2, PixelImageRGB, {1, 2, 3, 4, 5, 6});
  image->LockAsReadOnly();
  EXPECT_EQ(image->GetPixelsToModify(), nullptr);
  EXPECT_EQ(image->ChangeFormat(PixelImageRGBA), 10);
  EXPECT_EQ(image->InvertLineProgression(), 10);
  unsigned char other[3] = {0, 0, 0};
  EXPECT_EQ(image->Modify(1, 1, PixelImageRGB, other), 10);
  EXPECT_EQ(Bytes(*image), (V{1, 2, 3, 4, 5, 6}));
}

TEST(KelPixelImage, InvertLineProgressionReversesRowsAndSkipsEmptyImages) {
  auto image = Make(2, 3, PixelImageOneByte, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(image->InvertLineProgression(), 0);
  EXPECT_EQ(Bytes(*image), (V{5, 6, 3, 4, 1, 2}));
  KelPixelImage empty(0, 0, PixelImageRGB);
  EXPECT_EQ(empty.InvertLineProgression(), 0);
  ExpectEmpty(&empty);
}

TEST(KelPixelImage, ModifyAdoptsTheCallersBuffer) {
  auto image = Make(1, 1, PixelImageRGB, {1, 2, 3});
  image->SetXPixelSize(1.5f);
  std::vector<unsigned char> mine = {9, 8, 7, 6};
  EXPECT_EQ(image->Modify(2, 1, PixelImageTwoBytes, mine.data()), 0);
  EXPECT_EQ(image->GetPixelsToRead(), mine.data());
  EXPECT_FLOAT_EQ(image->GetXPixelSize(), 0.278f);
  int w, h;
  image->GetSize(w, h);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(image->GetFormat(), PixelImageTwoBytes);
  image.reset();  // must not free the caller's buffer
  EXPECT_EQ(mine[0], 9);
}

TEST(KelPixelImage, CopySharesOnlyReadOnlyExternalBuffers) {
  unsigned char pixels[6] = {1, 2, 3, 4, 5, 6};
  KelPixelImage external(2, 1, PixelImageRGB, pixels);
  KelPixelImage owned(external);
  EXPECT_NE(owned.GetPixelsToRead(), pixels);
  EXPECT_EQ(Bytes(owned), (V{1, 2, 3, 4, 5, 6}));
  external.LockAsReadOnly();
  KelPixelImage shared(external);
  EXPECT_EQ(shared.GetPixelsToRead(), pixels);
  EXPECT_EQ(shared.GetPixelsToModify(), nullptr);
  KelPixelImage assigned(1, 1, PixelImageRGB);
  assigned = external;
  EXPECT_EQ(assigned.GetPixelsToRead(), pixels);
  KelPixelImage& same = assigned;
  assigned = same;
  EXPECT_EQ(assigned.GetPixelsToRead(), pixels);
}

TEST(KelPixelImage, SecondaryPixelsInOtherByteAndRowOrders) {
  // Two rows of one pixel: stored row 0 is (1,2,3), row 1 is (4,5,6).
  auto image = Make(1, 2, PixelImageRGB, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(image->GetSecondaryPixelsToRead(SecondaryRGB, LineProgressionStored),
            image->GetPixelsToRead());
  const unsigned char* abgr =
      image->GetSecondaryPixelsToRead(SecondaryABGR, LineProgressionInverted);
  ASSERT_NE(abgr, nullptr);
  EXPECT_EQ(V(abgr, abgr + 8), (V{255, 6, 5, 4, 255, 3, 2, 1}));
  EXPECT_EQ(image->GetSecondaryPixelsToRead(SecondaryABGR, LineProgressionInverted), abgr);
  const unsigned char* argb = image->GetSecondaryPixelsToRead(SecondaryARGB, LineProgressionStored);
  EXPECT_EQ(V(argb, argb + 8), (V{255, 1, 2, 3, 255, 4, 5, 6}));
  const unsigned char* rgb = image->GetSecondaryPixelsToRead(SecondaryRGB, LineProgressionInverted);
  EXPECT_EQ(V(rgb, rgb + 6), (V{4, 5, 6, 1, 2, 3}));

  // Changing the pixels drops the cached copy.
  image->GetPixelsToModify()[0] = 7;
  argb = image->GetSecondaryPixelsToRead(SecondaryARGB, LineProgressionStored);
  EXPECT_EQ(argb[1], 7);

  KelPixelImage grey(1, 1, PixelImageOneByte);
  EXPECT_EQ(grey.GetSecondaryPixelsToRead(SecondaryRGB, LineProgressionStored), nullptr);
}

TEST(KelPixelImage, AssignmentAndChangeFormatDropTheStaleSecondaryCopy) {
  auto image = Make(1, 1, PixelImageRGBA, {1, 2, 3, 7});
  const unsigned char* argb = image->GetSecondaryPixelsToRead(SecondaryARGB, LineProgressionStored);
  EXPECT_EQ(V(argb, argb + 4), (V{7, 1, 2, 3}));
  ASSERT_EQ(image->ChangeFormat(PixelImageRGB), 0);
  argb = image->GetSecondaryPixelsToRead(SecondaryARGB, LineProgressionStored);
  EXPECT_EQ(V(argb, argb + 4), (V{255, 1, 2, 3}));

  auto other = Make(1, 1, PixelImageRGB, {40, 50, 60});
  *image = *other;
  argb = image->GetSecondaryPixelsToRead(SecondaryARGB, LineProgressionStored);
  EXPECT_EQ(V(argb, argb + 4), (V{255, 40, 50, 60}));
}

TEST(KelPixelImage, SubImageInsideTheImageOnly) {
  auto image = Make(3, 2, PixelImageOneByte, {0, 1, 2, 3, 4, 5});
  image->SetYPixelSize(2.0f);
  std::unique_ptr<KelPixelImage> sub(image->CreateSubImage(1, 0, 3, 2));
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(Bytes(*sub), (V{1, 2, 4, 5}));
  EXPECT_FLOAT_EQ(sub->GetYPixelSize(), 2.0f);
  EXPECT_EQ(image->CreateSubImage(0, 0, 4, 2), nullptr);
  EXPECT_EQ(image->CreateSubImage(2, 0, 2, 1), nullptr);
  EXPECT_EQ(image->CreateSubImage(-1, 0, 2, 1), nullptr);
  EXPECT_EQ(image->CreateSubImage(0, 1, 3, 3), nullptr);
}

TEST(KelPixelImage, AveragingZoomRowsFirstThenColumns) {
  // Rows are averaged with integer division, then columns: 0.5-centred maps
  // pick source indices 1 and 3, closing the 2 x 2 blocks.
  auto image =
      Make(4, 4, PixelImageOneByte, {0, 1, 2, 3, 4, 5, 6, 7, 10, 20, 30, 40, 50, 60, 70, 80});
  std::unique_ptr<KelPixelImage> zoom(image->CreateZoomedImage(2, 2, 2));
  EXPECT_EQ(Bytes(*zoom), (V{2, 4, 35, 55}));
  std::unique_ptr<KelPixelImage> byFactor(image->CreateZoomedImage(0.5f, 2));
  EXPECT_EQ(Bytes(*byFactor), (V{2, 4, 35, 55}));

  auto rgb = Make(2, 2, PixelImageRGB, {10, 0, 100, 20, 0, 101, 30, 255, 102, 41, 255, 103});
  std::unique_ptr<KelPixelImage> one(rgb->CreateZoomedImage(1, 1, 2));
  EXPECT_EQ(Bytes(*one), (V{25, 127, 101}));
}

TEST(KelPixelImage, SamplingZoom) {
  auto image = Make(2, 1, PixelImageOneByte, {7, 9});
  std::unique_ptr<KelPixelImage> up(image->CreateZoomedImage(4, 2, 1));
  EXPECT_EQ(Bytes(*up), (V{7, 7, 9, 9, 7, 7, 9, 9}));
  // Enlarging with quality 2 samples too.
  std::unique_ptr<KelPixelImage> up2(image->CreateZoomedImage(4, 2, 2));
  EXPECT_EQ(Bytes(*up2), Bytes(*up));
  auto three = Make(3, 1, PixelImageOneByte, {1, 2, 3});
  std::unique_ptr<KelPixelImage> down(three->CreateZoomedImage(2, 1, 1));
  EXPECT_EQ(Bytes(*down), (V{1, 3}));
  std::unique_ptr<KelPixelImage> same(three->CreateZoomedImage(3, 1, 1));
  EXPECT_EQ(Bytes(*same), (V{1, 2, 3}));
}

TEST(KelPixelImage, ZoomToNothingGivesAnEmptyImage) {
  auto image = Make(2, 2, PixelImageRGB, V(12, 1));
  for (int quality : {1, 2}) {
    std::unique_ptr<KelPixelImage> a(image->CreateZoomedImage(0, 2, quality));
    ExpectEmpty(a.get());
    std::unique_ptr<KelPixelImage> b(image->CreateZoomedImage(3, -4, quality));
    ExpectEmpty(b.get());
    std::unique_ptr<KelPixelImage> c(image->CreateZoomedImage(std::nanf(""), quality));
    ExpectEmpty(c.get());
    std::unique_ptr<KelPixelImage> d(image->CreateZoomedImage(-1.0f, quality));
    ExpectEmpty(d.get());
  }
}

TEST(KelPixelImage, QuarterTurns) {
  auto image = Make(3, 2, PixelImageOneByte, {1, 2, 3, 4, 5, 6});
  image->SetXPixelSize(3.0f);
  EXPECT_EQ(image->CreateRotatedImage(45), nullptr);
  std::unique_ptr<KelPixelImage> r90(image->CreateRotatedImage(90));
  int w, h;
  r90->GetSize(w, h);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 3);
  EXPECT_EQ(Bytes(*r90), (V{4, 1, 5, 2, 6, 3}));
  EXPECT_FLOAT_EQ(r90->GetXPixelSize(), 0.278f);
  std::unique_ptr<KelPixelImage> r180(image->CreateRotatedImage(180));
  EXPECT_EQ(Bytes(*r180), (V{6, 5, 4, 3, 2, 1}));
  std::unique_ptr<KelPixelImage> r270(image->CreateRotatedImage(270));
  EXPECT_EQ(Bytes(*r270), (V{3, 6, 2, 5, 1, 4}));

  auto rgb = Make(2, 1, PixelImageRGB, {1, 2, 3, 4, 5, 6});
  std::unique_ptr<KelPixelImage> turned(rgb->CreateRotatedImage(90));
  EXPECT_EQ(Bytes(*turned), (V{1, 2, 3, 4, 5, 6}));
}

TEST(KelPixelImage, DuplicateIsAnOwnedModifiableCopy) {
  auto image = Make(1, 1, PixelImageRGB, {1, 2, 3});
  image->SetXPixelSize(0.5f);
  image->LockAsReadOnly();
  std::unique_ptr<KelPixelImage> copy(image->Duplicate());
  EXPECT_NE(copy->GetPixelsToModify(), nullptr);
  EXPECT_EQ(Bytes(*copy), (V{1, 2, 3}));
  EXPECT_FLOAT_EQ(copy->GetXPixelSize(), 0.5f);
}
