#include "KelImageFileWriter.h"

#include <kel/images/KelPixelImage.h>
#include <kel/images/WriteRGBPixelImage.h>
#include <kel/images/WriteTIFFPixelImage.h>
#include <kel/images/ripicwdt.h>

#include <png.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

std::string Extension(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  const std::string::size_type dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

std::string Directory(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// libpng reports errors through a long jump back into the writer.
void PngError(png_structp png, png_const_charp message) {
  auto* text = static_cast<std::string*>(png_get_error_ptr(png));
  if (text) *text = message ? message : "unknown libpng error";
  png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

// The library's writers answer a code; say what it means.
std::string TiffMessage(int code) {
  switch (code) {
    case 5:
      return "out of memory";
    case 9:
      return "not an RGB image";
    case 1001:
      return "the file cannot be created";
    case 1002:
    case 1003:
      return "the file could not be written whole";
    default:
      return "TIFF writer code " + std::to_string(code);
  }
}
std::string RgbMessage(int code) {
  switch (code) {
    case 1:
      return "the file cannot be created";
    case 2:
      return "the file could not be written whole";
    case 9:
      return "not an RGB image of at most 65535 x 65535 pixels";
    default:
      return "SGI RGB writer code " + std::to_string(code);
  }
}
std::string PictureMessage(int code) {
  switch (code) {
    case -1:
      return "the file could not be written whole";
    case -5:
      return "the file cannot be created";
    case -11:
      return "the image is too wide for the picture format";
    default:
      return "picture writer code " + std::to_string(code);
  }
}

}  // namespace

KelImageFileWriter::Format KelImageFileWriter::FormatOf(const std::string& path) {
  const std::string ext = Extension(path);
  if (ext == "png") return PNG;
  if (ext == "tif" || ext == "tiff") return TIFF;
  if (ext == "rgb" || ext == "sgi") return SGI;
  if (ext == "pic") return PICTURE;
  return UNKNOWN;
}

const char* KelImageFileWriter::FormatName(Format format) {
  switch (format) {
    case PNG:
      return "PNG";
    case TIFF:
      return "TIFF";
    case SGI:
      return "SGI RGB";
    case PICTURE:
      return "picture";
    default:
      return "unknown";
  }
}

KelImageFileWriter::KelImageFileWriter(const std::string& path)
    : _path(path), _format(FormatOf(path)) {}

KelImageFileWriter::~KelImageFileWriter() {
  if (!_temporary.empty()) ::unlink(_temporary.c_str());
}

bool KelImageFileWriter::Open(std::string& error) {
  if (_format == UNKNOWN) {
    error = "unknown image format for '" + _path + "': use .png, .tif, .tiff, .rgb, .sgi or .pic";
    return false;
  }
  struct stat st;
  if (::stat(_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    error = "cannot write '" + _path + "': it is a directory";
    return false;
  }
  std::string pattern = Directory(_path) + "/.kelrender-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = "cannot write '" + _path + "': " + std::strerror(errno);
    return false;
  }
  ::close(fd);
  _temporary = name.data();
  return true;
}

bool KelImageFileWriter::Write(KelPixelImage& image, std::string& error) {
  if (_temporary.empty()) {
    error = "cannot write '" + _path + "': not opened";
    return false;
  }
  std::string why;
  bool done = false;
  switch (_format) {
    case PNG:
      done = WritePNG(image, why);
      break;
    case TIFF: {
      const int rc = WriteTIFFPixelImage(&image, _temporary.c_str(), CodingNone);
      done = rc == 0;
      if (!done) why = TiffMessage(rc);
      break;
    }
    case SGI: {
      const int rc = WriteRGBPixelImage(&image, _temporary.c_str(), CodingNone);
      done = rc == 0;
      if (!done) why = RgbMessage(rc);
      break;
    }
    case PICTURE:
      done = WritePicture(image, why);
      break;
    default:
      why = "unknown image format";
  }
  if (!done) {
    error = "cannot write '" + _path + "': " + why;
    return false;
  }
  // mkstemp made the file private; give it the permissions a new file gets.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::chmod(_temporary.c_str(), 0666 & ~mask);
  if (std::rename(_temporary.c_str(), _path.c_str()) != 0) {
    error = "cannot write '" + _path + "': " + std::strerror(errno);
    return false;
  }
  _temporary.clear();
  return true;
}

bool KelImageFileWriter::WritePNG(const KelPixelImage& image, std::string& error) const {
  int width = 0, height = 0;
  image.GetSize(width, height);
  const unsigned char* pixels = image.GetPixelsToRead();
  if (image.GetFormat() != PixelImageRGB || !pixels || width <= 0 || height <= 0) {
    error = "not an RGB image";
    return false;
  }
  // Rows top first, as PNG stores them.
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  const size_t stride = 3 * static_cast<size_t>(width);
  for (int y = 0; y < height; ++y)
    rows[static_cast<size_t>(y)] =
        const_cast<png_bytep>(pixels + stride * static_cast<size_t>(height - 1 - y));

  FILE* file = std::fopen(_temporary.c_str(), "wb");
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  std::string pngError;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &pngError, PngError, PngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    error = "out of memory";
    return false;
  }
  // Nothing with a destructor is created between here and the jump back.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    error = pngError.empty() ? "libpng failed" : pngError;
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  // A full disk often shows only when the buffered data is flushed.
  const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
  const int savedErrno = errno;
  if (std::fclose(file) != 0 || !flushed) {
    error = std::strerror(flushed ? errno : savedErrno);
    return false;
  }
  return true;
}

bool KelImageFileWriter::WritePicture(const KelPixelImage& image, std::string& error) const {
  int width = 0, height = 0;
  image.GetSize(width, height);
  const unsigned char* pixels = image.GetPixelsToRead();
  if (image.GetFormat() != PixelImageRGB || !pixels || width <= 0 || height <= 0) {
    error = "not an RGB image";
    return false;
  }
  // Three planes, red, green then blue, lines from the top.
  const size_t plane = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<unsigned char> planes;
  try {
    planes.resize(3 * plane);
  } catch (const std::bad_alloc&) {
    error = "out of memory";
    return false;
  }
  for (int y = 0; y < height; ++y) {
    const unsigned char* row =
        pixels + 3 * static_cast<size_t>(width) * static_cast<size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c)
        planes[c * plane + static_cast<size_t>(y) * width + x] = row[3 * x + c];
  }
  int code = 1;
  int size[2] = {width, height};
  const int rc = ripicwdt(_temporary.c_str(), &code, size, planes.data());
  if (rc != 0) {
    error = PictureMessage(rc);
    return false;
  }
  return true;
}
