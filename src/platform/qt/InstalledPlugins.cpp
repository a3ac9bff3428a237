#include "platform/qt/InstalledPlugins.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>

#include "platform/ProgramFolder.h"

namespace quillmont {
namespace {

// The folder that Qt takes for the executable's, found as Qt finds it.
QString QtsProgramFolder(const char* argv0) {
  const std::string folder = ExecutableDirectory();
  if (!folder.empty() || argv0 == nullptr) return QString::fromStdString(folder);
  const QString name = QFile::decodeName(argv0);
  return QFileInfo(name.contains(u'/') ? name : QStandardPaths::findExecutable(name)).absolutePath();
}

}  // namespace

void UseOnlyInstalledQtPlugins(const char* argv0) {
  // The qt.conf compiled into the program names Qt's installed folders.
  // Qt adds the executable's folder to the plugin folders while it builds
  // the application object and loads the platform plugin right after, before
  // any code of ours runs. Folders set beforehand replace those Qt found so
  // far, and Qt drops those again once it is built: so, for this moment, the
  // executable's folder is made one of them through QT_PLUGIN_PATH. The
  // player's own QT_PLUGIN_PATH is put back and keeps its effect.
  const bool wasSet = qEnvironmentVariableIsSet("QT_PLUGIN_PATH");
  const QByteArray players = qgetenv("QT_PLUGIN_PATH");
  qputenv("QT_PLUGIN_PATH", QFile::encodeName(QtsProgramFolder(argv0)));
  QCoreApplication::setLibraryPaths({QLibraryInfo::path(QLibraryInfo::PluginsPath)});
  if (wasSet) {
    qputenv("QT_PLUGIN_PATH", players);
  } else {
    qunsetenv("QT_PLUGIN_PATH");
  }
}

}  // namespace quillmont
