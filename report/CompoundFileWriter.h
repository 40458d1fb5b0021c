#pragma once

#include <QByteArray>
#include <QString>

namespace report
{

// Writes a compound file (the OLE2 container of Excel 97-2003 workbooks)
// holding one stream in the root storage, with 512-byte sectors. Streams
// shorter than the mini-stream cut-off are padded up to it, so every
// stream lives in ordinary sectors and no mini stream is needed.
namespace CompoundFileWriter
{
QByteArray build(const QString &streamName, QByteArray stream);
}

} // namespace report
