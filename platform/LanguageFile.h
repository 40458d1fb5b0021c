#pragma once

#include "LanguageEngine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform
{

// What reading a language file gives: the language, or nothing when the
// file is no language file at all; problems of single lines are reported
// in warnings and leave the rest of the file usable.
struct LanguageFileResult {
    std::optional<Language> language;
    QStringList warnings;
};

// Parses the text of a language file (format in platform/README.md).
LanguageFileResult parseLanguageFile(const QByteArray &content, const QString &fileName);

// Reads and parses one language file.
LanguageFileResult readLanguageFile(const QString &path);

// Writes a text as a value of a language file: line breaks, tabs and
// backslashes become escapes, so that every value stays on one line.
QString escapeLanguageValue(const QString &text);

} // namespace platform
