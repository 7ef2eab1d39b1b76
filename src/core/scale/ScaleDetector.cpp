#include "scale/ScaleDetector.h"

#include "scale/ScaleParser.h"
#include "scale/ScaleSettingsForm.h"
#include "scale/ScaleTextGuess.h"
#include "scale/ScaleToledoFormat.h"

#include <QList>

#include <algorithm>
#include <cmath>

namespace quarvel {

namespace {

using S = ScaleReading::Status;

// Enough for several seconds of a fast scale; older bytes are not looked at.
constexpr qsizetype kMostBytes = 64 * 1024;
constexpr int kFramesForFullConfidence = 5;
// A checksum that passes on most frames is there: chance passes one in 128.
constexpr double kCheckedShare = 0.5;

double framesFactor(int frames)
{
    return std::min(1.0, double(frames) / kFramesForFullConfidence);
}

// A frame whose reading the format explains: a weight or a status of the
// scale. A failed check, broken bytes or a unit that is none are not.
bool decoded(const ScaleReading &r)
{
    return r.status != S::Garbled && r.status != S::BadCheck && r.status != S::BadUnit;
}

// What reading the stream with one format gave.
struct Trial {
    ScaleSettings settings;
    int frames = 0;
    int decoded = 0;
    int lastGrams = -1;
    QMap<S, int> refused;
    // Frames read against the frames the stream has (or the parse attempts).
    double coverage = 0;

    void count(const ScaleReading &r)
    {
        ++frames;
        decoded += quarvel::decoded(r);
        if (r.isWeight())
            lastGrams = int(r.grams);
        else
            ++refused[r.status];
    }
    double decodedShare() const { return frames ? double(decoded) / frames : 0; }
    int confidence(double fit) const
    {
        return int(std::lround(100 * fit * decodedShare() * std::min(1.0, coverage) * framesFactor(decoded)));
    }
};

ScaleSettings withType(const ScaleSettings &settings, int type, int dataLength)
{
    ScaleSettings s = settings;
    s.type = static_cast<std::uint8_t>(type);
    s.dataLength = static_cast<std::uint8_t>(dataLength);
    return s;
}

// A format that cuts its own frames: every frame is read; the stream's own
// frame marks (STX bytes, lines) say how many there were.
Trial framedTrial(QByteArrayView bytes, const ScaleSettings &settings, qsizetype marks)
{
    Trial t;
    t.settings = settings;
    ScaleParser parser(settings);
    for (const ScaleReading &r : parser.ReadAll(bytes))
        t.count(r);
    t.coverage = marks > 0 ? double(t.frames) / double(marks) : 0;
    return t;
}

qsizetype lines(QByteArrayView bytes)
{
    qsizetype n = 0;
    bool inLine = false;
    for (char c : bytes) {
        const bool end = c == '\r' || c == '\n';
        n += end && inLine;
        inLine = !end;
    }
    return n;
}

// The original formats gather and attempt: what failed counts against them.
Trial attemptTrial(QByteArrayView bytes, const ScaleSettings &settings)
{
    Trial t;
    t.settings = settings;
    ScaleParser parser(settings);
    int attempts = 0;
    for (qsizetype at = 0; at < bytes.size(); at += ScaleParser::kReadLimit) {
        const int result =
            parser.ReadWeight(bytes.sliced(at, std::min<qsizetype>(ScaleParser::kReadLimit, bytes.size() - at)));
        if (result == ScaleParser::kNoFrame)
            continue;
        ++attempts;
        if (result >= 0 || result == ScaleParser::kRefused)
            t.count(parser.last());
    }
    t.coverage = attempts ? double(t.frames) / attempts : 0;
    return t;
}

Trial bcdTrial(QByteArrayView bytes, const ScaleSettings &settings)
{
    QList<qsizetype> frames;
    int markers = 0;
    for (qsizetype i = 0; i + 4 < bytes.size(); ++i) {
        if (static_cast<std::uint8_t>(bytes[i]) != 0xFF)
            continue;
        ++markers;
        if (ScaleParser::ParseBcd(bytes.sliced(i, 5)).result >= 0)
            frames.append(i);
    }
    Trial t;
    t.settings = withType(settings, ScaleSettings::Bcd, settings.dataLength);
    if (frames.size() < ScaleDetector::kLeastFrames)
        return t;
    ScaleParser parser(t.settings);
    for (const ScaleReading &r : parser.ReadAll(bytes))
        t.count(r);
    // Frames at a steady distance, or chance bytes of some other stream.
    t.coverage = ScaleTextGuess::SteadyShare(frames) * double(frames.size()) / markers;
    return t;
}

ScaleDetector::Guess guessOf(const Trial &t, int confidence, qsizetype frames)
{
    ScaleDetector::Guess g;
    g.type = t.settings.type;
    g.start = t.settings.startChar;
    g.dataLength = t.settings.dataLength;
    g.frames = int(frames);
    g.grams = t.lastGrams;
    g.refused = t.refused;
    g.confidence = std::clamp(confidence, 0, 100);
    g.found = t.decoded >= ScaleDetector::kLeastFrames && g.confidence >= ScaleDetector::kLeastConfidence;
    return g;
}

// The formats with a check or a fixed structure, most telling first.
QList<ScaleDetector::Guess> structuredGuesses(QByteArrayView bytes, const ScaleSettings &settings)
{
    const qsizetype stx = bytes.count('\x02');
    QList<ScaleDetector::Guess> guesses;
    const Trial checked =
        framedTrial(bytes, withType(settings, ScaleSettings::Toledo, ScaleToledoFormat::kCheckedFrameBytes), stx);
    if (checked.decodedShare() >= kCheckedShare)
        guesses.append(guessOf(checked, checked.confidence(1.0), checked.frames));
    const Trial toledo =
        framedTrial(bytes, withType(settings, ScaleSettings::Toledo, ScaleToledoFormat::kFrameBytes), stx);
    guesses.append(guessOf(toledo, toledo.confidence(1.0), toledo.frames));
    const Trial stxEtx = framedTrial(bytes, withType(settings, ScaleSettings::StxEtx, settings.dataLength), stx);
    guesses.append(guessOf(stxEtx, stxEtx.confidence(1.0), stxEtx.frames));
    const Trial statusLines =
        framedTrial(bytes, withType(settings, ScaleSettings::StatusLines, settings.dataLength), lines(bytes));
    guesses.append(guessOf(statusLines, statusLines.confidence(1.0), statusLines.frames));
    const Trial bcd = bcdTrial(bytes, settings);
    guesses.append(guessOf(bcd, bcd.confidence(1.0), bcd.frames));
    return guesses;
}

ScaleDetector::Guess textGuess(QByteArrayView bytes, const ScaleSettings &settings)
{
    const ScaleTextGuess::Result r = ScaleTextGuess::Guess(bytes);
    if (!r.found)
        return ScaleDetector::Guess();
    ScaleSettings s = withType(settings, r.type, r.dataLength);
    s.startChar = r.start;
    const Trial t = attemptTrial(bytes, s);
    return guessOf(t, t.confidence(r.fit), r.frames);
}

ScaleDetector::Guess detectFormat(QByteArrayView bytes, const ScaleSettings &settings)
{
    ScaleDetector::Guess best;
    for (const ScaleDetector::Guess &g : structuredGuesses(bytes, settings)) {
        if (g.found)
            return g;
        if (g.confidence > best.confidence)
            best = g;
    }
    const ScaleDetector::Guess text = textGuess(bytes, settings);
    return text.found || text.confidence > best.confidence ? text : best;
}

QString readingSummary(const ScaleDetector::Guess &g)
{
    QString text =
        g.grams >= 0
            ? QStringLiteral("（%1 帧，读数 %2 公斤").arg(g.frames).arg(ScaleSettingsForm::TestWeightText(g.grams))
            : QStringLiteral("（%1 帧，没有可取的重量").arg(g.frames);
    QStringList refused;
    for (auto it = g.refused.cbegin(); it != g.refused.cend(); ++it)
        refused.append(QStringLiteral("%1 %2 帧").arg(ScaleReading::Text(it.key())).arg(it.value()));
    if (!refused.isEmpty())
        text += QStringLiteral("；") + refused.join(QStringLiteral("，"));
    return text + QStringLiteral("）");
}

} // namespace

ScaleSettings ScaleDetector::Guess::Apply(const ScaleSettings &settings) const
{
    ScaleSettings s = settings;
    s.type = static_cast<std::uint8_t>(type);
    if (ScaleSettings::IsPlainText(type)) {
        s.startChar = start;
        s.dataLength = static_cast<std::uint8_t>(dataLength);
    } else if (type == ScaleSettings::Toledo) {
        s.dataLength = static_cast<std::uint8_t>(dataLength);
    }
    if (parity.found) {
        s.dataBits = static_cast<std::uint8_t>(parity.dataBits);
        s.parity = parity.parity;
    }
    return s;
}

QString ScaleDetector::Guess::Text() const
{
    if (bytes == 0)
        return QStringLiteral("没有收到任何数据：请检查连接端口，以及电子秤是否开机、是否在发送数据。");
    const QString hint = parity.found ? QStringLiteral("\r\n") + parity.Text() : QString();
    if (!found)
        return QStringLiteral("未能识别电子秤数据：收到 %1 字节，没有找到可以读出重量的帧。\r\n"
                              "请检查波特率、数据位、奇偶校验和停止位；"
                              "“稳定/按按键”方式的电子秤请在识别时多按几次按键。")
                   .arg(bytes) +
               hint;
    QString text = QStringLiteral("识别结果：%1").arg(ScaleSettings::TypeNames().value(type));
    if (ScaleSettings::IsPlainText(type))
        text +=
            QStringLiteral("，开始字符 %1，数据长度 %2 字节").arg(ScaleSettingsForm::StartText(start)).arg(dataLength);
    else if (type == ScaleSettings::Toledo)
        text += QStringLiteral("，数据长度 %1 字节").arg(dataLength);
    text += QStringLiteral("。\r\n把握：%1%").arg(confidence) + readingSummary(*this);
    if (confidence < 50)
        text += QStringLiteral("\r\n把握不大，请放上已知重量的物品核对读数。");
    return text + hint;
}

QString ScaleDetector::Guess::SetCommand() const
{
    QString set = QStringLiteral("scale set type=%1").arg(type);
    if (ScaleSettings::IsPlainText(type))
        set += QStringLiteral(" start=%1 length=%2").arg(ScaleSettingsForm::StartText(start)).arg(dataLength);
    else if (type == ScaleSettings::Toledo)
        set += QStringLiteral(" length=%1").arg(dataLength);
    if (parity.found)
        set += QStringLiteral(" databits=%1 parity=%2").arg(parity.dataBits).arg(parity.Name().at(1));
    return set;
}

ScaleDetector::Guess ScaleDetector::Detect(QByteArrayView bytes, const ScaleSettings &settings)
{
    if (bytes.size() > kMostBytes)
        bytes = bytes.last(kMostBytes);
    const ScaleParity::Hint parity = ScaleParity::Look(bytes);
    // A port at seven data bits would give the low seven bits: the format is
    // looked for in those.
    const QByteArray low = parity.found ? ScaleParity::LowSevenBits(bytes) : QByteArray();
    Guess best = detectFormat(parity.found ? QByteArrayView(low) : bytes, settings);
    best.parity = parity;
    best.bytes = bytes.size();
    return best;
}

} // namespace quarvel
