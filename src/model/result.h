#pragma once

#include <QString>

#include <utility>

// The outcome of an operation that can fail: success, or a failure with a message for people.
class [[nodiscard]] Result
{
public:
    static Result success() { return Result(); }
    static Result failure(QString message) { return Result(std::move(message), true); }

    bool isSuccess() const { return !m_failed; }
    explicit operator bool() const { return isSuccess(); }
    const QString &errorMessage() const { return m_message; }

private:
    Result() = default;
    Result(QString message, bool failed) : m_message(std::move(message)), m_failed(failed) {}

    QString m_message;
    bool m_failed = false;
};
