#include "platform/qt/LocaleFormats.h"

#include <QLocale>

namespace quillmont {

std::string SystemThousandsSeparator() {
  const QString separator = QLocale::system().groupSeparator();
  return separator.isEmpty() ? std::string(",") : separator.toStdString();
}

std::string ShortDatePattern(const QLocale& locale) {
  // The C locale has no date format of its own: the empty pattern stands
  // for the program's fallback, month/day/two-digit year.
  if (locale.language() == QLocale::C) return {};
  return locale.dateFormat(QLocale::ShortFormat).toStdString();
}

std::string SystemShortDatePattern() { return ShortDatePattern(QLocale::system()); }

}  // namespace quillmont
