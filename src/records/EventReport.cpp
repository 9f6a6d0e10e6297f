#include "records/EventReport.h"

#include "core/Clock.h"
#include "records/ReportGridModel.h"
#include "records/Windows1252.h"

#include <QDir>
#include <QSaveFile>

#include <algorithm>

namespace telvara {

namespace {

const QString kHeader = QStringLiteral("Indice-Tipo-Status-Nome-IP-Ns/Mod-Data-Hora-Evento");
const QString kHyphens = QString(66, QLatin1Char('-'));
const QString kEnd = QStringLiteral("\r\n");
constexpr int kMaxRows = 1000;
constexpr int kCells = 9;

} // namespace

QString EventReport::text(const ReportGridModel& grid, const QString& closingText) {
    QString out = kHeader + kEnd + kHyphens + kEnd;
    const int rows = std::min(grid.rows(), kMaxRows);
    for (int r = 0; r < rows && !grid.cell(r, 0).isEmpty(); ++r) {
        for (int c = 0; c < kCells; ++c)
            out += grid.cell(r, c) + QLatin1Char('-');
        out += kEnd + kHyphens + kEnd;
    }
    out += closingText + kEnd + kHyphens;
    return out;
}

QString EventReport::fileName(const QDateTime& now) {
    return QStringLiteral("Reg_") + now.toString(QStringLiteral("dd_MM_yy_HH_mm")) +
           QStringLiteral(".txt");
}

QString EventReport::write(const ReportGridModel& grid, const QString& folder, const Clock& clock,
                           const QString& closingText) {
    const QString path = QDir(folder).filePath(fileName(clock.now()));
    const QString shown = QDir::toNativeSeparators(path);
    if (!QDir(folder).exists())
        throw ReportFileError(
            QStringLiteral("Não foi possível criar o arquivo \"%1\": a pasta não existe.")
                .arg(shown));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportFileError(QStringLiteral("Não foi possível criar o arquivo \"%1\": %2")
                                  .arg(shown, file.errorString()));
    const QByteArray bytes = toWindows1252(text(grid, closingText));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw ReportFileError(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2")
                                  .arg(shown, file.errorString()));
    return path;
}

} // namespace telvara
