#include "platform/qt/LocaleFormats.h"

#include <QLocale>

namespace quillmont {

std::string SystemThousandsSeparator() {
  const QString separator = QLocale::system().groupSeparator();
  return separator.isEmpty() ? std::string(",") : separator.toStdString();
}

std::string SystemShortDatePattern() { return QLocale::system().dateFormat(QLocale::ShortFormat).toStdString(); }

}  // namespace quillmont
