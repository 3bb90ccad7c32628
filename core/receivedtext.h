#pragma once

#include "core/bytestore.h"

#include <QString>
#include <QtGlobal>

#include <vector>

// Received bytes read as text: one character per byte (cp1251), display lines
// broken only at CR LF pairs. Appending costs time in proportion to the bytes
// appended; any line is found without scanning the bytes.
//
// The bytes are either its own (append) or those of a store it follows
// (follow, catchUp): then it shares that store's bytes instead of copying
// them, and shows the prefix it has indexed so far.
//
// Line starts are kept as 16-bit offsets within 64 KiB blocks plus, per
// block, the number of its first line, so even a capture of nothing but
// CR LF costs one byte of index per byte received, and ordinary text far less.
class ReceivedText
{
public:
    ReceivedText();

    void append(const char *data, qint64 n);
    // Bytes [from, to) of `source` appended in bounded pieces.
    void appendFrom(const ByteStore &source, qint64 from, qint64 to);
    void clear();

    // Shows the bytes of `source` from now on, read through the same store.
    void follow(const ByteStore &source);
    bool follows(const ByteStore &source) const { return m_following && m_bytes.sharesWith(source); }
    // Takes in what the followed store gained since; returns the bytes added.
    qint64 catchUp();

    qint64 size() const { return m_size; }
    quint8 at(qint64 pos) const { return m_bytes.at(pos); }

    qint64 lineCount() const { return qint64(m_lineLow.size()); }
    qint64 lineStart(qint64 line) const;
    // End of the line's characters: before its CR LF, or the end of the text.
    qint64 lineEnd(qint64 line) const;
    qint64 lineLength(qint64 line) const { return lineEnd(line) - lineStart(line); }
    // The line that shows position pos (a position inside a CR LF belongs to
    // the line it ends).
    qint64 lineOf(qint64 pos) const;
    qint64 maxLineLength() const;

    // Bytes [from, to) as text: cp1251 characters, each CR LF pair as "\n".
    QString text(qint64 from, qint64 to) const;
    QString text() const { return text(0, size()); }

    // The display form of a character: control characters show as blanks.
    static QChar displayChar(quint8 byte);

private:
    static constexpr int BlockShift = 16;
    void addLineStart(qint64 pos);
    void index(const char *data, qint64 n);
    void resetIndex();

    ByteStore m_bytes;
    qint64 m_size = 0;
    bool m_following = false;
    std::vector<quint16> m_lineLow;        // line start & 0xFFFF, per line
    std::vector<qint64> m_blockFirstLine;  // first line starting at or after block b
    qint64 m_maxClosedLine = 0;            // longest line that has its CR LF
};
