#pragma once

#include "scale/ScaleParser.h"
#include "scale/ScaleSettings.h"

#include <QObject>
#include <QPointer>
#include <QSerialPort>

#include <functional>

namespace quarvel {

class ScaleDevice;

// The serial link to the scale: opens the device with the settings, reads
// whenever bytes arrive (on the thread that opened it, through the event
// loop) and hands every frame's reading (a weight, or why the frame is none)
// to whoever opened it. In the "稳定/按按键" mode the port closes after one
// weight, so each opening gives one. Line errors drop what was gathered; a
// device that fails or goes away closes the link and says so. Nothing here
// waits or blocks.
class ScaleLink : public QObject {
    Q_OBJECT

public:
    // Who opened the link and what it wants to hear. Nothing is delivered
    // once the owner is gone (the link then closes).
    struct Listener {
        QPointer<QObject> owner;
        // Every frame's reading: a weight, or the reason it is none.
        std::function<void(const ScaleReading &reading)> reading;
        // The link failed and is closed: the reason, for the operator.
        std::function<void(const QString &reason)> lost;
        // When set, the bytes as they arrive, and no weights (the detector).
        std::function<void(const QByteArray &bytes)> raw;
    };

    ScaleLink(const ScaleSettings &settings, const ScaleDevice &device, QObject *parent = nullptr);
    ~ScaleLink() override;

    // The page's opening: with the stored settings, and only while the scale
    // is enabled (false and no reason otherwise). A failure keeps its reason
    // in lastError().
    bool OpenScale(Listener listener);
    // Any opening (the settings dialog's test, quarvelctl): with the given
    // settings and device whether the scale is enabled or not. Empty on
    // success, else the reason for the operator.
    QString OpenWith(const ScaleSettings &settings, const QString &device, Listener listener);
    // Closes the port; with an owner only when that owner opened it.
    void CloseScale(const QObject *owner = nullptr);

    bool isOpen() const { return port_->isOpen(); }
    QString device() const { return device_; }
    QObject *owner() const { return listener_.owner; }
    QString lastError() const { return lastError_; }
    // Readings delivered since the port was opened.
    int readings() const { return readings_; }
    // Times the gathered bytes were dropped for a line error.
    int lineErrorPurges() const { return purges_; }

    static QString OpenFailureText(const QString &device, const QString &reason);

    // How long a test reading of the scale waits (quarvelctl scale read and
    // the dialog's "获取读数"), and what is said when fewer weights came.
    static constexpr int kReadSeconds = 10;
    static QString ShortReadText(double seconds, int got, int wanted, const QString &device);

private:
    QString configure(const ScaleSettings &settings);
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    bool lineErrorsSinceLastLook();
    void deliver(const ScaleReading &reading);
    QString openFailureReason(const QString &device) const;

    const ScaleSettings &stored_;
    const ScaleDevice &storedDevice_;
    QSerialPort *port_;
    ScaleParser parser_;
    Listener listener_;
    QString device_;
    QString lastError_;
    bool onStable_ = false;
    bool busy_ = false;
    int session_ = 0;
    int readings_ = 0;
    int purges_ = 0;
    bool lineCountersWork_ = false;
    qint64 lineErrors_ = 0;
};

} // namespace quarvel
