// Feeds arbitrary bytes to the three reply decoders as if the instrument had
// sent them, and checks what they promise about their results.
#include "QevProtocol.h"

#include <cstdint>
#include <cstdlib>

namespace
{

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkIdentify(QByteArrayView reply)
{
    const auto identity = QevProtocol::checkIdentify(reply);
    require(!identity || (identity->serialNumber.size() == 8 && identity->firmwareVersion.size() == 4));
    require(identity.has_value() == (reply.size() >= 17 && reply.startsWith("PP CM")));
}

void checkObjectList(QByteArrayView reply)
{
    const auto objects = QevProtocol::splitObjectList(reply);
    require(objects.has_value() == (!reply.isEmpty() && reply.back() == '*'));
    if (!objects)
        return;
    require(objects->size() == reply.size() / QevProtocol::ObjectEntrySize);
    for (qsizetype i = 0; i < objects->size(); ++i) {
        const auto &entry = objects->at(i);
        require(entry.index == static_cast<std::uint8_t>(reply[i * QevProtocol::ObjectEntrySize]));
        require(entry.name.size() <= QevProtocol::ObjectNameSize);
        require(!entry.name.contains(QChar(0)));
    }
}

void checkMeasurements(QByteArrayView reply)
{
    const auto entries = QevProtocol::splitMeasurements(reply);
    require(entries.size() == reply.size() / QevProtocol::MeasurementEntrySize);
    for (const auto &entry : entries) {
        const auto measurement = QevProtocol::decodeMeasurement(entry);
        require(measurement.dataValue <= 0xFFFFFF);
        if (measurement.timestamp) {
            require(measurement.timestamp->isValid());
            require(measurement.timestamp->time().second() % 2 == 0);
            require(measurement.timestamp->time().msec() == 0);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView reply(data, static_cast<qsizetype>(size));
    checkIdentify(reply);
    checkObjectList(reply);
    checkMeasurements(reply);
    return 0;
}
