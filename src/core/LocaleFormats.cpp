#include "core/LocaleFormats.h"

#include "core/Clock.h"

#include <QLocale>

namespace telvara {

SystemClock& SystemClock::instance() {
    static SystemClock clock;
    return clock;
}

LocaleFormats LocaleFormats::fromSystem() {
    const QLocale loc = QLocale::system();
    // A workstation with no locale set up ("C") gets the formats the panel was made for.
    if (loc.language() == QLocale::C)
        return brazilian();
    LocaleFormats f;
    f.shortDate = loc.dateFormat(QLocale::ShortFormat);
    f.longTime = loc.timeFormat(QLocale::LongFormat);
    // Long formats may carry a time zone ("t"), which no stored time should hold.
    f.longTime.remove(QLatin1Char('t'));
    f.longTime = f.longTime.trimmed();
    f.decimalSeparator = loc.decimalPoint().isEmpty() ? QLatin1Char('.') : loc.decimalPoint().at(0);
    return f;
}

std::optional<QDate> LocaleFormats::parseDate(const QString& s) const {
    QDate d = QDate::fromString(s.trimmed(), shortDate);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

std::optional<QTime> LocaleFormats::parseTime(const QString& s) const {
    QTime t = QTime::fromString(s.trimmed(), longTime);
    if (!t.isValid())
        return std::nullopt;
    return t;
}

QString LocaleFormats::fixed(double v, int decimals) const {
    QString s = QString::number(v, 'f', decimals);
    if (decimalSeparator != QLatin1Char('.'))
        s.replace(QLatin1Char('.'), decimalSeparator);
    return s;
}

} // namespace telvara
