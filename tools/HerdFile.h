#pragma once

#include "Herd.h"

#include <optional>

// A herd in a text file, UTF-8, one item a line; '#' starts a comment line:
//
//   object <index> <name>
//   measurement <yyyy-MM-dd> <hh:mm:ss> <result> [<data value>]
//   raw <date word> <time word> <result> [<data value>]
//
// Measurements belong to the object above them. Numbers are decimal or
// 0x-prefixed hexadecimal. "raw" holds packed date and time words as the
// instrument stores them, so that impossible dates can be given. tools/README.md
// has the details.
struct HerdFileResult {
    std::optional<Herd> herd;
    QString error; // "line N: what is wrong", when herd is empty
};

HerdFileResult parseHerd(const QByteArray &text, AnsiText::CodePage codePage);
HerdFileResult readHerdFile(const QString &path, AnsiText::CodePage codePage);
