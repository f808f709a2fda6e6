#include "core/fieldhelpers.h"

#include "core/context.h"
#include "core/vb.h"

#include <QKeyEvent>

namespace quillet {
namespace {

QString numberText(const std::array<QString, 256>& table, int16_t& no) {
    if (no >= 256) no = 255;
    if (no < 0) return vb::format(no, QStringLiteral("000"));  // outside the tables
    const QString& entry = table[size_t(no)];
    return entry.isEmpty() ? vb::format(no, QStringLiteral("000")) : entry;
}

bool isDigit(int k) { return k >= '0' && k <= '9'; }

}  // namespace

QString cardText(const AppContext& ctx, int16_t& cardNo) { return numberText(ctx.general.settingCharCard, cardNo); }

QString testText(const AppContext& ctx, int16_t& testNo) { return numberText(ctx.general.settingCharTest, testNo); }

QString referenceSideText(int side) {
    const double code = vb::intPart(side / 2.0 + 72);
    if (code < 0x21 || code > 0x7E) return {};
    return QString(QChar(char16_t(code)));
}

int filterKey(int key, KeyFilter filter) {
    switch (filter) {
    case KeyFilter::SignedDigits: return (isDigit(key) || key == 8 || key == '-') ? key : 0;
    case KeyFilter::Characters: {
        const bool blocked = (key >= 32 && key <= 47) || (key >= 58 && key <= 64) || (key >= 91 && key <= 94) ||
                             key == 96 || (key >= 123 && key <= 165) || (key >= 222 && key <= 255);
        return blocked ? 0 : key;
    }
    case KeyFilter::DateTime: return (isDigit(key) || key == 8 || key == ':' || key == '-' || key == ' ') ? key : 0;
    case KeyFilter::Any: return key;
    case KeyFilter::Digits: break;
    }
    return (isDigit(key) || key == 8) ? key : 0;
}

int keyCodeOf(char16_t c) {
    if (c < 0x80) return c;
    if (c >= 0xFF61 && c <= 0xFF9F) return c - 0xFF61 + 0xA1;
    return 0x10000 + c;
}

QString filterKeyText(const QString& text, KeyFilter filter) {
    QString kept;
    for (const QChar ch : text)
        if (filterKey(keyCodeOf(ch.unicode()), filter) != 0) kept += ch;
    return kept;
}

bool filterKeyEvent(const QKeyEvent& event, KeyFilter filter) {
    switch (event.key()) {
    case Qt::Key_Backspace: return filterKey(8, filter) != 0;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: return true;
    default: break;
    }
    // Ctrl+A, C, X, Z and Y (select all, copy, cut, undo, redo) bring no character the filter
    // must keep out (Ctrl+A selects the field, so that typing replaces it).
    if (event.modifiers() & Qt::ControlModifier)
        for (const int edit : {Qt::Key_A, Qt::Key_C, Qt::Key_X, Qt::Key_Z, Qt::Key_Y})
            if (event.key() == edit) return true;
    const QString text = event.text();
    return text.isEmpty() || filterKeyText(text, filter).size() == text.size();
}

bool openHelp(AppContext& ctx, int context) { return ctx.help->openHelp(ctx.folders.helpFile, context); }

}  // namespace quillet
