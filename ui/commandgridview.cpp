#include "ui/commandgridview.h"

#include "core/gridmodel.h"
#include "ui/longlineedit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyledItemDelegate>

namespace {

class CommandCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The editor lays out only what it shows: a code of megabytes opens at once.
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *editor = new LongLineEdit(parent);
        editor->setFrame(false);
        auto *self = const_cast<CommandCellDelegate *>(this);
        connect(editor, &LongLineEdit::textEdited, self, [self, editor] { emit self->commitData(editor); });
        m_opening = editor;
        return editor;
    }

    // Laying out a long code to elide it costs its whole length on every
    // paint: only a start no cell can show whole is laid out.
    QString displayText(const QVariant &value, const QLocale &locale) const override
    {
        constexpr qsizetype kShown = 4096;
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString();
            if (text.size() > kShown)
                return QStyledItemDelegate::displayText(QString(text.left(kShown)), locale);
        }
        return QStyledItemDelegate::displayText(value, locale);
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        // Each keystroke comes back as a change of the cell; setting the same
        // text again would move the cursor to the end.
        auto *line = qobject_cast<LongLineEdit *>(editor);
        const bool opening = line && line == m_opening;
        if (opening)
            m_opening = nullptr;
        if (line && line->text() == index.data(Qt::EditRole).toString())
            return;
        QStyledItemDelegate::setEditorData(editor, index);
        // An editor opens with its text selected, as the views do for line edits.
        if (opening)
            line->selectAll();
    }

signals:
    void editorDoubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick)
            emit editorDoubleClicked();
        return QStyledItemDelegate::eventFilter(watched, event);
    }

private:
    mutable QPointer<LongLineEdit> m_opening;
};

} // namespace

CommandGridView::CommandGridView(QWidget *parent)
    : QTableView(parent)
    , m_model(new GridModel(2, 3, this))
{
    m_model->setFixedCellBackground(QApplication::palette().button());
    setModel(m_model);
    auto *delegate = new CommandCellDelegate(this);
    setItemDelegate(delegate);
    connect(delegate, &CommandCellDelegate::editorDoubleClicked, this, &CommandGridView::gridDoubleClicked);

    setRowHidden(0, true);
    setColumnHidden(0, true);

    QHeaderView *top = horizontalHeader();
    top->setSectionResizeMode(QHeaderView::Interactive);
    top->setSectionsClickable(false);
    top->setHighlightSections(false);
    top->setFixedHeight(20);
    setColumnWidth(1, 212);
    setColumnWidth(2, 384);

    QHeaderView *numbers = verticalHeader();
    numbers->setSectionResizeMode(QHeaderView::Fixed);
    numbers->setDefaultSectionSize(20);
    numbers->setMinimumSectionSize(16);
    numbers->setSectionsClickable(false);
    numbers->setHighlightSections(false);
    numbers->setSectionsMovable(true);
    numbers->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    numbers->setFixedWidth(64);
    connect(numbers, &QHeaderView::sectionMoved, this, &CommandGridView::rowDragged);

    // The top-left fixed cell keeps its text; Qt draws a blank select-all button there.
    setCornerButtonEnabled(false);
    for (auto *button : findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly)) {
        m_corner = button;
        button->installEventFilter(this);
    }

    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setCurrentIndex(m_model->index(1, 1));
}

int CommandGridView::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() && current.row() >= 1 ? current.row() : 1;
}

QSize CommandGridView::minimumSizeHint() const
{
    return {QTableView::minimumSizeHint().width(), 0};
}

void CommandGridView::rowDragged(int, int oldVisualIndex, int newVisualIndex)
{
    // The header only moved a picture; put it back and move the row itself,
    // number and all.
    QHeaderView *numbers = verticalHeader();
    {
        const QSignalBlocker quiet(numbers);
        numbers->moveSection(newVisualIndex, oldVisualIndex);
    }
    const int to = qMax(1, newVisualIndex);
    m_model->moveRows({}, oldVisualIndex, 1, {}, to > oldVisualIndex ? to + 1 : to);
}

void CommandGridView::showEditor()
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && state() != EditingState && (current.flags() & Qt::ItemIsEditable))
        edit(current);
}

void CommandGridView::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);
    showEditor();
}

void CommandGridView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    showEditor();
}

void CommandGridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit gridDoubleClicked();
}

bool CommandGridView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_corner && event->type() == QEvent::Paint) {
        QPainter painter(m_corner);
        QStyleOptionHeader option;
        // Drawn as the view draws its headers, though the button itself is disabled.
        option.initFrom(this);
        option.state |= QStyle::State_Raised;
        option.rect = m_corner->rect();
        option.position = QStyleOptionHeader::OnlyOneSection;
        option.orientation = Qt::Horizontal;
        option.text = m_model->cell(0, 0);
        option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        style()->drawControl(QStyle::CE_Header, &option, &painter, m_corner);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

#include "commandgridview.moc"
