#include "units/commandlist.h"

#include "core/bytefile.h"
#include "core/bytetext.h"
#include "core/gridmodel.h"
#include "ui/commandgridview.h"
#include "ui/prompts.h"
#include "units/transmitpath.h"
#include "units/transmittable.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

enum Column { NumberColumn = 0, NameColumn = 1, CodeColumn = 2 };

} // namespace

CommandList::CommandList(const CommandsPane &pane, const TransmitLines &lines, TransmitTable *table,
                         TransmitPath *transmitPath, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_pane(pane)
    , m_lines(lines)
    , m_table(table)
    , m_transmitPath(transmitPath)
    , m_window(window)
{
}

GridModel *CommandList::grid() const
{
    return m_pane.SGTransStr->grid();
}

QList<Command> CommandList::commands() const
{
    QList<Command> list;
    const GridModel *g = grid();
    for (int r = 1; r < g->rowCount(); ++r)
        list.append({g->cell(NameColumn, r), g->cell(CodeColumn, r)});
    return list;
}

void CommandList::setCommands(const QList<Command> &commands)
{
    QList<QStringList> rows;
    rows.reserve(commands.size());
    for (int i = 0; i < commands.size(); ++i)
        rows.append({QString::number(i + 1), commands[i].name, commands[i].code});
    if (rows.isEmpty())
        rows.append({QStringLiteral("1"), QString(), QString()});
    m_rearranging = true;
    grid()->setBodyRows(rows);
    m_rearranging = false;
}

void CommandList::SBAddGroupClick()
{
    GridModel *g = grid();
    const int r = g->rowCount();
    // Row 0 is the heading: r - 1 commands so far. The list stays within
    // what the settings and command files read back.
    if (r - 1 >= kMaxCommandRows) {
        prompts().message(m_window, QStringLiteral("В списке уже %1 команд: больше добавить нельзя").arg(r - 1));
        return;
    }
    m_rearranging = true;
    g->setRowCount(r + 1);
    m_rearranging = false;
    g->setCell(NumberColumn, r, QString::number(r));
}

void CommandList::SBDelGroupClick()
{
    GridModel *g = grid();
    const int rows = g->rowCount();
    if (rows <= 2) {
        g->setCell(NameColumn, 1, QString());
        g->setCell(CodeColumn, 1, QString());
        return;
    }
    // Texts move up over the deleted one; the numbers stay where they are.
    for (int r = m_pane.SGTransStr->currentRow(); r <= rows - 2; ++r) {
        g->setCell(NameColumn, r, g->cell(NameColumn, r + 1));
        g->setCell(CodeColumn, r, g->cell(CodeColumn, r + 1));
    }
    g->setCell(NameColumn, rows - 1, QString());
    g->setCell(CodeColumn, rows - 1, QString());
    m_rearranging = true;
    g->setRowCount(rows - 1);
    m_rearranging = false;
}

void CommandList::pickCurrentRow()
{
    const int row = m_pane.SGTransStr->currentRow();
    m_pane.LEString->setText(grid()->cell(CodeColumn, row));
    m_pane.LEStringLabel->setText(grid()->cell(NameColumn, row));
}

void CommandList::SGTransStrClick()
{
    if (!m_rearranging)
        pickCurrentRow();
}

void CommandList::SGTransStrSetEditText(int, int, const QString &)
{
    if (!m_rearranging)
        pickCurrentRow();
}

void CommandList::SBTransLEStrClick()
{
    m_transmitPath->SendLine(m_pane.LEString->text());
}

void CommandList::SGTransStrDblClick()
{
    // Characters are taken as bytes as they stand: no "$" notation here.
    QByteArray bytes = cp1251Encode(grid()->cell(CodeColumn, m_pane.SGTransStr->currentRow()));
    if (m_lines.ChBCR->isChecked())
        bytes += "\r\n";
    m_table->loadBytes(bytes);
}

void CommandList::SpeedButton3Click()
{
    const std::optional<QByteArray> file = readChosenFile(m_window, openDialogCmdSpec());
    if (!file)
        return;
    const QByteArray &bytes = *file;
    if (const std::optional<QList<Command>> list = ParseCommandFile(bytes)) {
        setCommands(*list);
        return;
    }
    // A count of none or fewer leaves the list alone, as it always did. A
    // positive count that did not read is past any list typed by hand (or
    // past 32 bits): the file is something else.
    TextLineReader reader(bytes);
    const QString count = reader.next().trimmed();
    static const QRegularExpression positive(QStringLiteral("^\\+?0*[1-9][0-9]*$"));
    if (positive.match(count).hasMatch())
        prompts().message(m_window, QStringLiteral("Неверный формат файла команд"));
}

void CommandList::SpeedButton4Click()
{
    const std::optional<QString> name = prompts().fileName(m_window, saveDialogCmdSpec());
    if (!name)
        return;
    QString error;
    if (!WriteByteFile(*name, SerializeCommandFile(commands()), &error))
        fileError(m_window, *name, error);
}
