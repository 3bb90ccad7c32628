#pragma once

#include "core/textfile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

struct Command {
    QString name, code;
    bool operator==(const Command &) const = default;
};

// More rows than any list typed by hand; a larger count is taken for a
// damaged file rather than a reason to allocate without end.
constexpr int kMaxCommandRows = 100000;

// A count line, then that many name/code pairs; lines missing at the end
// read as empty. When the count is not a number from 1 to kMaxCommandRows,
// only the count line is consumed and the list stays as it was (nullopt).
std::optional<QList<Command>> ReadCommandBlock(TextLineReader &reader);

std::optional<QList<Command>> ParseCommandFile(const QByteArray &bytes);
QByteArray SerializeCommandFile(const QList<Command> &commands);

// The lines of a command block, for files that embed one.
QStringList CommandBlockLines(const QList<Command> &commands);
