#include "storage/PreInputFile.h"

#include "text/Gbk.h"

#include <cstring>

namespace quarvel {

const PreInputRecord *PreInputFile::FindLastByNumber(const QByteArray &cnum) const
{
    if (cnum.size() >= static_cast<qsizetype>(sizeof(PreInputRecord::cnum)))
        return nullptr;
    for (int i = GetCount() - 1; i >= 0; --i) {
        const PreInputRecord *r = At(i);
        if (std::strncmp(r->cnum, cnum.constData(), sizeof r->cnum) == 0)
            return r;
    }
    return nullptr;
}

const PreInputRecord *PreInputFile::FindLastByNumber(const QString &cnum) const
{
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(cnum, &ok);
    return ok ? FindLastByNumber(gbk) : nullptr;
}

} // namespace quarvel
