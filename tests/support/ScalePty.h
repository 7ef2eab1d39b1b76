#pragma once

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// A scale on a pseudo-terminal pair made by socat: the client opens
// device(), the test sends as the scale into the other end, paced as a line
// at the given rate (ten bits a byte: start, eight data, stop). Stopping
// socat makes the device vanish as an unplugged adapter does; starting it
// again plugs it back in under the same name.
class ScalePty {
public:
    ScalePty() { startSocat(); }

    // Plugs the scale (back) in; true when both ends are there.
    bool startSocat()
    {
        const QString socat = QStandardPaths::findExecutable(QStringLiteral("socat"));
        if (socat.isEmpty() || !dir_.isValid() || fd_ >= 0)
            return false;
        socat_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        socat_.start(socat, {QStringLiteral("pty,rawer,echo=0,link=") + scaleEnd(),
                             QStringLiteral("pty,rawer,echo=0,link=") + device()});
        const QDeadlineTimer deadline(5000);
        while (!(QFileInfo::exists(scaleEnd()) && QFileInfo::exists(device())) && !deadline.hasExpired())
            QThread::msleep(10);
        fd_ = ::open(QFile::encodeName(scaleEnd()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        return fd_ >= 0;
    }

    ~ScalePty()
    {
        stopStream();
        stopSocat();
    }

    bool ok() const { return fd_ >= 0; }
    // The client's end.
    QString device() const { return dir_.filePath(QStringLiteral("client")); }

    // Sends the bytes paced at `baud` (at once for 0); false when the line
    // is gone, or full for five seconds (nobody reads the other end).
    bool send(const QByteArray &bytes, int baud = 0)
    {
        const auto start = std::chrono::steady_clock::now();
        const QDeadlineTimer deadline(5000);
        for (qsizetype at = 0; at < bytes.size();) {
            const qsizetype piece = baud > 0 ? std::min<qsizetype>(8, bytes.size() - at) : bytes.size() - at;
            const ssize_t n = ::write(fd_, bytes.constData() + at, size_t(piece));
            if (n < 0 && errno == EAGAIN && !deadline.hasExpired()) {
                pollfd p{fd_, POLLOUT, 0};
                ::poll(&p, 1, 20);
                continue;
            }
            if (n <= 0)
                return false;
            at += n;
            if (baud > 0)
                std::this_thread::sleep_until(start + std::chrono::microseconds(at * 10'000'000 / baud));
        }
        return true;
    }

    // Sends `frame` over and over at `baud` from a thread until stopped.
    void stream(const QByteArray &frame, int baud)
    {
        stopStream();
        running_ = true;
        writer_ = std::thread([this, frame, baud] {
            while (running_ && send(frame, baud)) {
                sent_ += frame.size();
            }
        });
    }

    // A stream whose frames come from a function of their number.
    template <class Make> void streamFrames(Make make, int baud)
    {
        stopStream();
        running_ = true;
        writer_ = std::thread([this, make, baud] {
            for (long n = 0; running_; ++n) {
                const QByteArray frame = make(n);
                if (!send(frame, baud))
                    break;
                sent_ += frame.size();
            }
        });
    }

    void stopStream()
    {
        running_ = false;
        if (writer_.joinable())
            writer_.join();
    }

    qint64 sent() const { return sent_; }

    // Frame n of a reversed-kilogram scale (type 0) as a parcel is put on:
    // nothing, a climb, then 1.2 kg with a last digit that wavers.
    static QByteArray ParcelReversedKg(long n)
    {
        const int grams = n < 10 ? 0 : n < 30 ? int(n) * 40 : 1200 + int(n % 2) * 10;
        QByteArray kg = QByteArray::number(grams / 1000.0, 'f', 2).rightJustified(7, '0');
        std::reverse(kg.begin(), kg.end());
        return "=" + kg;
    }

    void stopSocat()
    {
        const int fd = fd_.exchange(-1);
        if (fd >= 0)
            ::close(fd);
        if (socat_.state() != QProcess::NotRunning) {
            socat_.terminate();
            socat_.waitForFinished(3000);
        }
    }

    // The scale's end, for a writer in another process.
    QString scaleEnd() const { return dir_.filePath(QStringLiteral("scale")); }

private:
    QTemporaryDir dir_;
    QProcess socat_;
    std::atomic<int> fd_{-1};
    std::thread writer_;
    std::atomic<bool> running_{false};
    std::atomic<qint64> sent_{0};
};
