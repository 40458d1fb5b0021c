#pragma once

#include "Herd.h"

#include <QByteArray>

// The instrument's side of the line: the bytes of its three replies.
namespace InstrumentReplies
{

// "PP " and the 8-character serial number (which begins "CM", so that the
// reply begins "PP CM"), a blank, the 4-character firmware version and a
// carriage return: 17 bytes.
QByteArray identify(const QByteArray &instrumentSerial, const QByteArray &firmware);

// One 25-byte entry per object (index, name padded with zero bytes to 20,
// four reserved zero bytes), then '*'.
QByteArray objectList(const Herd &herd);

// One 9-byte entry per measurement: data value (3 bytes), date word, time
// word, result, little-endian.
QByteArray measurements(const HerdObject &object);

} // namespace InstrumentReplies
