#include "core/portfailure.h"

#include <QStringList>

namespace portfailure {

QString unsupportedSetting(const PortSettings &s)
{
    if (s.BaudRate <= 0)
        return QStringLiteral("скорость %1").arg(s.BaudRate);
    if (s.ByteSize < 5 || s.ByteSize > 8)
        return QStringLiteral("%1 бита данных").arg(s.ByteSize);
    if (s.Parity > 4)
        return QStringLiteral("паритет не выбран");
    if (s.StopBits == 1)
        return QStringLiteral("1,5 стоп-бита"); // termios has one or two
    if (s.StopBits > 2)
        return QStringLiteral("число стоп-битов не выбрано");
    return {};
}

QString failureText(PortProblem problem, const QString &path, const QString &detail)
{
    switch (problem) {
    case PortProblem::None:
        return {};
    case PortProblem::Missing:
        return QStringLiteral("Устройство %1 не существует. Проверьте имя порта и что адаптер подключён.").arg(path);
    case PortProblem::NoPermission:
        if (detail.isEmpty())
            return QStringLiteral("Нет прав на доступ к %1.").arg(path);
        return QStringLiteral("Нет прав на доступ к %1 (владелец — группа %2): добавьте пользователя в группу %2 "
                              "и войдите в систему заново.")
            .arg(path, detail);
    case PortProblem::Busy:
        if (detail.isEmpty())
            return QStringLiteral("Порт %1 занят другой программой. Закройте её и откройте порт снова.").arg(path);
        return QStringLiteral("Порт %1 занят другой программой (%2). Закройте её и откройте порт снова.")
            .arg(path, detail);
    case PortProblem::Unsupported:
        return QStringLiteral("Порт %1 не может работать с настройкой «%2». Выберите другое значение в "
                              "настройках порта.")
            .arg(path, detail);
    case PortProblem::Other:
        if (detail.isEmpty())
            return QStringLiteral("Не удалось открыть %1.").arg(path);
        return QStringLiteral("Не удалось открыть %1: %2.").arg(path, detail);
    }
    return {};
}

QString shortReason(PortProblem problem, const QString &detail)
{
    switch (problem) {
    case PortProblem::None:
        return {};
    case PortProblem::Missing:
        return QStringLiteral("не существует");
    case PortProblem::NoPermission:
        return detail.isEmpty() ? QStringLiteral("нет прав доступа")
                                : QStringLiteral("нет прав доступа (группа %1)").arg(detail);
    case PortProblem::Busy:
        return detail.isEmpty() ? QStringLiteral("занят другой программой")
                                : QStringLiteral("занят другой программой (%1)").arg(detail);
    case PortProblem::Unsupported:
        return QStringLiteral("не поддерживает «%1»").arg(detail);
    case PortProblem::Other:
        return detail.isEmpty() ? QStringLiteral("не открывается") : detail;
    }
    return {};
}

QString describe(const PortFacts &f)
{
    // The box shows the name; for a link, say which device it leads to.
    const QString head = f.target.isEmpty() ? f.path : QStringLiteral("→ ") + f.target;
    if (f.problem == PortProblem::Missing)
        return head + QStringLiteral(": нет такого устройства");
    QStringList parts;
    if (!f.description.isEmpty())
        parts << f.description;
    if (!f.manufacturer.isEmpty() && !f.description.contains(f.manufacturer))
        parts << f.manufacturer;
    if (!f.serialNumber.isEmpty())
        parts << QStringLiteral("серийный номер %1").arg(f.serialNumber);
    if (f.vendorId && f.productId)
        parts << QStringLiteral("%1:%2").arg(*f.vendorId, 4, 16, QLatin1Char('0')).arg(*f.productId, 4, 16,
                                                                                       QLatin1Char('0'));
    if (parts.isEmpty())
        parts << (f.listed ? QStringLiteral("последовательный порт") : QStringLiteral("устройство"));
    QString text = head + QStringLiteral(": ") + parts.join(QStringLiteral(", "));
    if (f.problem != PortProblem::None)
        text += QStringLiteral("; ") + shortReason(f.problem, f.detail);
    return text;
}

} // namespace portfailure
