#pragma once

#include "scale/ScaleSettings.h"

#include <QString>
#include <QStringList>

namespace quarvel {

// Which device the scale is on. The port index of balanceset.ini names
// /dev/ttyS0-/dev/ttyS3 ("COM1"-"COM4"); a chosen device path (a USB adapter
// is /dev/ttyUSB0 or /dev/ttyACM0) takes its place and is kept in a small
// text file in DATA_SYS, so the 84-byte file keeps its layout.
class ScaleDevice {
public:
    static constexpr int kPortLimit = 1024;

    static QString fileName() { return QStringLiteral("DATA_SYS/scaleport.txt"); }

    // The chosen path, empty when the port index decides.
    QString chosen;

    // Reads the chosen path (its first line); a missing file chooses none.
    void Load(const QString &path);
    // Writes the chosen path; with none the file is removed.
    bool Save(const QString &path) const;

    // The device to open: the chosen path, else the port's device; empty
    // when the port index names no device.
    QString DeviceFor(const ScaleSettings &settings) const;
    // "/dev/ttyS<n>" for 0 <= n < 1024, else empty.
    static QString PortDevice(int index);
    // "COM<n+1>".
    static QString PortName(int index);
    // The index of a "COMn" name (case-insensitive), -1 for any other text.
    static int PortIndex(const QString &name);
    // The serial devices this machine has, by path.
    static QStringList SystemPorts();
};

} // namespace quarvel
