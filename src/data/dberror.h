#pragma once
#include <QString>
#include <stdexcept>

// An error of the database layer; the message is the engine's (or the
// translator's) own text, meant to be shown to the user as it is.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// A statement the Access-dialect translator could not parse.
class TranslateError : public DbError {
public:
    using DbError::DbError;
};
