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

// More rows than any list typed by hand. The program's list grows to it and
// no further; a longer list comes only from a file that holds it whole.
constexpr int kMaxCommandRows = 100000;

// A count line, then that many name/code pairs; lines missing at the end
// read as empty for a count up to kMaxCommandRows. A larger count is taken
// only when all its lines follow, so the rows read never outnumber what the
// data can hold. Otherwise (and for a count below 1) only the count line is
// consumed and the list stays as it was (nullopt).
std::optional<QList<Command>> ReadCommandBlock(TextLineReader &reader);

std::optional<QList<Command>> ParseCommandFile(const QByteArray &bytes);
QByteArray SerializeCommandFile(const QList<Command> &commands);

// The lines of a command block, for files that embed one.
QStringList CommandBlockLines(const QList<Command> &commands);
