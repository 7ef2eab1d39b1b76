#pragma once

#include "net/HttpByteSource.h"

#include <QByteArray>

namespace quarvel {

// A reply held in memory, handed out byte by byte as a connection would hand
// it out: for reading replies without a socket (fuzzing, unit tests). The
// end of the text is the peer closing, or, when `timesOut`, time running out.
class HttpTextSource : public HttpByteSource {
public:
    explicit HttpTextSource(QByteArray text, bool timesOut = false) : text_(std::move(text)), timesOut_(timesOut) {}

    bool read(char &byte) override
    {
        if (at_ < text_.size()) {
            byte = text_.at(at_++);
            return true;
        }
        timedOut_ = timesOut_;
        return false;
    }
    bool timedOut() const override { return timedOut_; }
    // How many bytes were read.
    qsizetype consumed() const { return at_; }

private:
    QByteArray text_;
    bool timesOut_;
    bool timedOut_ = false;
    qsizetype at_ = 0;
};

} // namespace quarvel
