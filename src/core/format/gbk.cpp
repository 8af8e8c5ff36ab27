#include "core/format/gbk.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace room::format {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The bytes a refused UTF-8 sequence at the start of `in` takes up: the length its lead byte
// announces, cut at the first byte that does not continue it.
std::size_t refusedUtf8Length(std::string_view in) {
    const auto lead = static_cast<unsigned char>(in[0]);
    std::size_t skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (skip > in.size()) skip = in.size();
    for (std::size_t i = 1; i < skip; ++i) {
        if ((static_cast<unsigned char>(in[i]) & 0xC0) != 0x80) return i;
    }
    return skip;
}

#ifdef _WIN32
// Windows has no iconv: code page 936 through the Win32 API, one character at a time, so that
// each refused character is replaced as the iconv branch replaces it. The user-defined areas,
// which Windows maps to private-use characters and iconv refuses, are refused here too: a file
// then reads the same on every system.
constexpr UINT kGbk = 936;

bool isPrivateUse(wchar_t c) {
    return c >= 0xE000 && c <= 0xF8FF;
}

void appendUtf8(std::string& out, wchar_t c) {
    char bytes[4];
    const int n = WideCharToMultiByte(CP_UTF8, 0, &c, 1, bytes, sizeof bytes, nullptr, nullptr);
    out.append(bytes, static_cast<std::size_t>(n));
}

// The one GBK character at the start of `in` as UTF-16, with its length in bytes; 0 if refused.
std::size_t decodeOne(std::string_view in, wchar_t& c) {
    const auto lead = static_cast<unsigned char>(in[0]);
    const int length = lead >= 0x81 && lead <= 0xFE ? 2 : 1;
    if (in.size() < static_cast<std::size_t>(length)) return 0;
    wchar_t wide[2];
    const int n = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, in.data(), length, wide, 2);
    if (n != 1 || isPrivateUse(wide[0])) return 0;
    c = wide[0];
    return static_cast<std::size_t>(length);
}

std::string decode(std::string_view in, std::string_view replacement, std::size_t* replaced) {
    std::string out;
    out.reserve(in.size() * 3 / 2 + 4);
    while (!in.empty()) {
        wchar_t c = 0;
        std::size_t used = decodeOne(in, c);
        if (used > 0) {
            appendUtf8(out, c);
        } else {
            used = 1;
            out.append(replacement);
            if (replaced) ++*replaced;
        }
        in.remove_prefix(used);
    }
    return out;
}

// The one UTF-8 character at the start of `in` as GBK bytes, with its length; 0 if refused (no
// UTF-8, or no GBK for it).
std::size_t encodeOne(std::string_view in, std::string& gbk) {
    const std::size_t length = refusedUtf8Length(in);
    wchar_t wide[2];
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in.data(),
                                      static_cast<int>(length), wide, 2);
    if (n != 1 || isPrivateUse(wide[0])) return 0;
    char bytes[2];
    BOOL lossy = FALSE;
    const int m = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, 1, bytes, sizeof bytes,
                                      nullptr, &lossy);
    if (m <= 0 || lossy) return 0;
    gbk.assign(bytes, static_cast<std::size_t>(m));
    return length;
}

std::string encode(std::string_view in, std::string_view replacement) {
    std::string out;
    out.reserve(in.size());
    std::string gbk;
    while (!in.empty()) {
        std::size_t used = encodeOne(in, gbk);
        if (used > 0) {
            out += gbk;
        } else {
            used = refusedUtf8Length(in);
            out.append(replacement);
        }
        in.remove_prefix(used);
    }
    return out;
}
#else
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
        const std::size_t skip =
            std::string_view(from) == "UTF-8" ? refusedUtf8Length({src, srcLeft}) : 1;
        src += skip;
        srcLeft -= skip;
        out.append(replacement);
        if (replaced) ++*replaced;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

std::string decode(std::string_view in, std::string_view replacement, std::size_t* replaced) {
    return convert(in, "UTF-8", "CP936", replacement, replaced);
}

std::string encode(std::string_view in, std::string_view replacement) {
    return convert(in, "CP936", "UTF-8", replacement);
}
#endif

bool isAscii(std::string_view s) {
    for (unsigned char c : s) {
        if (c >= 0x80) return false;
    }
    return true;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
    if (isAscii(gbk)) return std::string(gbk);
    return decode(gbk, kReplacementCharacter, nullptr);
}

bool isValidGbk(std::string_view bytes) {
    if (isAscii(bytes)) return true;
    std::size_t replaced = 0;
    decode(bytes, "", &replaced);
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
    return encode(utf8, "?");
}

}  // namespace room::format
