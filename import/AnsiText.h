#pragma once

#include <QByteArrayView>
#include <QLocale>
#include <QString>
#include <QStringView>

// Single-byte text from the instrument (object names, the serial number and
// the firmware version) is decoded the way a Windows PC decodes it with its
// active ANSI code page, so that the same instrument gives the same names
// on every PC with the same regional settings.
namespace AnsiText
{

enum class CodePage { Windows1250 = 1250, Windows1251 = 1251, Windows1252 = 1252 };

// The ANSI code page Windows assigns to the locale's language: Central
// European languages 1250, Cyrillic ones 1251, every other 1252.
CodePage codePageFor(const QLocale &locale);

// The code page of the user's regional settings.
CodePage activeCodePage();

// Every byte value decodes to one character; a byte the code page leaves
// undefined becomes the control character of the same value, as Windows
// decodes it, and the text goes on after it.
QString decode(QByteArrayView bytes, CodePage codePage);

// Decodes with the active code page: the one place that chooses it.
QString decode(QByteArrayView bytes);

// The inverse of decode: a character the code page lacks becomes '?'.
QByteArray encode(QStringView text, CodePage codePage);

} // namespace AnsiText
