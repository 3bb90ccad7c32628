#pragma once

#include "core/portsettings.h"
#include "core/commandfile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

// The settings files' formats, field by field, little-endian.

constexpr qsizetype kPortSettingsRecordSize = 16;
constexpr qsizetype kViewSettingsRecordSize = 48;

// Name cut to 4 characters (cp1251); reserved bytes written as 0.
QByteArray EncodePortSettingsRecord(const PortSettings &settings);
// nullopt when shorter than a record; only the first record counts.
std::optional<PortSettings> DecodePortSettingsRecord(QByteArrayView bytes);

struct ViewSettings {
    bool asciiEntry = false, appendCr = false, textWindowOn = false, showReceiveTable = true;
    qint32 lengthPulse = 0, lengthPause = 0, countPulse = 0;
    qint32 mainWidth = 0, mainHeight = 0, mainTop = 0, mainLeft = 0;
    qint32 textWidth = 0, textHeight = 0, textTop = 0, textLeft = 0;
    bool operator==(const ViewSettings &) const = default;
};

QByteArray EncodeViewSettingsRecord(const ViewSettings &settings);
std::optional<ViewSettings> DecodeViewSettingsRecord(QByteArrayView bytes);

struct StringsFileContent {
    QStringList lines; // the ten transmit lines
    QString leString, leLabel;
    std::optional<QList<Command>> commands; // nullopt: the list stays as it is
    qint32 divider = 5, qPulseInPaket = 1, qPauseInPaket = 1;
    // The port name whole; the 16-byte record keeps only four characters.
    // Empty when the file has none that matches the record.
    QString fullPortName;
    bool operator==(const StringsFileContent &) const = default;
};

// Numbers are not clamped here; the spin edits do that.
StringsFileContent ParseStringsFile(const QByteArray &bytes, const QString &recordPortName);
QByteArray SerializeStringsFile(const StringsFileContent &content);
