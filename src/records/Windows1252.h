#pragma once

#include <QByteArray>
#include <QString>

namespace telvara {

// Text in the ANSI code page of a Portuguese Windows workstation. A character the code page
// lacks becomes '?', as Windows itself writes it.
QByteArray toWindows1252(const QString& text);

} // namespace telvara
