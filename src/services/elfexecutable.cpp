#include "elfexecutable.h"

#include "persistence/boundedfile.h"

#include <QFile>

#include <algorithm>
#include <limits>
#include <optional>

#include <unistd.h>

namespace {

constexpr quint16 typeExecutable = 2;     // ET_EXEC
constexpr quint16 typeShared = 3;         // ET_DYN
constexpr quint32 segmentDynamic = 2;     // PT_DYNAMIC
constexpr quint32 segmentInterpreter = 3; // PT_INTERP
constexpr quint64 tagFlags1 = 0x6ffffffb; // DT_FLAGS_1
constexpr quint64 flagPie = 0x08000000;   // DF_1_PIE
// Real program header tables and dynamic sections are far smaller; larger claims are not read.
constexpr qint64 maxTableBytes = 64 * 1024;

// Reads the integers of one ELF file in its class (32 or 64 bits) and byte order.
class ElfLayout
{
public:
    ElfLayout(bool is64, bool littleEndian) : m_is64(is64), m_littleEndian(littleEndian) {}

    bool is64() const { return m_is64; }

    quint64 unsignedAt(const QByteArray &bytes, qsizetype offset, int size) const
    {
        quint64 value = 0;
        for (int i = 0; i < size; ++i) {
            const auto byte = static_cast<unsigned char>(bytes.at(offset + (m_littleEndian ? size - 1 - i : i)));
            value = (value << 8) | byte;
        }
        return value;
    }
    // An address-sized field: 8 bytes in 64-bit files, 4 in 32-bit ones.
    quint64 wordAt(const QByteArray &bytes, qsizetype offset) const { return unsignedAt(bytes, offset, m_is64 ? 8 : 4); }

private:
    bool m_is64;
    bool m_littleEndian;
};

struct Segment
{
    quint32 type = 0;
    quint64 offset = 0;
    quint64 size = 0;
};

bool hasPieFlag(const QString &path, const ElfLayout &elf, const Segment &dynamic)
{
    if (dynamic.offset > quint64(std::numeric_limits<qint64>::max()))
        return false;
    const std::optional<QByteArray> table =
        BoundedFile::readAt(path, qint64(dynamic.offset), qint64(std::min<quint64>(dynamic.size, maxTableBytes)));
    if (!table)
        return false;
    const int entrySize = elf.is64() ? 16 : 8;
    for (qsizetype at = 0; at + entrySize <= table->size(); at += entrySize) {
        const quint64 tag = elf.wordAt(*table, at);
        if (tag == 0)
            return false;
        if (tag == tagFlags1)
            return (elf.wordAt(*table, at + entrySize / 2) & flagPie) != 0;
    }
    return false;
}

} // namespace

bool isElfExecutable(const QString &path)
{
    if (::access(QFile::encodeName(path).constData(), X_OK) != 0)
        return false;
    const std::optional<QByteArray> header = BoundedFile::readAt(path, 0, 64);
    if (!header || header->size() < 52 || !header->startsWith("\x7f" "ELF"))
        return false;
    const char elfClass = header->at(4);
    const char byteOrder = header->at(5);
    if ((elfClass != 1 && elfClass != 2) || (byteOrder != 1 && byteOrder != 2) || (elfClass == 2 && header->size() < 64))
        return false;
    const ElfLayout elf(elfClass == 2, byteOrder == 1);
    const auto type = quint16(elf.unsignedAt(*header, 16, 2));
    if (type == typeExecutable)
        return true;
    if (type != typeShared)
        return false;

    const quint64 tableOffset = elf.wordAt(*header, elf.is64() ? 32 : 28);
    const auto entrySize = qint64(elf.unsignedAt(*header, elf.is64() ? 54 : 42, 2));
    const auto entryCount = qint64(elf.unsignedAt(*header, elf.is64() ? 56 : 44, 2));
    const qint64 minimumEntrySize = elf.is64() ? 56 : 32;
    if (entrySize < minimumEntrySize || entryCount * entrySize > maxTableBytes
        || tableOffset > quint64(std::numeric_limits<qint64>::max())) {
        return false;
    }
    const std::optional<QByteArray> table = BoundedFile::readAt(path, qint64(tableOffset), entryCount * entrySize);
    if (!table)
        return false;
    std::optional<Segment> dynamic;
    for (qsizetype at = 0; at + entrySize <= table->size(); at += entrySize) {
        Segment segment;
        segment.type = quint32(elf.unsignedAt(*table, at, 4));
        segment.offset = elf.wordAt(*table, at + (elf.is64() ? 8 : 4));
        segment.size = elf.wordAt(*table, at + (elf.is64() ? 32 : 16));
        if (segment.type == segmentInterpreter)
            return true;
        if (segment.type == segmentDynamic)
            dynamic = segment;
    }
    return dynamic && hasPieFlag(path, elf, *dynamic);
}
