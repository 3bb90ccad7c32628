#include "core/capturelog.h"

#include "core/bytetext.h"

#include <QDateTime>

#include <array>

namespace {

struct ByteForms {
    char hex[2];
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
            f.hex[0] = digits[b >> 4];
            f.hex[1] = digits[b & 15];
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

} // namespace

QByteArray CaptureLogLine(qint64 arrivalMsecs, const char *data, qint64 n)
{
    const auto &forms = byteForms();
    QByteArray line = QDateTime::fromMSecsSinceEpoch(arrivalMsecs)
                          .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
                          .toLatin1();
    line += '\t';
    line += QByteArray::number(n);
    line += '\t';
    const qsizetype start = line.size();
    line.resize(start + 3 * n + 4 * n + 1);
    char *p = line.data() + start;
    for (qint64 i = 0; i < n; ++i) {
        const ByteForms &f = forms[quint8(data[i])];
        if (i > 0)
            *p++ = ' ';
        *p++ = f.hex[0];
        *p++ = f.hex[1];
    }
    *p++ = '\t';
    for (qint64 i = 0; i < n; ++i) {
        const ByteForms &f = forms[quint8(data[i])];
        for (int k = 0; k < f.utf8Size; ++k)
            *p++ = f.utf8[k];
    }
    *p++ = '\n';
    line.truncate(p - line.constData());
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
    if (m_format == Raw)
        m_pending.append(data, n);
    else
        m_pending += CaptureLogLine(arrivalMsecs, data, n);
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
    m_pending.clear();
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
