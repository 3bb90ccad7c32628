#pragma once

#include "core/commandfile.h"
#include "ui/panels.h"

#include <QObject>

class GridModel;
class TransmitPath;
class TransmitTable;
class QWidget;

// The named commands of SGTransStr with LEString as the working copy of one
// of them. The list lives only in the grid's cells.
class CommandList : public QObject
{
    Q_OBJECT
public:
    // `window` parents the boxes it shows.
    CommandList(const CommandsPane &pane, const TransmitLines &lines, TransmitTable *table,
                TransmitPath *transmitPath, QWidget *window, QObject *parent = nullptr);

    // Command rows 1 to R - 1, in the order shown.
    QList<Command> commands() const;
    // Rows numbered from 1; an empty list leaves one empty command row.
    // LEString is not touched.
    void setCommands(const QList<Command> &commands);

    void SBAddGroupClick();
    void SBDelGroupClick();
    void SGTransStrClick();
    void SGTransStrSetEditText(int column, int row, const QString &text);
    void SBTransLEStrClick();
    void SGTransStrDblClick();
    void SpeedButton3Click();
    void SpeedButton4Click();

private:
    GridModel *grid() const;
    void pickCurrentRow();

    CommandsPane m_pane;
    TransmitLines m_lines;
    TransmitTable *m_table;
    TransmitPath *m_transmitPath;
    QWidget *m_window;
    // Set while the list itself rearranges rows: a current cell moved by
    // that is not the user's pick.
    bool m_rearranging = false;
};
