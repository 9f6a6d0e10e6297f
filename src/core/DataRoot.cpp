#include "core/DataRoot.h"

#include <QDir>
#include <QtGlobal>

namespace telvara {

QString DataRoot::root() {
#ifdef _WIN32
    return QStringLiteral("C:/");
#else
    const QString env = qEnvironmentVariable("TELVARA_ROOT");
    return env.isEmpty() ? QDir::homePath() : env;
#endif
}

static QString under(const char* relative) {
    return QDir::cleanPath(DataRoot::root() + QLatin1Char('/') + QLatin1String(relative));
}

QString DataRoot::databaseFile() {
    return under("Orvanel/Bd");
}
QString DataRoot::shutdownReportFolder() {
    return under("Orvanel/Registros");
}
QString DataRoot::savedReportFolder() {
    return under("Orvabase/Registros");
}

bool DataRoot::createReportFolders() {
    const bool a = QDir().mkpath(shutdownReportFolder());
    const bool b = QDir().mkpath(savedReportFolder());
    return a && b;
}

} // namespace telvara
