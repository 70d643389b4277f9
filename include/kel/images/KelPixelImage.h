// In-memory raster: width, height, pixel format and a tightly packed byte
// buffer that the image owns or borrows from the caller. The first stored row is
// the bottom row of the picture.
#pragma once

#include <kel/framework/KelExtendable.h>

#include <memory>

// Bytes per pixel: 1, 2, 3 (R,G,B), 4 (R,G,B,A).
enum PixelImageFormat : int {
  PixelImageOneByte = 0,
  PixelImageTwoBytes = 1,
  PixelImageRGB = 2,
  PixelImageRGBA = 3
};

// Byte order of the cached converted copy.
enum SecondaryPixelImageFormat : int {
  SecondaryRGB = 0,
  SecondaryRGBA = 1,
  SecondaryABGR = 2,
  SecondaryARGB = 3
};

enum LineProgression : int { LineProgressionStored = 0, LineProgressionInverted = 1 };

// Argument of the readers: 1 locks the image read; any other value leaves it modifiable.
enum ReadOnlyState : int { ReadWrite = 0, ReadOnly = 1 };

// Argument of the writers: only 0 is supported.
enum CodingFormat : int { CodingNone = 0 };

class KelPixelImage : public KelExtendable {
 public:
  // Wraps the caller's buffer: external, never freed by the image.
  KelPixelImage(const int width, const int height, const PixelImageFormat format,
                unsigned char* pixels);
  // Allocates width x height x bytes-per-pixel bytes, contents undefined. A size
  // that is not positive or passes the int range (or an allocation failure)
  // gives an empty image: 0 x 0, size 0, no buffer.
  KelPixelImage(const int width, const int height, const PixelImageFormat format);
  KelPixelImage(const KelPixelImage& other);
  KelPixelImage& operator=(const KelPixelImage& other);
  ~KelPixelImage() override;

  KEL_DECLARE_META(KelPixelImage);

  virtual void GetSize(int& width, int& height) const;
  virtual PixelImageFormat GetFormat() const;
  virtual const unsigned char* GetPixelsToRead() const;
  // Null when read-only; otherwise drops the cached secondary copy.
  virtual unsigned char* GetPixelsToModify();
  // A read-only view in another byte order and row order, cached until the
  // buffer may change. Null for formats 0 and 1 and for an empty image.
  virtual const unsigned char* GetSecondaryPixelsToRead(const SecondaryPixelImageFormat format,
                                                        const LineProgression progression);
  virtual float GetXPixelSize() const;
  virtual float GetYPixelSize() const;
  virtual void LockAsReadOnly();
  virtual KelPixelImage* Duplicate() const;
  // 0 done, 10 read-only, 20 conversion not supported (only RGB <-> RGBA).
  virtual int ChangeFormat(const PixelImageFormat format);
  // Reverses the row order. 0 done, 10 read-only.
  virtual int InvertLineProgression();
  // Adopts the caller's buffer as external. 0 done, 10 read-only.
  virtual int Modify(const int width, const int height, const PixelImageFormat format,
                     unsigned char* pixels);
  // Columns x1..x2-1 of rows y1..y2-1; null unless 0 <= x1 < x2 <= width and
  // 0 <= y1 < y2 <= height.
  virtual KelPixelImage* CreateSubImage(const int x1, const int y1, const int x2,
                                        const int y2) const;
  // Quality 2 averages (reductions only), any other value samples. A size that
  // is not positive gives an empty image.
  virtual KelPixelImage* CreateZoomedImage(const int newWidth, const int newHeight,
                                           int quality) const;
  virtual KelPixelImage* CreateZoomedImage(const float factor, int quality) const;
  // 90, 180 or 270 degrees; null for any other angle.
  virtual KelPixelImage* CreateRotatedImage(const int angle) const;
  virtual void SetXPixelSize(float size);
  virtual void SetYPixelSize(float size);

  // Bytes per pixel of a format, 0 for an unknown one.
  static int BytesPerPixel(const PixelImageFormat format);

 private:
  void SetUp(int width, int height, PixelImageFormat format);
  void ReleaseBuffer();
  void CopyFrom(const KelPixelImage& other);
  KelPixelImage* SampledZoom(int newWidth, int newHeight) const;
  KelPixelImage* AveragedZoom(int newWidth, int newHeight) const;

  int _width = 0;
  int _height = 0;
  int _size = 0;
  PixelImageFormat _format = PixelImageRGB;
  unsigned char* _pixels = nullptr;
  int _modifiable = 1;
  int _external = 0;
  float _xPixelSize = 0.278f;
  float _yPixelSize = 0.278f;
  std::unique_ptr<KelPixelImage> _secondaryImage;
  int _secondaryLineProgression = 0;
  int _secondaryFormat = 0;
};
