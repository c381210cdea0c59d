#pragma once

#include <QJsonObject>
#include <QString>

class PortLookup;

// zavctl ports: the serial devices the system has and, for Com1 to Com9, the
// device each opens and where that comes from.
QString portsText(PortLookup &lookup);
QJsonObject portsJson(PortLookup &lookup);
