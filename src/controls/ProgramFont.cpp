#include "controls/ProgramFont.h"

#include <QStringList>

namespace quillmont {

QFont ProgramFont(int pixelSize, bool bold) { return ProgramFont(QStringLiteral("MS Sans Serif"), pixelSize, bold); }

QFont ProgramFont(const QString& family, int pixelSize, bool bold) {
  QFont font;
  font.setFamilies({family, QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Sans Serif")});
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

QFont FirstFontThatFits(int pixelSize, bool bold, const std::function<bool(const QFontMetrics&)>& fits) {
  const QFont candidates[] = {ProgramFont(pixelSize, bold),
                              ProgramFont(QStringLiteral("DejaVu Sans Condensed"), pixelSize, bold),
                              ProgramFont(QStringLiteral("Liberation Sans Narrow"), pixelSize, bold),
                              ProgramFont(QStringLiteral("Nimbus Sans Narrow"), pixelSize, bold)};
  for (const QFont& font : candidates) {
    if (fits(QFontMetrics(font))) return font;
  }
  return candidates[0];
}

}  // namespace quillmont
