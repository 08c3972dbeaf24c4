#pragma once
// Numbers as the file formats read here store them: little-endian, at any byte offset.

#include <QtEndian>

namespace LittleEndian {

inline quint16 u16(const uchar* p)
{
    return qFromLittleEndian<quint16>(p);
}

inline quint32 u32(const uchar* p)
{
    return qFromLittleEndian<quint32>(p);
}

inline quint64 u64(const uchar* p)
{
    return qFromLittleEndian<quint64>(p);
}

} // namespace LittleEndian
