#pragma once

#include <QTableView>

class GridModel;

// The command list grid. Row 0 and column 0 of the model are its fixed cells:
// they are drawn as the headers, so columns are sized on the top header and a
// row is dragged to another place by its number on the left, the number
// travelling with the row. Names and codes are edited in place; every
// keystroke reaches the model at once.
class CommandGridView : public QTableView
{
    Q_OBJECT
public:
    explicit CommandGridView(QWidget *parent = nullptr);
    GridModel *grid() const { return m_model; }

    // The current command row (1 when there is no current cell).
    int currentRow() const;
    // The list gives way first when the window gets small: no least height.
    QSize minimumSizeHint() const override;

signals:
    // A double click on the grid or on its in-place editor.
    void gridDoubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The current name or code cell is always open in its editor.
    void showEditor();
    void rowDragged(int logicalIndex, int oldVisualIndex, int newVisualIndex);

    GridModel *m_model;
    QWidget *m_corner = nullptr;
};
