#pragma once

#include <QByteArray>
#include <QLocale>
#include <QStringView>

namespace report
{

// Text in a Windows ANSI code page (1250 Central European, 1251 Cyrillic,
// 1252 Western), the encoding spreadsheet programs expect of a
// semicolon-separated file. A character the code page lacks becomes '?'.
namespace AnsiCodePage
{
int forLanguage(QLocale::Language language);
QByteArray encode(QStringView text, int codePage);
} // namespace AnsiCodePage

} // namespace report
