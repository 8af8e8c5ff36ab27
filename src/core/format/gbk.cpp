#include "core/format/gbk.h"

#include <iconv.h>

#include <cerrno>

namespace room::format {
namespace {

// Converts with one replacement for every input byte sequence iconv refuses, and counts them.
std::string convert(std::string_view in, const char* to, const char* from,
                    std::string_view replacement, std::size_t* replaced = nullptr) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    out.reserve(in.size() * 3 / 2 + 4);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[1024];
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (a sequence cut off at the end): skip one byte, or one UTF-8
        // character, and mark it.
        std::size_t skip = 1;
        if (std::string_view(from) == "UTF-8") {
            const auto lead = static_cast<unsigned char>(*src);
            skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            if (skip > srcLeft) skip = srcLeft;
            for (std::size_t i = 1; i < skip; ++i) {
                if ((static_cast<unsigned char>(src[i]) & 0xC0) != 0x80) {
                    skip = i;
                    break;
                }
            }
        }
        src += skip;
        srcLeft -= skip;
        out.append(replacement);
        if (replaced) ++*replaced;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

bool isAscii(std::string_view s) {
    for (unsigned char c : s) {
        if (c >= 0x80) return false;
    }
    return true;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
    if (isAscii(gbk)) return std::string(gbk);
    return convert(gbk, "UTF-8", "CP936", "\xEF\xBF\xBD");
}

bool isValidGbk(std::string_view bytes) {
    if (isAscii(bytes)) return true;
    std::size_t replaced = 0;
    convert(bytes, "UTF-8", "CP936", "", &replaced);
    return replaced == 0;
}

bool isUtf8Text(std::string_view bytes) {
    bool multiByte = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        }
        multiByte = multiByte || length > 1;
        i += length;
    }
    return multiByte;
}

std::string utf8ToGbk(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    return convert(utf8, "CP936", "UTF-8", "?");
}

}  // namespace room::format
