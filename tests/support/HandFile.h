#pragma once

#include <QByteArray>
#include <QtGlobal>

// A configuration file built byte by byte from the layout, apart from the code: the
// type and name texts with their lengths, every other byte zero until a test puts one.
class HandFile
{
public:
    HandFile(const QByteArray& type, const QByteArray& name)
        : m_n(int(type.size())), m_m(int(name.size()))
    {
        m_bytes.fill('\0', 291 + m_n + m_m);
        putLong(241, m_n);
        m_bytes.replace(245, m_n, type);
        putLong(245 + m_n, m_m);
        m_bytes.replace(249 + m_n, m_m, name);
    }
    void put(int offset, int byte) { m_bytes[offset] = char(byte); }
    void putLong(int offset, qint32 v)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes[offset + i] = char((quint32(v) >> (8 * i)) & 0xFF);
    }
    void putWord(int offset, qint16 v)
    {
        m_bytes[offset] = char(quint16(v) & 0xFF);
        m_bytes[offset + 1] = char(quint16(v) >> 8);
    }
    int late(int offset) const { return offset + m_n + m_m; } // offsets after the texts
    QByteArray bytes() const { return m_bytes; }
    QByteArray withoutTail() const { return m_bytes.left(278 + m_n + m_m); }

private:
    QByteArray m_bytes;
    int m_n;
    int m_m;
};
