#include "core/capturelog.h"

#include "core/bytetext.h"

#include <QDateTime>

#include <array>
#include <cstring>

namespace {

qint64 floorSecond(qint64 msecs)
{
    return msecs >= 0 ? msecs / 1000 : -((-msecs + 999) / 1000);
}

} // namespace

// "yyyy-MM-dd hh:mm:ss." of the local time, worked out once per second.
class CaptureLogSecondText
{
public:
    const QByteArray &of(qint64 msecs)
    {
        const qint64 second = floorSecond(msecs);
        if (second != m_second || m_text.isEmpty()) {
            m_second = second;
            m_text = QDateTime::fromMSecsSinceEpoch(second * 1000)
                         .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss."))
                         .toLatin1();
        }
        return m_text;
    }

private:
    qint64 m_second = 0;
    QByteArray m_text;
};

namespace {

struct ByteForms {
    char hex[4];    // " XX"
    char utf8[4];
    int utf8Size;
};

const std::array<ByteForms, 256> &byteForms()
{
    static const std::array<ByteForms, 256> table = [] {
        std::array<ByteForms, 256> t{};
        const char digits[] = "0123456789ABCDEF";
        for (int b = 0; b < 256; ++b) {
            ByteForms &f = t[size_t(b)];
            f.hex[0] = ' ';
            f.hex[1] = digits[b >> 4];
            f.hex[2] = digits[b & 15];
            QChar c = cp1251ToUnicode(quint8(b));
            // No control character reaches the file: no tabs, breaks or escapes.
            if (c.category() == QChar::Other_Control)
                c = QLatin1Char('.');
            const QByteArray u = QString(c).toUtf8();
            f.utf8Size = int(u.size());
            std::copy(u.begin(), u.end(), f.utf8);
        }
        return t;
    }();
    return table;
}

void appendLogLine(QByteArray &out, CaptureLogSecondText &seconds, qint64 msecs, const char *data, qint64 n)
{
    const auto &forms = byteForms();
    out += seconds.of(msecs);
    const int ms = int(msecs - floorSecond(msecs) * 1000);
    out += char('0' + ms / 100);
    out += char('0' + ms / 10 % 10);
    out += char('0' + ms % 10);
    out += '\t';
    out += QByteArray::number(n);
    out += '\t';
    const qsizetype start = out.size();
    // Room for the longest forms, and for the fixed 4-byte copies below.
    out.resize(start + 3 * n + 3 * n + 8);
    char *p = out.data() + start;
    if (n > 0) {
        std::memcpy(p, forms[quint8(data[0])].hex + 1, 2);
        p += 2;
    }
    for (qint64 i = 1; i < n; ++i) {
        std::memcpy(p, forms[quint8(data[i])].hex, 4);
        p += 3;
    }
    *p++ = '\t';
    for (qint64 i = 0; i < n; ++i) {
        const ByteForms &f = forms[quint8(data[i])];
        std::memcpy(p, f.utf8, 4);
        p += f.utf8Size;
    }
    *p++ = '\n';
    out.truncate(p - out.constData());
}

} // namespace

QByteArray CaptureLogLine(qint64 arrivalMsecs, const char *data, qint64 n)
{
    QByteArray line;
    CaptureLogSecondText seconds;
    appendLogLine(line, seconds, arrivalMsecs, data, n);
    return line;
}

CaptureLog::Format CaptureLog::formatFor(const QString &path)
{
    return path.endsWith(QStringLiteral(".log"), Qt::CaseInsensitive) ? Text : Raw;
}

CaptureLog::~CaptureLog()
{
    close();
}

CaptureLog::CaptureLog()
    : m_seconds(std::make_unique<CaptureLogSecondText>())
{
}

bool CaptureLog::open(const QString &path, Format format)
{
    close();
    m_pending.clear();
    m_written = 0;
    m_failed = false;
    m_error.clear();
    m_format = format;
    m_file.setFileName(path);
    // Unbuffered: every flush reaches the system, and its failure is seen there.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_error = m_file.errorString();
        return false;
    }
    return true;
}

bool CaptureLog::append(const char *data, qint64 n, qint64 arrivalMsecs)
{
    if (!isOpen())
        return false;
    if (n <= 0)
        return true;
    if (m_pending.capacity() < MaxPending)
        m_pending.reserve(MaxPending + MaxPending / 4);
    if (m_format == Raw)
        m_pending.append(data, n);
    else
        appendLogLine(m_pending, *m_seconds, arrivalMsecs, data, n);
    return m_pending.size() < MaxPending || flush();
}

bool CaptureLog::flush()
{
    if (!isOpen())
        return false;
    qint64 done = 0;
    while (done < m_pending.size()) {
        // A short write sets no error; the next attempt reports why it stopped.
        const qint64 n = m_file.write(m_pending.constData() + done, m_pending.size() - done);
        if (n <= 0) {
            m_written += done;
            m_pending.remove(0, done);
            return fail();
        }
        done += n;
    }
    m_written += done;
    m_pending.resize(0); // keeps its room for the next second's steps
    return true;
}

bool CaptureLog::fail()
{
    m_failed = true;
    m_error = m_file.errorString();
    m_file.close();
    m_pending.clear();
    return false;
}

bool CaptureLog::close()
{
    if (!isOpen())
        return !m_failed;
    const bool ok = flush();
    m_file.close();
    return ok;
}
