#include "ui/widgets.h"

#include <QApplication>

#include <QButtonGroup>
#include <QGridLayout>
#include <QHash>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QSvgRenderer>

#include <limits>

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

int SpinEdit::fieldValue() const
{
    bool ok = false;
    const qlonglong v = cleanText().trimmed().toLongLong(&ok);
    if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return lowerBound();
    if (m_bounded)
        return int(qBound(qlonglong(minimum()), v, qlonglong(maximum())));
    return int(v);
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
