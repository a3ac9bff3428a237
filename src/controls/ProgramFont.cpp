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

}  // namespace quillmont
