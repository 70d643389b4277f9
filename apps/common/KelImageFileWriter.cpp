#include "KelImageFileWriter.h"

#include "KelAppText.h"

#include <kel/images/KelPixelImage.h>
#include <kel/images/WriteRGBPixelImage.h>
#include <kel/images/WriteTIFFPixelImage.h>
#include <kel/images/ripicwdt.h>

#include <png.h>

#include <fcntl.h>
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

using KelAppText::Extension;
using KelAppText::Lower;

std::string Directory(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file a chain of symbolic links leads to (the path itself when it is no
// link); false with errno set on a loop or an unreadable link.
bool FollowLinks(const std::string& path, std::string& target) {
  target = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = ::readlink(target.c_str(), buffer.data(), buffer.size());
    if (n < 0) return false;
    if (static_cast<size_t>(n) >= buffer.size()) {
      errno = ENAMETOOLONG;
      return false;
    }
    const std::string link(buffer.data(), static_cast<size_t>(n));
    target = link[0] == '/' ? link : Directory(target) + "/" + link;
  }
  errno = ELOOP;
  return false;
}

// The writers report failures by their errno when they leave one.
std::string WithReason(const std::string& what) {
  return errno != 0 ? what + ": " + std::strerror(errno) : what;
}

// libpng reports errors through a long jump back into the writer.
void PngError(png_structp png, png_const_charp message) {
  auto* text = static_cast<std::string*>(png_get_error_ptr(png));
  if (text) *text = message ? message : "unknown libpng error";
  png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

// The pixels of an RGB image, or null with the reason.
const unsigned char* RgbPixels(const KelPixelImage& image, int& width, int& height,
                               std::string& error) {
  image.GetSize(width, height);
  const unsigned char* pixels = image.GetPixelsToRead();
  if (image.GetFormat() == PixelImageRGB && pixels && width > 0 && height > 0) return pixels;
  error = "not an RGB image";
  return nullptr;
}

bool WritePNG(const KelPixelImage& image, const char* path, std::string& error) {
  int width = 0, height = 0;
  const unsigned char* pixels = RgbPixels(image, width, height, error);
  if (!pixels) return false;
  // Rows top first, as PNG stores them.
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  const size_t stride = 3 * static_cast<size_t>(width);
  for (int y = 0; y < height; ++y)
    rows[static_cast<size_t>(y)] =
        const_cast<png_bytep>(pixels + stride * static_cast<size_t>(height - 1 - y));

  FILE* file = std::fopen(path, "wb");
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
    const int savedErrno = errno;
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    errno = savedErrno;
    error = WithReason(pngError.empty() ? "libpng failed" : pngError);
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

bool WritePicture(const KelPixelImage& image, const char* path, std::string& error) {
  int width = 0, height = 0;
  const unsigned char* pixels = RgbPixels(image, width, height, error);
  if (!pixels) return false;
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
  errno = 0;
  switch (ripicwdt(path, &code, size, planes.data())) {
    case 0:
      return true;
    case -5:
      error = WithReason("the file cannot be created");
      return false;
    case -11:
      error = "the image is too wide for the picture format";
      return false;
    default:
      error = WithReason("the file could not be written whole");
      return false;
  }
}

// The library's writers answer a code; say what it means.
std::string TiffMessage(int code) {
  switch (code) {
    case 5:
      return "out of memory";
    case 9:
      return "not an RGB image";
    case 1001:
      return WithReason("the file cannot be created");
    case 1002:
    case 1003:
      return WithReason("the file could not be written whole");
    default:
      return "TIFF writer code " + std::to_string(code);
  }
}
std::string RgbMessage(int code) {
  switch (code) {
    case 1:
      return WithReason("the file cannot be created");
    case 2:
      return WithReason("the file could not be written whole");
    case 9:
      return "not an RGB image of at most 65535 x 65535 pixels";
    default:
      return "SGI RGB writer code " + std::to_string(code);
  }
}

}  // namespace

KelImageFileWriter::Format KelImageFileWriter::FormatOf(const std::string& path) {
  return FormatNamed(Extension(path));
}

KelImageFileWriter::Format KelImageFileWriter::FormatNamed(const std::string& name) {
  const std::string n = Lower(name);
  if (n == "png") return PNG;
  if (n == "tif" || n == "tiff") return TIFF;
  if (n == "rgb" || n == "sgi") return SGI;
  if (n == "pic") return PICTURE;
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

KelImageFileWriter::KelImageFileWriter(const std::string& path, Format format)
    : _path(path), _format(format) {}

KelImageFileWriter::~KelImageFileWriter() {
  if (!_temporary.empty()) ::unlink(_temporary.c_str());
}

std::string KelImageFileWriter::Failure(const std::string& why) const {
  std::string where = "'" + _path + "'";
  if (!_target.empty() && _target != _path) where += " (-> '" + _target + "')";
  return "cannot write " + where + ": " + why;
}

bool KelImageFileWriter::Open(std::string& error) {
  struct stat st;
  bool directory = false;
  if (_path == "-") {
    _target = "-";
    _direct = true;
  } else {
    if (!FollowLinks(_path, _target)) {
      error = Failure(std::strerror(errno));
      return false;
    }
    if (::stat(_target.c_str(), &st) == 0) {
      directory = S_ISDIR(st.st_mode);
      _direct = !directory && !S_ISREG(st.st_mode);
    }
  }
  if (_format == UNKNOWN) _format = FormatOf(_target == "-" ? _path : _target);
  if (_format == UNKNOWN && _direct && Extension(_target).empty()) _format = PNG;
  if (_format == UNKNOWN) {
    error = "unknown image format for '" + _path +
            "': use .png, .tif, .tiff, .rgb, .sgi or .pic, or --format";
    return false;
  }
  if (directory) {
    error = Failure("it is a directory");
    return false;
  }
  if (_direct && _target != "-" && ::access(_target.c_str(), W_OK) != 0) {
    error = Failure(std::strerror(errno));
    return false;
  }
  // Beside the target, so that the rename stays on its file system; in the
  // temporary directory when the target is only copied into.
  const char* tmp = std::getenv("TMPDIR");
  const std::string dir = _direct ? (tmp && *tmp ? tmp : "/tmp") : Directory(_target);
  std::string pattern = dir + "/.kelrender-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = Failure("cannot create a temporary file in '" + dir + "': " + std::strerror(errno));
    return false;
  }
  ::close(fd);
  _temporary = name.data();
  return true;
}

bool KelImageFileWriter::Encode(KelPixelImage& image, std::string& why) const {
  errno = 0;
  switch (_format) {
    case PNG:
      return WritePNG(image, _temporary.c_str(), why);
    case TIFF: {
      const int rc = WriteTIFFPixelImage(&image, _temporary.c_str(), CodingNone);
      if (rc != 0) why = TiffMessage(rc);
      return rc == 0;
    }
    case SGI: {
      const int rc = WriteRGBPixelImage(&image, _temporary.c_str(), CodingNone);
      if (rc != 0) why = RgbMessage(rc);
      return rc == 0;
    }
    case PICTURE:
      return WritePicture(image, _temporary.c_str(), why);
    default:
      why = "unknown image format";
      return false;
  }
}

bool KelImageFileWriter::Replace(std::string& why) {
  // The data on the disk before the name: a full disk shows here at the latest.
  const int fd = ::open(_temporary.c_str(), O_RDONLY);
  if (fd < 0 || ::fsync(fd) != 0) {
    why = std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return false;
  }
  // A file that was there keeps its permissions; a new one gets those of any
  // new file (mkstemp made this one private).
  struct stat st;
  mode_t mode;
  if (::stat(_target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);
  ::close(fd);
  if (std::rename(_temporary.c_str(), _target.c_str()) != 0) {
    why = std::strerror(errno);
    return false;
  }
  _temporary.clear();
  return true;
}

bool KelImageFileWriter::CopyToTarget(std::string& why) const {
  const int in = ::open(_temporary.c_str(), O_RDONLY);
  const int out = _target == "-" ? STDOUT_FILENO : ::open(_target.c_str(), O_WRONLY);
  bool done = in >= 0 && out >= 0;
  std::vector<char> buffer(1 << 20);
  while (done) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n == 0) break;
    done = n > 0;
    for (ssize_t at = 0; done && at < n;) {
      const ssize_t w = ::write(out, buffer.data() + at, static_cast<size_t>(n - at));
      if (w < 0 && errno == EINTR) continue;
      done = w > 0;
      at += w > 0 ? w : 0;
    }
  }
  if (!done) why = std::strerror(errno);
  if (in >= 0) ::close(in);
  if (out >= 0 && out != STDOUT_FILENO && ::close(out) != 0 && done) {
    why = std::strerror(errno);
    done = false;
  }
  return done;
}

bool KelImageFileWriter::Write(KelPixelImage& image, std::string& error) {
  if (_temporary.empty()) {
    error = Failure("not opened");
    return false;
  }
  std::string why;
  if (!Encode(image, why) || !(_direct ? CopyToTarget(why) : Replace(why))) {
    error = Failure(why);
    return false;
  }
  return true;
}
