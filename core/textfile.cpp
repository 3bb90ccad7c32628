#include "core/textfile.h"

#include "core/bytetext.h"

TextLineReader::TextLineReader(const QByteArray &bytes)
    : m_bytes(bytes)
{
    const qsizetype eof = m_bytes.indexOf('\x1A');
    m_end = eof < 0 ? m_bytes.size() : eof;
}

QString TextLineReader::next()
{
    if (atEnd())
        return QString();
    qsizetype lf = m_bytes.indexOf('\n', m_pos);
    if (lf < 0 || lf > m_end)
        lf = m_end;
    QByteArray line = m_bytes.mid(m_pos, lf - m_pos);
    line.replace('\r', QByteArray());
    m_pos = lf + 1;
    return cp1251Decode(line);
}

bool TextLineReader::holdsLines(qint64 n) const
{
    qsizetype pos = m_pos;
    for (; n > 0 && pos < m_end; --n) {
        const qsizetype lf = m_bytes.indexOf('\n', pos);
        if (lf < 0 || lf >= m_end)
            return n == 1; // the last line, ended by the end of the data
        pos = lf + 1;
    }
    return n <= 0;
}

QByteArray WriteTextLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        QByteArray bytes = cp1251Encode(line);
        for (char &b : bytes)
            if (b == '\r' || b == '\n' || b == '\x1A')
                b = ' ';
        out += bytes;
        out += "\r\n";
    }
    return out;
}

std::optional<qint32> parseDecimalLine(const QString &line)
{
    const QString t = line.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    if (i >= t.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > qint64(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return std::nullopt;
    return qint32(value);
}

bool DtrRtsBit(QStringView hexCellText)
{
    return parseDecimalLine(hexCellText.toString()) == 1;
}
