// The scale's frames: any bytes under any settings, arriving in steps of
// any size, through the parser, its two frame readers and the detector. The
// first four bytes choose the type, the data length, the start character and
// the step size.
#include "scale/ScaleDetector.h"
#include "scale/ScaleParser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    quarvel::ScaleSettings settings;
    settings.type = static_cast<std::uint8_t>(data[0] % 6);
    settings.dataLength = data[1];
    settings.startChar = data[2];
    const qsizetype step = 1 + data[3] % 300;
    const QByteArrayView stream(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4));

    quarvel::ScaleParser parser(settings);
    for (qsizetype at = 0; at < stream.size(); at += step) {
        const int r = parser.ReadWeight(stream.sliced(at, std::min(step, stream.size() - at)));
        if (r < quarvel::ScaleParser::kNoDigit || parser.gathered() > quarvel::ScaleParser::kCapacity)
            __builtin_trap();
        if (r >= 0 && parser.lastStep() < 1)
            __builtin_trap();
    }
    const quarvel::ScaleParser::Frame text = quarvel::ScaleParser::ParseText(stream, settings.type, settings.startChar);
    const quarvel::ScaleParser::Frame bcd = quarvel::ScaleParser::ParseBcd(stream);
    if (text.result < quarvel::ScaleParser::kNoDigit || bcd.result < quarvel::ScaleParser::kNoFrame)
        __builtin_trap();

    const quarvel::ScaleDetector::Guess guess = quarvel::ScaleDetector::Detect(stream, settings);
    // A text proposal must fit the dialog (a BCD one keeps the length it was given).
    const bool textGuess = guess.found && guess.type != quarvel::ScaleSettings::Bcd;
    if (guess.confidence < 0 || guess.confidence > 100 || (guess.found && guess.grams < 0) ||
        (textGuess && (guess.dataLength < 1 || guess.dataLength > quarvel::ScaleSettings::kMaxDataLength)))
        __builtin_trap();
    (void)guess.Text();
    return 0;
}
