// The scale's frames: any bytes under any settings, arriving in steps of
// any size, through the parser, its frame readers and the detector. The
// first four bytes choose the type, the data length, the start character and
// the step size. No reading is ever a weight beyond the heaviest, below
// zero, or with a step below one, and the gathering stays bounded.
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
    settings.type = static_cast<std::uint8_t>(data[0] % (quarvel::ScaleSettings::kTypes + 1));
    settings.dataLength = data[1];
    settings.startChar = data[2];
    const qsizetype step = 1 + data[3] % 300;
    const QByteArrayView stream(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4));

    quarvel::ScaleParser parser(settings);
    for (qsizetype at = 0; at < stream.size(); at += step) {
        for (const quarvel::ScaleReading &r : parser.Read(stream.sliced(at, std::min(step, stream.size() - at)))) {
            if (r.isWeight() && (r.grams < 0 || r.grams > quarvel::ScaleReading::kHeaviestGrams || r.step < 1))
                __builtin_trap();
        }
        if (parser.gathered() > quarvel::ScaleParser::kCapacity)
            __builtin_trap();
    }
    const quarvel::ScaleParser::Frame text = quarvel::ScaleParser::ParseText(stream, settings.type, settings.startChar);
    const quarvel::ScaleParser::Frame bcd = quarvel::ScaleParser::ParseBcd(stream);
    if (text.result < quarvel::ScaleParser::kRefused || bcd.result < quarvel::ScaleParser::kNoFrame)
        __builtin_trap();

    const quarvel::ScaleDetector::Guess guess = quarvel::ScaleDetector::Detect(stream, settings);
    // A text proposal must fit the dialog (the others keep the length they were given).
    const bool textGuess = guess.found && quarvel::ScaleSettings::IsPlainText(guess.type);
    if (guess.confidence < 0 || guess.confidence > 100 || guess.grams < -1 ||
        (textGuess && (guess.dataLength < 1 || guess.dataLength > quarvel::ScaleSettings::kMaxDataLength)))
        __builtin_trap();
    (void)guess.Text();
    (void)guess.SetCommand();
    return 0;
}
