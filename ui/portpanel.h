#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class Link;
class PortLookup;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

// Beside the port list ComboCom: which device the chosen Com number opens,
// whether it is there now, and the button that assigns a detected adapter to a
// number. A cheap periodic look notices adapters plugged in or pulled out,
// never while the link is busy, and points the port at wherever its assigned
// adapter is now.
class PortPanel : public QObject
{
    Q_OBJECT

public:
    static constexpr int kLookIntervalMs = 2000;

    PortPanel(QWidget *page, QComboBox *comboCom, Link &link, PortLookup &lookup);

    // True (and the reason said in the status line) while an operation holds the line.
    std::function<bool()> refusedWhileBusy;
    // The assigned Com number the session fell back from (0 none), and how to pick
    // it again once its adapter is back.
    std::function<int()> keptPort;
    std::function<void(int)> returnToPort;

    void startLooking() { m_look.start(); }
    // One periodic look; true when the devices changed.
    bool look();
    void showRoute();
    // The list of adapters to assign one to a Com number.
    void assignAdapter(const QString &intro = QString(), const QString &preselect = QString());
    // A first start with exactly one USB adapter and no assignment offers it for
    // the port in use. Asked once per adapter; never with ZAV_COM<n> set or
    // without a screen.
    void offerSingleAdapter();

    QLabel *routeLabel() const { return m_route; }
    QLabel *adapterLabel() const { return m_adapter; }

private:
    int chosenNumber() const;
    // Reopens the port's number when the device behind it moved.
    void followRoute();
    // The kept port, when the session runs on another one; 0 otherwise.
    int awaitedPort() const;

    QComboBox *m_comboCom;
    Link &m_link;
    PortLookup &m_lookup;
    QLabel *m_route;
    QLabel *m_adapter;
    QPushButton *m_assign;
    QTimer m_look;
};
