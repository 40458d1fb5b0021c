#pragma once

#include <QByteArray>
#include <QtEndian>
#include <cstring>

namespace report
{

// Little-endian bytes of the binary file formats the exports write.
class BinaryWriter
{
public:
    void u8(quint8 value) { buffer.append(static_cast<char>(value)); }
    void u16(quint16 value) { append(qToLittleEndian(value)); }
    void u32(quint32 value) { append(qToLittleEndian(value)); }
    void f64(double value)
    {
        quint64 bits;
        std::memcpy(&bits, &value, sizeof bits);
        append(qToLittleEndian(bits));
    }
    void bytes(const QByteArray &data) { buffer.append(data); }
    void zeros(qsizetype count) { buffer.append(count, '\0'); }
    void reserve(qsizetype size) { buffer.reserve(size); }

    void patchU32(qsizetype position, quint32 value) { qToLittleEndian(value, buffer.data() + position); }
    qsizetype size() const { return buffer.size(); }
    const QByteArray &data() const { return buffer; }

private:
    QByteArray buffer;

    template <typename T> void append(T littleEndian)
    {
        buffer.append(reinterpret_cast<const char *>(&littleEndian), sizeof littleEndian);
    }
};

} // namespace report
