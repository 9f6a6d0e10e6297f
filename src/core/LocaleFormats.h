#pragma once

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

namespace telvara {

// The workstation's formats: short date, long time and decimal separator. Built once from the
// system locale at start; tests pin Brazilian Portuguese.
struct LocaleFormats {
    QString shortDate = QStringLiteral("dd/MM/yyyy");
    QString longTime = QStringLiteral("HH:mm:ss");
    QChar decimalSeparator = QLatin1Char(',');

    static LocaleFormats brazilian() { return {}; }
    static LocaleFormats fromSystem();

    QString date(const QDate& d) const { return d.toString(shortDate); }
    QString time(const QTime& t) const { return t.toString(longTime); }
    std::optional<QDate> parseDate(const QString& s) const;
    std::optional<QTime> parseTime(const QString& s) const;

    // Fixed number of decimals with the workstation's separator ("0.00", "0.0000").
    QString fixed(double v, int decimals) const;
};

} // namespace telvara
