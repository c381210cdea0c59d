#include "ui/portpanel.h"

#include "link/link.h"
#include "link/portcatalogue.h"
#include "link/portlookup.h"
#include "link/serialport.h"
#include "ui/assignportdialog.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

PortPanel::PortPanel(QWidget *page, QComboBox *comboCom, Link &link, PortLookup &lookup)
    : QObject(page), m_comboCom(comboCom), m_link(link), m_lookup(lookup)
{
    // In the free space right of the list and below it, above TDebug.
    m_route = new QLabel(page);
    m_route->setObjectName(QStringLiteral("portRoute"));
    m_route->setGeometry(twipsRect(2535, 720, 4545, 285));
    m_assign = new QPushButton(tr("Assign..."), page);
    m_assign->setObjectName(QStringLiteral("assignPort"));
    m_assign->setToolTip(tr("Assign a serial adapter to a Com number"));
    m_assign->setGeometry(twipsRect(1200, 1080, 1215, 345));
    m_adapter = new QLabel(page);
    m_adapter->setObjectName(QStringLiteral("portAdapter"));
    m_adapter->setGeometry(twipsRect(2535, 1125, 4545, 255));

    connect(m_assign, &QPushButton::clicked, this, [this] {
        if (!refusedWhileBusy || !refusedWhileBusy())
            assignAdapter();
    });
    // After the list's own handler (the port trial) has run.
    const auto later = [this] { QTimer::singleShot(0, this, &PortPanel::showRoute); };
    connect(m_comboCom, &QComboBox::currentIndexChanged, this, later);
    connect(m_comboCom, &QComboBox::editTextChanged, this, later);

    m_look.setInterval(kLookIntervalMs);
    connect(&m_look, &QTimer::timeout, this, &PortPanel::look);
}

int PortPanel::chosenNumber() const
{
    return m_comboCom->currentIndex() + 1;
}

int PortPanel::awaitedPort() const
{
    const int kept = keptPort ? keptPort() : 0;
    return kept > 0 && kept != chosenNumber() ? kept : 0;
}

bool PortPanel::look()
{
    if (m_link.busy())
        return false;
    const bool changed = m_lookup.catalogue().refresh();
    // The adapter the session fell back from is back: its number is the choice again.
    const int awaited = awaitedPort();
    if (awaited > 0 && returnToPort && m_lookup.isPresent(m_lookup.route(awaited).device))
        returnToPort(awaited);
    followRoute();
    showRoute();
    return changed;
}

void PortPanel::followRoute()
{
    SerialPort &port = m_link.port();
    const int number = port.portNumber();
    if (m_link.busy() || port.isOpen() || number < 1)
        return;
    if (m_lookup.route(number).device != port.deviceName())
        port.setPortNumber(number);
}

void PortPanel::showRoute()
{
    const int number = chosenNumber();
    if (number < 1) {
        m_route->clear();
        m_adapter->clear();
        return;
    }
    const PortRoute route = m_lookup.route(number);
    const PortLookup::Presence presence = m_lookup.presence(route.device);
    QString line =
        tr("opens %1 (%2), %3").arg(route.device, route.sourceText(), PortLookup::presenceText(presence));
    QString tip = tr("Com%1: opens %2").arg(number).arg(route.device);
    if (route.source == PortRoute::Assignment)
        tip += tr("\nassigned: ") + route.assigned;
    // zav.ini keeps the assigned number; until its adapter is back the session uses this one.
    if (const int awaited = awaitedPort()) {
        const PortRoute kept = m_lookup.route(awaited);
        line = tr("Com%1: not connected; ").arg(awaited) + line;
        tip += QLatin1Char('\n') + tr("Com%1: %2 (assigned), not connected; zav.ini keeps Com%1")
                                       .arg(awaited)
                                       .arg(kept.assigned.isEmpty() ? kept.device : kept.assigned);
    }
    // A long by-id name gives way in its middle, so the states at both ends stay in view.
    const QString shown =
        m_route->fontMetrics().elidedText(line, Qt::ElideMiddle, m_route->contentsRect().width());
    m_route->setText(shown);
    if (shown != line)
        tip = line + QLatin1Char('\n') + tip;
    m_route->setToolTip(tip);
    // What the catalogue knows of the device, when it has looked already.
    const SerialDevice *device = m_lookup.catalogue().find(route.device);
    m_adapter->setText(device ? device->summary() : QString());
    m_adapter->setToolTip(device ? device->stableName : QString());
}

void PortPanel::assignAdapter(const QString &intro, const QString &preselect)
{
    m_lookup.catalogue().refresh();
    AssignPortDialog dialog(m_lookup, qMax(chosenNumber(), 1), intro, m_comboCom->window());
    if (!preselect.isEmpty())
        dialog.select(preselect);
    dialog.exec();
    followRoute();
    showRoute();
}

void PortPanel::offerSingleAdapter()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return;
    const int number = chosenNumber();
    const std::optional<SerialDevice> offer = m_lookup.adapterToOffer(number);
    if (!offer)
        return;
    const SerialDevice &adapter = *offer;
    assignAdapter(tr("One USB serial adapter is plugged in: %1 (%2). \"Com%3:\" opens %4. "
                     "Assign the adapter to \"Com%3:\"?")
                      .arg(adapter.path, adapter.summary())
                      .arg(number)
                      .arg(m_lookup.route(number).device),
                  adapter.path);
}
