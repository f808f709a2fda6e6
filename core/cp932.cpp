#include "core/cp932.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>

namespace quillet::cp932 {
namespace {

struct ConverterDeleter {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterDeleter>;

// ICU's "windows-31j" is the Windows variant of Shift_JIS (U+FF5E <-> 81 60).
const char* gConverterName = "windows-31j";

// One converter per thread, opened once (again only when the name changes):
// encoding substitutes "?", decoding stops at the first byte sequence that
// is not CP932.
UConverter* converter() {
    thread_local Converter c;
    thread_local const char* openedName = nullptr;
    if (openedName != gConverterName) {
        openedName = gConverterName;
        UErrorCode e = U_ZERO_ERROR;
        c.reset(ucnv_open(gConverterName, &e));
        if (U_FAILURE(e)) c.reset();
        if (c) {
            ucnv_setSubstChars(c.get(), "?", 1, &e);
            ucnv_setToUCallBack(c.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &e);
            if (U_FAILURE(e)) c.reset();
        }
    }
    if (c) ucnv_reset(c.get());
    return c.get();
}

// CP932 holds ASCII as it is: such text needs no converter.
bool isAscii(QStringView text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

bool isAscii(QByteArrayView bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// ICU's table turns the bytes 1A, 1C and 7F into U+001C, U+007F and U+001A
// (and back); Windows keeps them as they are, as the ASCII path above does.
// Text goes through this swap before encoding and after decoding so that
// mixed text keeps those bytes too and every decode encodes back to itself.
char16_t icuControl(char16_t c) {
    switch (c) {
    case 0x1A: return 0x1C;
    case 0x1C: return 0x7F;
    case 0x7F: return 0x1A;
    default: return c;
    }
}

char16_t windowsControl(char16_t c) {
    switch (c) {
    case 0x1C: return 0x1A;
    case 0x7F: return 0x1C;
    case 0x1A: return 0x7F;
    default: return c;
    }
}

}  // namespace

const char* setConverterName(const char* name) {
    const char* previous = gConverterName;
    gConverterName = name;
    return previous;
}

QByteArray encode(const QString& text, bool* ok) {
    if (ok) *ok = true;
    if (text.isEmpty()) return {};
    if (isAscii(text)) return text.toLatin1();
    UConverter* c = converter();
    if (!c) {
        if (ok) *ok = false;
        return {};
    }
    QString icuText = text;
    for (QChar& ch : icuText) ch = QChar(icuControl(ch.unicode()));
    const auto* src = reinterpret_cast<const UChar*>(icuText.utf16());
    QByteArray out(int(text.size()) * 2 + 8, Qt::Uninitialized);
    UErrorCode e = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(c, out.data(), int32_t(out.size()), src, int32_t(text.size()), &e);
    if (U_FAILURE(e)) {
        if (ok) *ok = false;
        return {};
    }
    out.resize(n);
    return out;
}

std::optional<QString> decode(QByteArrayView bytes) {
    if (bytes.isEmpty()) return QString();
    if (isAscii(bytes)) return QString::fromLatin1(bytes);
    UConverter* c = converter();
    if (!c) return std::nullopt;
    QString out(int(bytes.size()) + 1, Qt::Uninitialized);
    UErrorCode e = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(c, reinterpret_cast<UChar*>(out.data()), int32_t(out.size()), bytes.data(),
                                    int32_t(bytes.size()), &e);
    if (U_FAILURE(e)) return std::nullopt;
    out.resize(n);
    for (QChar& ch : out) ch = QChar(windowsControl(ch.unicode()));
    return out;
}

}  // namespace quillet::cp932
