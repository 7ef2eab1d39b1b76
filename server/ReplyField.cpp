#include "ReplyField.h"

#include "WireText.h"

#include <algorithm>

namespace quarvel::server {

std::string ReplyField(const std::string &utf8)
{
    std::string gbk = WireText::toGbk(utf8);
    std::replace_if(
        gbk.begin(), gbk.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return gbk;
}

} // namespace quarvel::server
