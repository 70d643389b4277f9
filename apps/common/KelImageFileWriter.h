// Writes a pixel image into a file as PNG, TIFF, SGI RGB or the picture
// format, chosen by name or by the extension of the file's name.
//
// Where the image goes:
// - a regular file (or a new one): written to a temporary file beside it,
//   synced, and renamed over it once complete, so that a failed write never
//   leaves a truncated picture nor destroys the file that was there; a file
//   that was there keeps its permissions;
// - through symbolic links: the same, onto the file the links lead to (the
//   links stay);
// - "-" (the standard output), a device or a FIFO: written straight into it,
//   never replaced; the picture is made in a private temporary file first, as
//   some formats are written with seeks.
// Every failure message names the path and the system's reason.
#pragma once

#include <string>

class KelPixelImage;

class KelImageFileWriter {
 public:
  enum Format { UNKNOWN, PNG, TIFF, SGI, PICTURE };

  // From the extension, in any case; UNKNOWN for anything else.
  static Format FormatOf(const std::string& path);
  // "png", "tif", "tiff", "rgb", "sgi" or "pic", in any case; UNKNOWN else.
  static Format FormatNamed(const std::string& name);
  static const char* FormatName(Format format);

  // UNKNOWN: the format follows the extension, and is PNG for the standard
  // output and for a device or FIFO whose name has none.
  explicit KelImageFileWriter(const std::string& path, Format format = UNKNOWN);
  // Removes the temporary file of an unfinished write.
  ~KelImageFileWriter();
  KelImageFileWriter(const KelImageFileWriter&) = delete;
  KelImageFileWriter& operator=(const KelImageFileWriter&) = delete;

  // Chooses the format, follows the links and creates the temporary file, so
  // that an unwritable output is known before any work is done. False with a
  // message in `error`.
  bool Open(std::string& error);
  // Writes the RGB image (rows bottom first) and puts the result in place.
  // False with a message in `error`; Open must have succeeded.
  bool Write(KelPixelImage& image, std::string& error);

  Format GetFormat() const { return _format; }
  // The file written after links are followed; "-" for the standard output.
  const std::string& GetTarget() const { return _target; }

 private:
  std::string Failure(const std::string& why) const;
  bool Encode(KelPixelImage& image, std::string& why) const;
  bool Replace(std::string& why);
  bool CopyToTarget(std::string& why) const;

  std::string _path;
  std::string _target;
  std::string _temporary;
  Format _format = UNKNOWN;
  bool _direct = false;  // standard output, device or FIFO
};
