#include "core/commandfile.h"

std::optional<QList<Command>> ReadCommandBlock(TextLineReader &reader)
{
    const std::optional<qint32> count = parseDecimalLine(reader.next());
    if (!count || *count <= 0 || *count > kMaxCommandRows)
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
