#include "portsummary.h"

#include "text/visibletext.h"

#include <QJsonArray>
#include <QLocale>

namespace {
const QString kNotRead = QStringLiteral("-");
}

QString summaryTable(const QList<PortOutcome> &outcomes)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    struct Row
    {
        QString cells[5];
    };
    QList<Row> rows{Row{{QStringLiteral("Port"), QStringLiteral("ID number"), QStringLiteral("Identifier"),
                         QStringLiteral("Time"), QStringLiteral("Result")}}};
    for (const PortOutcome &outcome : outcomes) {
        rows.append(Row{{outcome.port, outcome.idNumber.isEmpty() ? kNotRead : outcome.idNumber,
                         outcome.identifierRead ? visibleText(outcome.identifier.trimmed()) : kNotRead,
                         locale.toString(outcome.seconds, 'f', 1) + QStringLiteral(" s"), outcome.result}});
    }
    qsizetype widths[4] = {};
    for (const Row &row : rows) {
        for (int i = 0; i < 4; ++i)
            widths[i] = qMax(widths[i], row.cells[i].size());
    }
    QString table;
    for (const Row &row : rows) {
        QString line;
        for (int i = 0; i < 4; ++i)
            line += row.cells[i].leftJustified(widths[i]) + QStringLiteral("  ");
        table += line + row.cells[4] + QLatin1Char('\n');
    }
    return table;
}

QJsonObject summaryJson(const QList<PortOutcome> &outcomes, int status)
{
    QJsonArray ports;
    for (const PortOutcome &outcome : outcomes) {
        bool isNumber = false;
        const int id = outcome.idNumber.toInt(&isNumber);
        QJsonObject object{{QStringLiteral("port"), outcome.port},
                           {QStringLiteral("device"), outcome.device},
                           {QStringLiteral("status"), outcome.status},
                           {QStringLiteral("result"), outcome.result},
                           {QStringLiteral("id"), isNumber ? QJsonValue(id) : QJsonValue()},
                           {QStringLiteral("identifier"),
                            outcome.identifierRead ? QJsonValue(outcome.identifier) : QJsonValue()},
                           {QStringLiteral("seconds"), qRound(outcome.seconds * 1000.0) / 1000.0}};
        if (!outcome.differences.isEmpty())
            object.insert(QStringLiteral("differences"), QJsonArray::fromStringList(outcome.differences));
        if (!outcome.output.isUndefined())
            object.insert(QStringLiteral("output"), outcome.output);
        ports.append(object);
    }
    return {{QStringLiteral("status"), status}, {QStringLiteral("ports"), ports}};
}

QString expandOutputPattern(const QString &pattern, int port, const QString &idNumber)
{
    QString name = pattern;
    name.replace(QLatin1String("{port}"), QString::number(port));
    name.replace(QLatin1String("{id}"), idNumber);
    return name;
}
