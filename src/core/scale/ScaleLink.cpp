#include "scale/ScaleLink.h"

#include "scale/ScaleDevice.h"

#include <QFileInfo>
#include <QTimer>

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace quarvel {

namespace {

// What the driver keeps of its own: four kilobytes, as the port's driver
// buffers were; a stalled reader cannot grow it further.
constexpr qint64 kReadBuffer = 4096;

} // namespace

ScaleLink::ScaleLink(const ScaleSettings &settings, const ScaleDevice &device, QObject *parent)
    : QObject(parent), stored_(settings), storedDevice_(device), port_(new QSerialPort(this))
{
    port_->setReadBufferSize(kReadBuffer);
    connect(port_, &QSerialPort::readyRead, this, &ScaleLink::onReadyRead);
    connect(port_, &QSerialPort::errorOccurred, this, &ScaleLink::onError);
}

ScaleLink::~ScaleLink()
{
    CloseScale();
}

QString ScaleLink::OpenFailureText(const QString &device, const QString &reason)
{
    return QStringLiteral("电子秤端口 %1 打开失败：%2").arg(device, reason);
}

QString ScaleLink::ShortReadText(double seconds, int got, int wanted, const QString &device)
{
    return QStringLiteral("%1 秒内收到 %2 个读数，不足 %3 个：请检查电子秤和连接端口 %4。")
        .arg(seconds)
        .arg(got)
        .arg(wanted)
        .arg(device);
}

bool ScaleLink::OpenScale(Listener listener)
{
    lastError_.clear();
    if (!stored_.isEnabled())
        return false;
    lastError_ = OpenWith(stored_, storedDevice_.DeviceFor(stored_), std::move(listener));
    return lastError_.isEmpty();
}

QString ScaleLink::OpenWith(const ScaleSettings &settings, const QString &device, Listener listener)
{
    CloseScale();
    busy_ = false;
    readings_ = 0;
    parser_.setSettings(settings);
    if (device.isEmpty())
        return lastError_ = OpenFailureText(ScaleDevice::PortName(settings.port), QStringLiteral("端口号无效"));
    if (const QString reason = openFailureReason(device); !reason.isEmpty())
        return lastError_ = OpenFailureText(device, reason);
    port_->setPortName(device);
    if (!port_->open(QIODevice::ReadWrite)) {
        const QString reason = port_->error() == QSerialPort::PermissionError
                                   ? QStringLiteral("没有访问权限，或已被其他程序占用")
                                   : QStringLiteral("不是可用的串口设备（%1）").arg(port_->errorString());
        return lastError_ = OpenFailureText(device, reason);
    }
    if (const QString reason = configure(settings); !reason.isEmpty()) {
        port_->close();
        return lastError_ = OpenFailureText(device, reason);
    }
    port_->clear();
    lineCountersWork_ = true;
    lineErrorsSinceLastLook();
    device_ = device;
    onStable_ = settings.onStable();
    listener_ = std::move(listener);
    ++session_;
    lastError_.clear();
    return QString();
}

QString ScaleLink::openFailureReason(const QString &device) const
{
    const QFileInfo info(device);
    if (!info.exists())
        return QStringLiteral("设备不存在");
    if (info.isDir() || info.isFile())
        return QStringLiteral("不是串口设备");
    return QString();
}

QString ScaleLink::configure(const ScaleSettings &s)
{
    static const QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                                   QSerialPort::EvenParity, QSerialPort::MarkParity};
    static const QSerialPort::StopBits stops[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                  QSerialPort::TwoStop};
    const QString unsupported = QStringLiteral("本机串口不支持%1 %2");
    if (s.baud <= 0 || !port_->setBaudRate(s.baud))
        return unsupported.arg(QStringLiteral("波特率"), QString::number(s.baud));
    if (s.dataBits < 5 || s.dataBits > 8 || !port_->setDataBits(QSerialPort::DataBits(s.dataBits)))
        return unsupported.arg(QStringLiteral("数据位"), QString::number(s.dataBits));
    if (s.parity > 3 || !port_->setParity(parities[s.parity]))
        return unsupported.arg(QStringLiteral("奇偶校验"), s.parityLetter());
    if (s.stopBits > 2 || !port_->setStopBits(stops[s.stopBits]))
        return unsupported.arg(QStringLiteral("停止位"), s.stopBitsText());
    if (!port_->setFlowControl(QSerialPort::NoFlowControl))
        return unsupported.arg(QStringLiteral("流控制"), QStringLiteral("无"));
    return QString();
}

void ScaleLink::CloseScale(const QObject *owner)
{
    if (owner && listener_.owner != owner)
        return;
    if (port_->isOpen()) {
        port_->clear();
        port_->close();
    }
    parser_.Clear();
    listener_ = Listener();
    device_.clear();
    ++session_;
}

bool ScaleLink::lineErrorsSinceLastLook()
{
    // Framing, parity, break and overrun counts of the serial driver; a
    // pseudo-terminal or an adapter without them simply has none.
    if (!lineCountersWork_)
        return false;
    serial_icounter_struct counts{};
    if (::ioctl(int(port_->handle()), TIOCGICOUNT, &counts) != 0) {
        lineCountersWork_ = false;
        return false;
    }
    const qint64 errors = qint64(counts.frame) + counts.parity + counts.brk + counts.overrun + counts.buf_overrun;
    const bool changed = errors != lineErrors_;
    lineErrors_ = errors;
    return changed;
}

void ScaleLink::onReadyRead()
{
    if (busy_ || !port_->isOpen())
        return;
    if (!listener_.owner) {
        CloseScale();
        return;
    }
    busy_ = true;
    if (lineErrorsSinceLastLook()) {
        // The frame being gathered lost bytes: drop it and whatever the
        // driver holds, and go on with the next bytes.
        port_->clear(QSerialPort::AllDirections);
        port_->readAll();
        parser_.Clear();
        ++purges_;
        busy_ = false;
        return;
    }
    const int session = session_;
    while (session == session_ && port_->isOpen() && port_->bytesAvailable() > 0) {
        const QByteArray bytes = port_->read(ScaleParser::kReadLimit);
        if (listener_.raw) {
            listener_.raw(bytes);
            continue;
        }
        for (const ScaleReading &reading : parser_.Read(bytes)) {
            if (session != session_)
                break;
            deliver(reading);
        }
    }
    busy_ = false;
}

void ScaleLink::deliver(const ScaleReading &reading)
{
    ++readings_;
    const Listener listener = listener_;
    // One weight per opening: the port closes before the weight is handed
    // on, so nothing more is read until the port is opened again. A frame
    // that is no weight (the key pressed while the load moved) leaves it open.
    if (onStable_ && reading.isWeight())
        CloseScale();
    if (listener.owner && listener.reading)
        listener.reading(reading);
}

void ScaleLink::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !port_->isOpen())
        return;
    // Not the port's own text: it names whatever the last system call left
    // behind. An unplugged adapter reads as an end of file or an I/O error.
    const QString reason = QStringLiteral("电子秤端口 %1 连接中断：设备已断开或无法读取").arg(device_);
    const Listener listener = listener_;
    const int session = session_;
    // Closed from the event loop, not inside the port's own signal.
    QTimer::singleShot(0, this, [this, listener, session, reason] {
        if (session != session_)
            return;
        CloseScale();
        lastError_ = reason;
        if (listener.owner && listener.lost)
            listener.lost(reason);
    });
    // Until then the port must not report the same failure over and over.
    port_->clearError();
    busy_ = true;
}

} // namespace quarvel
