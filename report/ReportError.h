#pragma once

#include <stdexcept>
#include <string>

#include <QString>

namespace report
{

// Every failure of the report engine and its exports: a missing or
// malformed template, an unknown expression, a file that cannot be written.
// It reaches the application's error display like any database error.
class ReportError : public std::runtime_error
{
public:
    explicit ReportError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

} // namespace report
