#pragma once

#include <vector>

#include <QString>
#include <QStringList>

// A serial device the operator can point a COM name at.
struct SerialDevice {
    QString path;        // what the [Ports] group stores
    QString description; // what it is, for the operator
};

// What the system knows of one port, as the enumeration reports it.
struct SerialPortFacts {
    QString location;     // /dev/ttyUSB0
    QString description;  // "FT232R USB UART"
    QString manufacturer; // "FTDI"
    QString serialNumber; // "A10K3XYZ"
    QStringList stableLinks; // /dev/serial/by-id/... entries that lead to it
};

// The choices for the ports: every stable /dev/serial/by-id path first (they survive
// re-plugging and a change of enumeration order), then the plain device paths, each group
// sorted by path.
std::vector<SerialDevice> SerialDeviceChoices(const std::vector<SerialPortFacts> &ports);

// The serial ports present now.
std::vector<SerialPortFacts> PresentSerialPorts();
