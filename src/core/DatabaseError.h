#pragma once

#include <QString>

#include <stdexcept>

namespace telvara {

// A failed database operation. The message is meant for the operator: the caller shows it as is.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString& message)
        : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

} // namespace telvara
