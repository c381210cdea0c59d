#pragma once

#include "link/serialdevice.h"

#include <QString>
#include <QStringList>
#include <optional>

class PortCatalogue;

// Which device "Com n" opens, and why.
struct PortRoute
{
    enum Source
    {
        Variable,   // the environment variable ZAV_COM<n>
        Assignment, // the adapter the technician assigned to the number
        Default,    // /dev/ttyS<n-1> (Windows: COM<n>)
    };

    int number = 0;
    QString device; // what is opened
    Source source = Default;
    QString assigned; // the stored name of an assignment (a stable by-id name, or a path)

    // "ZAV_COM3", "assigned", "default".
    QString sourceText() const;
};

// The device each Com number opens: ZAV_COM<n> when set, else the device the
// technician assigned to the number (kept per user, by its stable name, in the
// settings store "ZAV", group "Ports"), else the system's n-th serial port.
// What differs by system is in link/portlookup_unix.cpp and link/portlookup_win.cpp.
// Several links share one lookup; each asks for its own number.
class PortLookup
{
public:
    explicit PortLookup(PortCatalogue &catalogue);

    PortRoute route(int number) const;

    enum class Presence
    {
        Present,      // listed by the catalogue, or a node with something behind it
        NotConnected, // no such device now
        NoDevice,     // a node the serial driver keeps for a port no UART answers at
    };
    // Listed by the catalogue, a node with something behind it, or a device
    // that lives inside this process.
    Presence presence(const QString &device) const;
    bool isPresent(const QString &device) const { return presence(device) == Presence::Present; }
    // A device served inside this process (the demo's simulated controller),
    // which a ZAV_COM<n> may name; it is there as long as the process runs.
    void addInProcessDevice(const QString &device);
    // The device an assignment's stored name leads to now; the name itself when
    // the adapter is not plugged in (opening it says so).
    QString assignedDevice(const QString &assigned) const;
    // "present", "not connected", "no device at this node".
    static QString presenceText(Presence presence);
    // Linux: where the serial driver describes its ports (/sys/class/tty); tests use a folder of
    // their own.
    void setTtyClassDir(const QString &dir) { m_ttyClassDir = dir; }

    // Keeps the device for the number, by its stable name where it has one.
    void assign(int number, const QString &assignmentName);
    void unassign(int number);
    QString assignment(int number) const;
    bool anyAssignment() const;

    // The adapter to offer for the number at a first start: the one USB adapter
    // plugged in, when no number has an assignment, ZAV_COM<n> is not set and
    // this adapter was not offered before. Marks it offered; nullopt otherwise.
    std::optional<SerialDevice> adapterToOffer(int number);

    static QString variableName(int number);
    // /dev/ttyS<n-1>; Windows: COM<n>.
    static QString defaultDevice(int number);

    PortCatalogue &catalogue() const { return m_catalogue; }

    // The process's lookup over the system's catalogue.
    static PortLookup &system();

private:
    // The system's side of presence() (link/portlookup_unix.cpp, _win.cpp).
    Presence systemPresence(const QString &device) const;

    PortCatalogue &m_catalogue;
    QString m_ttyClassDir = QStringLiteral("/sys/class/tty");
    QStringList m_inProcess;
};
