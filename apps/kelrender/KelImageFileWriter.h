// Writes a pixel image into a file whose format follows the extension of its
// name: PNG, TIFF, SGI RGB or the picture format.
//
// The image goes to a temporary file beside the target, renamed over it once
// complete: a failed write never leaves a truncated picture nor destroys the
// file that was there.
#pragma once

#include <string>

class KelPixelImage;

class KelImageFileWriter {
 public:
  enum Format { UNKNOWN, PNG, TIFF, SGI, PICTURE };

  // From the extension, in any case; UNKNOWN for anything else.
  static Format FormatOf(const std::string& path);
  static const char* FormatName(Format format);

  explicit KelImageFileWriter(const std::string& path);
  // Removes the temporary file of an unfinished write.
  ~KelImageFileWriter();
  KelImageFileWriter(const KelImageFileWriter&) = delete;
  KelImageFileWriter& operator=(const KelImageFileWriter&) = delete;

  // Checks the format and creates the temporary file, so that an unwritable
  // output is known before any work is done. False with a message in `error`.
  bool Open(std::string& error);
  // Writes the RGB image (rows bottom first) and renames the result onto the
  // target. False with a message in `error`; Open must have succeeded.
  bool Write(KelPixelImage& image, std::string& error);

  Format GetFormat() const { return _format; }

 private:
  bool WritePNG(const KelPixelImage& image, std::string& error) const;
  bool WritePicture(const KelPixelImage& image, std::string& error) const;

  std::string _path;
  std::string _temporary;
  Format _format = UNKNOWN;
};
