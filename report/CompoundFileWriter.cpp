#include "CompoundFileWriter.h"

#include "BinaryWriter.h"

#include <vector>

namespace report
{

namespace
{

constexpr int SectorSize = 512;
constexpr int EntriesPerSector = SectorSize / 4;
constexpr int HeaderDifatEntries = 109;
constexpr int MiniStreamCutoff = 4096;
constexpr quint32 FreeSector = 0xFFFFFFFF;
constexpr quint32 EndOfChain = 0xFFFFFFFE;
constexpr quint32 FatSector = 0xFFFFFFFD;
constexpr quint32 DifatSector = 0xFFFFFFFC;
constexpr quint32 NoStream = 0xFFFFFFFF;

struct Plan {
    quint32 streamSectors = 0;
    quint32 directorySector = 0;
    quint32 fatSectors = 0;
    quint32 difatSectors = 0;

    quint32 firstFat() const { return directorySector + 1; }
    quint32 firstDifat() const { return firstFat() + fatSectors; }
    quint32 total() const { return firstDifat() + difatSectors; }
};

Plan planFor(qsizetype streamSize)
{
    Plan plan;
    plan.streamSectors = static_cast<quint32>((streamSize + SectorSize - 1) / SectorSize);
    plan.directorySector = plan.streamSectors;
    // The FAT must also describe its own sectors and those of the DIFAT.
    plan.fatSectors = 1;
    for (;;) {
        plan.difatSectors =
            plan.fatSectors > HeaderDifatEntries
                ? (plan.fatSectors - HeaderDifatEntries + EntriesPerSector - 2) / (EntriesPerSector - 1)
                : 0;
        if (plan.total() <= plan.fatSectors * EntriesPerSector)
            return plan;
        ++plan.fatSectors;
    }
}

void writeHeader(BinaryWriter &out, const Plan &plan)
{
    out.bytes(QByteArray::fromHex("D0CF11E0A1B11AE1"));
    out.zeros(16);   // class id
    out.u16(0x003E); // minor version
    out.u16(0x0003); // major version 3: 512-byte sectors
    out.u16(0xFFFE); // little-endian
    out.u16(9);      // sector shift
    out.u16(6);      // mini sector shift
    out.zeros(6);
    out.u32(0); // directory sectors (always 0 in version 3)
    out.u32(plan.fatSectors);
    out.u32(plan.directorySector);
    out.u32(0); // transaction signature
    out.u32(MiniStreamCutoff);
    out.u32(EndOfChain); // no mini FAT
    out.u32(0);
    out.u32(plan.difatSectors ? plan.firstDifat() : EndOfChain);
    out.u32(plan.difatSectors);
    for (quint32 index = 0; index < HeaderDifatEntries; ++index)
        out.u32(index < plan.fatSectors ? plan.firstFat() + index : FreeSector);
}

void writeDirectoryEntry(BinaryWriter &out, const QString &name, quint8 type, quint32 child, quint32 start,
                         quint32 size)
{
    const qsizetype begin = out.size();
    for (const QChar character : name)
        out.u16(character.unicode());
    out.u16(0);
    out.zeros(64 - (out.size() - begin));
    out.u16(name.isEmpty() ? 0 : static_cast<quint16>((name.size() + 1) * 2));
    out.u8(type);
    out.u8(1); // black
    out.u32(NoStream);
    out.u32(NoStream);
    out.u32(child);
    out.zeros(16 + 4 + 8 + 8); // class id, state bits, creation and modification times
    out.u32(start);
    out.u32(size);
    out.u32(0);
}

void writeDirectory(BinaryWriter &out, const QString &streamName, quint32 streamSize)
{
    writeDirectoryEntry(out, QStringLiteral("Root Entry"), 5, 1, EndOfChain, 0);
    writeDirectoryEntry(out, streamName, 2, NoStream, 0, streamSize);
    writeDirectoryEntry(out, QString(), 0, NoStream, 0, 0);
    writeDirectoryEntry(out, QString(), 0, NoStream, 0, 0);
}

void writeFat(BinaryWriter &out, const Plan &plan)
{
    std::vector<quint32> fat(plan.fatSectors * EntriesPerSector, FreeSector);
    for (quint32 sector = 0; sector < plan.streamSectors; ++sector)
        fat[sector] = sector + 1 < plan.streamSectors ? sector + 1 : EndOfChain;
    fat[plan.directorySector] = EndOfChain;
    for (quint32 index = 0; index < plan.fatSectors; ++index)
        fat[plan.firstFat() + index] = FatSector;
    for (quint32 index = 0; index < plan.difatSectors; ++index)
        fat[plan.firstDifat() + index] = DifatSector;
    for (const quint32 entry : fat)
        out.u32(entry);
}

void writeDifat(BinaryWriter &out, const Plan &plan)
{
    quint32 fatIndex = HeaderDifatEntries;
    for (quint32 sector = 0; sector < plan.difatSectors; ++sector) {
        for (int slot = 0; slot < EntriesPerSector - 1; ++slot, ++fatIndex)
            out.u32(fatIndex < plan.fatSectors ? plan.firstFat() + fatIndex : FreeSector);
        out.u32(sector + 1 < plan.difatSectors ? plan.firstDifat() + sector + 1 : EndOfChain);
    }
}

} // namespace

QByteArray CompoundFileWriter::build(const QString &streamName, QByteArray stream)
{
    if (stream.size() < MiniStreamCutoff)
        stream.append(MiniStreamCutoff - stream.size(), '\0');
    const Plan plan = planFor(stream.size());

    BinaryWriter out;
    out.reserve(SectorSize * (plan.total() + 1));
    writeHeader(out, plan);
    out.bytes(stream);
    out.zeros(plan.streamSectors * SectorSize - stream.size());
    writeDirectory(out, streamName, static_cast<quint32>(stream.size()));
    writeFat(out, plan);
    writeDifat(out, plan);
    return out.data();
}

} // namespace report
