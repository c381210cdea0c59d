#include "link/deviceinstanceid.h"

#include <QRegularExpression>
#include <QStringList>

DeviceInstanceId DeviceInstanceId::parse(const QString &id)
{
    DeviceInstanceId parsed;
    static const QRegularExpression ids(QStringLiteral("VID_([0-9A-Fa-f]{4})[&+]PID_([0-9A-Fa-f]{4})"));
    const QRegularExpressionMatch match = ids.match(id);
    if (match.hasMatch()) {
        parsed.hasUsbIds = true;
        parsed.vendorId = quint16(match.captured(1).toUInt(nullptr, 16));
        parsed.productId = quint16(match.captured(2).toUInt(nullptr, 16));
    }
    const QStringList parts = id.split(QLatin1Char('\\'));
    if (parts.size() != 3 || !parsed.hasUsbIds)
        return parsed;
    const QString bus = parts.at(0).toUpper();
    if (bus == QLatin1String("USB")) {
        // An interface of a composite device, or an id made up from the socket.
        if (parts.at(1).contains(QLatin1String("&MI_"), Qt::CaseInsensitive) ||
            parts.at(2).contains(QLatin1Char('&')))
            return parsed;
        parsed.serialNumber = parts.at(2);
    } else if (bus == QLatin1String("FTDIBUS")) {
        // VID_0403+PID_6001+A50285BIA: the serial number with the channel letter behind it.
        const QStringList fields = parts.at(1).split(QLatin1Char('+'));
        if (fields.size() == 3 && fields.at(2).size() > 1)
            parsed.serialNumber = fields.at(2).chopped(1);
    }
    return parsed;
}
