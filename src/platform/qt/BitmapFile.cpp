#include "platform/qt/BitmapFile.h"

#include <sys/stat.h>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <filesystem>
#include <map>

namespace quillmont {
namespace {

struct CachedPicture {
  off_t size = 0;
  timespec modified{};
  PixelBuffer picture;
};

bool SameStamp(const CachedPicture& cached, const struct stat& info) {
  return cached.size == info.st_size && cached.modified.tv_sec == info.st_mtim.tv_sec &&
         cached.modified.tv_nsec == info.st_mtim.tv_nsec;
}

PixelBuffer Decode(const QByteArray& bytes) {
  QImage image;
  if (!bytes.startsWith("BM") || !image.loadFromData(bytes, "BMP") || image.isNull()) {
    throw BitmapError("Bitmap image is not valid");
  }
  image = image.convertToFormat(QImage::Format_RGB32);
  PixelBuffer picture(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) picture.Set(x, y, line[x] & 0x00FFFFFFu);
  }
  return picture;
}

}  // namespace

PixelBuffer LoadBitmapFile(const std::string& fileName) {
  static std::map<std::string, CachedPicture> cache;  // keyed by absolute path

  const std::string cannotOpen = "Cannot open file " + fileName;
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) throw BitmapError(cannotOpen);

  std::error_code ignored;
  const std::string key = std::filesystem::absolute(fileName, ignored).string();
  auto found = cache.find(key);
  if (found != cache.end() && SameStamp(found->second, info)) return found->second.picture;

  QFile file(QString::fromStdString(fileName));
  if (!file.open(QIODevice::ReadOnly)) throw BitmapError(cannotOpen);
  PixelBuffer picture = Decode(file.readAll());
  cache[key] = CachedPicture{info.st_size, info.st_mtim, picture};
  return picture;
}

}  // namespace quillmont
