#include "core/commandfile.h"

std::optional<QList<Command>> ReadCommandBlock(TextLineReader &reader)
{
    const std::optional<qint32> count = parseDecimalLine(reader.next());
    if (!count || *count <= 0)
        return std::nullopt;
    // Past the bound only a list the data holds whole is taken: a count far
    // beyond the lines that follow cannot make rows out of nothing.
    if (*count > kMaxCommandRows && !reader.holdsLines(2 * qint64(*count)))
        return std::nullopt;
    QList<Command> commands;
    commands.reserve(*count);
    for (qint32 i = 0; i < *count; ++i) {
        Command c;
        c.name = reader.next();
        c.code = reader.next();
        commands.append(c);
    }
    return commands;
}

std::optional<QList<Command>> ParseCommandFile(const QByteArray &bytes)
{
    TextLineReader reader(bytes);
    return ReadCommandBlock(reader);
}

QStringList CommandBlockLines(const QList<Command> &commands)
{
    QStringList lines;
    lines.reserve(1 + 2 * commands.size());
    lines << QString::number(commands.size());
    for (const Command &c : commands)
        lines << c.name << c.code;
    return lines;
}

QByteArray SerializeCommandFile(const QList<Command> &commands)
{
    return WriteTextLines(CommandBlockLines(commands));
}
