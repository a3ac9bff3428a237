#include "platform/qt/BitmapFile.h"

#include <QByteArray>
#include <QImage>
#include <map>

namespace quillmont {
namespace {

struct CachedPicture {
  std::string bytes;
  PixelBuffer picture;
};

PixelBuffer Decode(const std::string& bytes) {
  QImage image;
  const QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (!data.startsWith("BM") || !image.loadFromData(data, "BMP") || image.isNull()) {
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

PixelBuffer LoadBitmapFile(const ProgramFolder& folder, const std::string& fileName) {
  static std::map<std::string, CachedPicture> cache;  // keyed by full path

  std::optional<std::string> bytes = folder.Read(fileName);
  if (!bytes) throw BitmapError("Cannot open file " + fileName);
  const std::string key = folder.Path() + fileName;
  auto found = cache.find(key);
  if (found != cache.end() && found->second.bytes == *bytes) return found->second.picture;
  PixelBuffer picture = Decode(*bytes);
  cache[key] = CachedPicture{std::move(*bytes), picture};
  return picture;
}

}  // namespace quillmont
