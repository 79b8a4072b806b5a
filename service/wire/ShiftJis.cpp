#include "service/wire/ShiftJis.h"

#include <cerrno>
#include <iconv.h>
#include <memory>

namespace service
{

namespace
{

struct IconvCloser {
    void operator()(void *cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle openIconv(const char *to, const char *from)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return IconvHandle();
    return IconvHandle(cd);
}

// Runs the conversion, calling onBad at every input position iconv refuses; onBad appends its
// replacement and returns how many input bytes to skip.
template <typename OnBad>
std::string convert(const char *to, const char *from, std::string_view in, OnBad onBad)
{
    IconvHandle cd = openIconv(to, from);
    std::string out;
    if (!cd)
        return std::string(in);
    out.reserve(in.size() * 2);
    char *src = const_cast<char *>(in.data());
    size_t srcLeft = in.size();
    char buffer[4096];
    while (srcLeft > 0) {
        char *dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t r = iconv(static_cast<iconv_t>(cd.get()), &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (truncated sequence at the end): replace and skip.
            size_t skip = onBad(out, std::string_view(src, srcLeft));
            src += skip;
            srcLeft -= skip;
            iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

size_t utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string toShiftJis(std::string_view utf8)
{
    return convert("CP932", "UTF-8", utf8, [](std::string &out, std::string_view rest) {
        out.push_back('?');
        return std::min(rest.size(), utf8SequenceLength(static_cast<unsigned char>(rest[0])));
    });
}

std::string fromShiftJis(std::string_view sjis, bool *ok)
{
    bool valid = true;
    std::string out = convert("UTF-8", "CP932", sjis, [&valid](std::string &o, std::string_view) {
        valid = false;
        o.append("\xEF\xBF\xBD");
        return size_t(1);
    });
    if (ok)
        *ok = valid;
    return out;
}

bool isValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        size_t n = utf8SequenceLength(c);
        if (c >= 0x80 && n == 1)
            return false;
        if (i + n > bytes.size())
            return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

std::string percentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out.push_back(' ');
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace service
