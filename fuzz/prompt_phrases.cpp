// prompt.dat as found beside the program: the phrases read from it, shown in
// the dialog and saved again, read back as the same phrases (the list never
// grows from one save to the next), and nothing after damage is taken.
#include "app/PromptPhrases.h"
#include "text/Utf16Le.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString damage;
    const QString text = quarvel::PromptPhrases::Decode(bytes, &damage);
    if (text.contains(QChar(0)) || (size % 2 != 0 && damage.isEmpty()))
        __builtin_trap();
    const QStringList phrases = quarvel::PromptPhrases::ParsePromptPhrases(text);
    const QByteArray saved = quarvel::Utf16Le::Encode(quarvel::PromptPhrases::Join(phrases));
    QString again;
    const QString reread = quarvel::PromptPhrases::Decode(saved, &again);
    if (!again.isEmpty() || quarvel::PromptPhrases::ParsePromptPhrases(reread) != phrases)
        __builtin_trap();
    return 0;
}
