#include "ui/widgets.h"

#include <QApplication>

#include <QButtonGroup>
#include <QGridLayout>
#include <QHash>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <limits>
#include <optional>

static void initResources()
{
    // The resources live in a static library; nothing else pulls them in.
    static const bool done = [] {
        Q_INIT_RESOURCE(varnel);
        return true;
    }();
    Q_UNUSED(done);
}

QPixmap glyphPixmap(const QString &glyph, int size)
{
    initResources();
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/glyphs/%1.svg").arg(glyph));
    if (svg.isValid()) {
        QPainter p(&pm);
        svg.render(&p);
    }
    return pm;
}

QIcon glyphIcon(const QString &glyph)
{
    static QHash<QString, QIcon> cache;
    auto it = cache.find(glyph);
    if (it != cache.end())
        return *it;
    QIcon icon;
    icon.addPixmap(glyphPixmap(glyph, 16));
    icon.addPixmap(glyphPixmap(glyph, 32));
    cache.insert(glyph, icon);
    return icon;
}

SpeedButton::SpeedButton(const QString &name, const QString &glyph, QWidget *parent, bool toggle)
    : QToolButton(parent)
{
    setObjectName(name);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setCheckable(toggle);
    setFixedSize(23, 22);
    setIconSize(QSize(16, 16));
    if (!glyph.isEmpty())
        setIcon(glyphIcon(glyph));
}

void SpeedButton::setHint(const QString &hint)
{
    setToolTip(hint);
    setStatusTip(hint);
}

SpinEdit::SpinEdit(const QString &name, int min, int max, int value, QWidget *parent)
    : QSpinBox(parent)
    , m_bounded(min != max)
{
    setObjectName(name);
    if (m_bounded)
        setRange(min, max);
    else
        setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    setValue(value);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(true);
}

namespace {

// A sign and digits as a number, held far past 32 bits so that any run of
// digits compares as large as it is; nothing when the text is no number.
std::optional<qint64> readInteger(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == QLatin1Char('+') || text.front() == QLatin1Char('-'))) {
        negative = text.front() == QLatin1Char('-');
        text = text.mid(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    constexpr qint64 far = qint64(1) << 40;
    qint64 v = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        v = qMin(far, v * 10 + (c.unicode() - '0'));
    }
    return negative ? -v : v;
}

} // namespace

int SpinEdit::readValue(const QString &text) const
{
    const std::optional<qint64> v = readInteger(text);
    if (!v)
        return lowerBound();
    if (m_bounded)
        return int(qBound(qint64(minimum()), *v, qint64(maximum())));
    if (*v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
        return 0;
    return int(*v);
}

int SpinEdit::fieldValue() const
{
    return readValue(cleanText());
}

QValidator::State SpinEdit::validate(QString &input, int &) const
{
    // Signs and digits are never refused while typed; the number is only
    // taken as the value once it reads as one in range, as it would be shown.
    static const QRegularExpression shape(QStringLiteral("^\\s*[+-]?[0-9]*\\s*$"));
    if (!shape.match(input).hasMatch())
        return QValidator::Invalid;
    const std::optional<qint64> v = readInteger(input);
    if (!v || *v < minimum() || *v > maximum() || QString::number(*v) != input)
        return QValidator::Intermediate;
    return QValidator::Acceptable;
}

void SpinEdit::fixup(QString &input) const
{
    input = QString::number(readValue(input));
}

void SpinEdit::focusOutEvent(QFocusEvent *event)
{
    // An unreadable text reads as the lower bound once the field is left.
    const int v = fieldValue();
    QSpinBox::focusOutEvent(event);
    if (value() != v || text() != QString::number(v))
        setValue(v);
    lineEdit()->setText(QString::number(value()));
}

RadioGroup::RadioGroup(const QString &name, const QStringList &items, int columns, QWidget *parent)
    : QGroupBox(parent)
{
    setObjectName(name);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setVerticalSpacing(0);
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], this);
        b->setObjectName(name + QStringLiteral("Item%1").arg(i));
        group->addButton(b, i);
        layout->addWidget(b, i / columns, i % columns);
        m_items << b;
    }
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            emit itemIndexChanged(id);
    });
}

int RadioGroup::itemIndex() const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i]->isChecked())
            return i;
    return -1;
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < m_items.size())
        m_items[index]->setChecked(true);
}

QFont designFont()
{
    // The designed face is an 8-point system font; keep the size, take the
    // system's own family so Cyrillic renders.
    QFont f = QApplication::font();
    f.setPointSize(8);
    return f;
}

void keepWholeText(QLineEdit *edit)
{
    edit->setMaxLength(std::numeric_limits<int>::max());
}
