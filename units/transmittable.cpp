#include "units/transmittable.h"

#include "core/bytetext.h"
#include "core/transmittablemodel.h"
#include "ui/bytetableview.h"
#include "ui/widgets.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace {

// Hands every keystroke of the cell editor to the model at once, so the
// companion cell follows while the user types and a send in the middle of an
// edit reads what is typed so far.
class KeystrokeDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            keepWholeText(line);
            auto *self = const_cast<KeystrokeDelegate *>(this);
            connect(line, &QLineEdit::textEdited, self, [self, line] { emit self->commitData(line); });
        }
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        // The model echoes each keystroke back; rewriting the same text would
        // move the cursor to the end and drop the editor's undo history.
        if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            const QString text = index.data(Qt::EditRole).toString();
            if (line->text() != text)
                line->setText(text);
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }
};

} // namespace

TransmitTable::TransmitTable(const TransmitBar &bar, const TransmitLines &lines, QObject *parent)
    : QObject(parent)
    , m_bar(bar)
    , m_lines(lines)
    , m_model(new TransmitTableModel(this))
{
    bar.SGTrans->setItemDelegate(new KeystrokeDelegate(bar.SGTrans));
    // A table that grows by a load or a resize stays where the user looks.
    bar.SGTrans->setFollowsEnd(false);
}

void TransmitTable::initTransmitBuffer()
{
    TransmitArray = QByteArray(1, '\0');
    TransmitCount = 1;
}

int TransmitTable::dataColumnCount() const
{
    return m_model->dataColumnCount();
}

int TransmitTable::currentColumn() const
{
    const int c = m_bar.SGTrans->currentIndex().column();
    return qBound(1, c, qMax(1, dataColumnCount()));
}

QByteArray TransmitTable::tableBytes() const
{
    return m_model->readBytes();
}

void TransmitTable::readTableIntoTransmitArray()
{
    TransmitArray = tableBytes();
}

void TransmitTable::showBytes(const QByteArray &bytes)
{
    m_model->setBytes(bytes);
}

void TransmitTable::loadBytes(const QByteArray &bytes)
{
    SpinEdit *size = m_bar.SESizeTrans;
    // The field's change handler resizes the table to what it shows; the
    // bytes then set the true column count.
    size->setValue(int(qBound(qsizetype(size->minimum()), bytes.size(), qsizetype(size->maximum()))));
    if (bytes.isEmpty()) {
        m_model->setBytes(QByteArray(1, '\0'));
        m_model->clearTexts(1, 1);
        return;
    }
    m_model->setBytes(bytes);
}

void TransmitTable::SGTransSetEditText(int column, int row, const QString &text)
{
    if (row == TransmitTableModel::HexRow) {
        m_model->setAsciiText(column, QString(cp1251ToUnicode(HexCellByte(text))));
    } else if (row == TransmitTableModel::AsciiRow) {
        // Only the first character counts; the cell keeps all that was typed.
        m_model->setHexText(column, text.isEmpty() ? QStringLiteral("00") : hexPair(unicodeToCp1251(text.at(0))));
    }
}

void TransmitTable::SESizeTransChange()
{
    const int n = m_bar.SESizeTrans->fieldValue();
    m_model->setDataColumnCount(n);
    m_model->renumber(1, n);
}

void TransmitTable::SBClearTransClick()
{
    TransmitArray.clear();
    TransmitCount = 0;
    m_lines.EditString[0]->clear();
    m_model->clearTexts(1, dataColumnCount());
    m_model->setDataColumnCount(1);
    m_bar.SESizeTrans->setValue(1);
}

void TransmitTable::SBInsClick()
{
    insertByte(false);
}

void TransmitTable::miInsertbyteClick()
{
    insertByte(true);
}

void TransmitTable::SBDelClick()
{
    deleteByte(false);
}

void TransmitTable::miDeletebyteClick()
{
    deleteByte(true);
}

void TransmitTable::insertByte(bool fromMenu)
{
    const int k = currentColumn();
    const int n = dataColumnCount() + 1;
    m_model->setDataColumnCount(n);
    // The menu keeps the size field equal to the byte count (it cannot go
    // past its maximum); the button only numbers the new column.
    if (fromMenu)
        setSizeField(n);
    else
        m_model->setNumberText(n, QString::number(n));
    m_model->shiftTextsRight(k, n);
}

void TransmitTable::deleteByte(bool fromMenu)
{
    const int k = currentColumn();
    const int n = dataColumnCount();
    if (n <= 1) {
        // The menu leaves a one-byte table alone; the button empties the byte.
        if (!fromMenu)
            m_model->clearTexts(1, 1);
        return;
    }
    m_model->shiftTextsLeft(k, n);
    if (fromMenu)
        m_model->clearTexts(n, n);
    m_model->setDataColumnCount(n - 1);
    if (fromMenu)
        setSizeField(n - 1);
}

void TransmitTable::setSizeField(int n)
{
    SpinEdit *field = m_bar.SESizeTrans;
    if (n <= field->maximum()) {
        field->setValue(n);
        return;
    }
    // A table longer than the field can show (a loaded file, a frame) must
    // not be cut down to the field's maximum by the field's change handler.
    if (field->value() == field->maximum())
        return;
    {
        const QSignalBlocker quiet(field);
        field->setValue(field->maximum());
    }
    m_model->renumber(1, field->maximum());
}
