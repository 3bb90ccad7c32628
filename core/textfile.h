#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Lines of a cp1251 text file, read tolerantly: a line ends at LF or at the
// end of the data, every CR is dropped, a byte 0x1A ends the data.
class TextLineReader
{
public:
    explicit TextLineReader(const QByteArray &bytes);

    QString next(); // "" once past the end
    bool atEnd() const { return m_pos >= m_end; }
    // Whether at least n more lines follow, counted without reading them.
    bool holdsLines(qint64 n) const;

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
};

// cp1251, every line followed by CR LF. A CR, LF or 0x1A inside a line
// becomes a space: each entry must come back as exactly one line, and
// 0x1A would end the file for the reader.
QByteArray WriteTextLines(const QStringList &lines);

// A signed 32-bit decimal: optional sign, digits, spaces around allowed.
std::optional<qint32> parseDecimalLine(const QString &line);

// A Hex cell read as a bit: 1 when the text is the decimal integer 1
// ("1", "01", "+1", spaces around allowed), 0 for any other text.
bool DtrRtsBit(QStringView hexCellText);
