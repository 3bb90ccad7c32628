#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

class QRadioButton;

// Flat 23x22 button with a small glyph; toggles stay down until pressed again.
// Handlers connect to clicked(), which a click by the user (or click()) emits
// and setChecked() from code does not.
class SpeedButton : public QToolButton
{
    Q_OBJECT
public:
    SpeedButton(const QString &name, const QString &glyph, QWidget *parent, bool toggle = false);
    // Sets the down state of a toggle without running its click handler.
    void setDown(bool down) { setChecked(down); }
    bool down() const { return isChecked(); }
    void setHint(const QString &hint);
};

// Integer field. Any sign and digits may be typed; nothing typed is dropped.
// A bounded field brings the typed number into range when it loses the focus
// (or Enter is pressed) and whenever its value is read; an unbounded one takes
// any 32-bit value, and a text that does not read as one (no number, or past
// 32 bits) counts as 0. An empty text counts as the lower bound.
class SpinEdit : public QSpinBox
{
    Q_OBJECT
public:
    // min == max means "no range".
    SpinEdit(const QString &name, int min, int max, int value, QWidget *parent);
    bool bounded() const { return m_bounded; }
    int lowerBound() const { return m_bounded ? minimum() : 0; }
    // The value as the field's text reads now, before any focus-out correction.
    int fieldValue() const;

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int readValue(const QString &text) const;

    bool m_bounded;
};

// A box of radio buttons with one selected item index.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    RadioGroup(const QString &name, const QStringList &items, int columns, QWidget *parent);
    int itemIndex() const;
    void setItemIndex(int index);
    QList<QRadioButton *> items() const { return m_items; }

signals:
    void itemIndexChanged(int index);

private:
    QList<QRadioButton *> m_items;
};

QFont designFont();

// Qt's line edits cut text past 32767 characters; the program's edits keep
// whatever they are given.
void keepWholeText(QLineEdit *edit);

// Renders one of the SVG glyphs under :/glyphs at the given size.
QIcon glyphIcon(const QString &glyph);
QPixmap glyphPixmap(const QString &glyph, int size);
