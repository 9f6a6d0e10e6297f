#pragma once

#include <QDateTime>
#include <QString>

#include <stdexcept>

namespace telvara {

class Clock;
class ReportGridModel;

inline const QString kSalvoPeloBotao = QStringLiteral("Salvo pelo botão SALVAR");
inline const QString kSalvoPeloFechamento = QStringLiteral("Salvo pelo fechamento do programa");

// The export file could not be written; the message is meant for the operator.
class ReportFileError : public std::runtime_error {
public:
    explicit ReportFileError(const QString& message)
        : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// The event report file: the event grid as text, written by "Salvar" and at shut-down.
class EventReport {
public:
    // The whole file: header, hyphens, one line and a hyphen line per grid row up to the first
    // row without an Indice, the closing text and a last hyphen line without a line end.
    static QString text(const ReportGridModel& grid, const QString& closingText);

    // "Reg_dd_mm_yy_hh_nn.txt" for the given local time.
    static QString fileName(const QDateTime& now);

    // Writes the file into folder, replacing one of the same name, in Windows-1252. The folder is
    // not created. Returns the file's path; throws ReportFileError, leaving any old file as it was.
    static QString write(const ReportGridModel& grid, const QString& folder, const Clock& clock,
                         const QString& closingText);
};

} // namespace telvara
