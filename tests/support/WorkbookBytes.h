#pragma once

#include <QByteArray>
#include <QtEndian>

// The smallest Excel 97 compound document that passes for a workbook: the
// header, one FAT sector and one directory sector naming a "Workbook"
// stream, then whatever bytes a test wants to tell apart.
inline QByteArray workbookBytes(const QByteArray &tail = "xls")
{
    QByteArray b(512 * 3, '\0');
    char *p = b.data();
    const auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, p + at); };
    const auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, p + at); };
    memcpy(p, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    put16(0x1A, 3);
    put16(0x1C, 0xFFFE);
    put16(0x1E, 9);
    put16(0x20, 6);
    put32(0x2C, 1);
    put32(0x30, 1);
    put32(0x3C, 0xFFFFFFFE);
    put32(0x44, 0xFFFFFFFE);
    for (int i = 0; i < 109; ++i)
        put32(0x4C + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);
    for (int i = 0; i < 128; ++i)
        put32(512 + 4 * i, i == 0 ? 0xFFFFFFFD : i == 1 ? 0xFFFFFFFE : 0xFFFFFFFF);
    const char16_t *names[] = {u"Root Entry", u"Workbook"};
    for (int e = 0; e < 2; ++e) {
        const int at = 1024 + 128 * e;
        int n = 0;
        for (; names[e][n]; ++n)
            put16(at + 2 * n, names[e][n]);
        put16(at + 64, quint16(2 * (n + 1)));
    }
    return b + tail;
}
