#include "loggerset/settingchars.h"

#include "core/cp932.h"

#include <algorithm>
#include <numeric>

namespace quillet {
namespace {

// A text of the digits 0-9 only whose value is 0..255 would read like a
// plain number in every list.
bool isPlainNumber(const QString& t) {
    if (t.isEmpty()) return false;
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    qsizetype first = 0;
    while (first < t.size() - 1 && t[first] == QLatin1Char('0')) ++first;
    return t.size() - first <= 3 && t.mid(first).toInt() <= 255;
}

}  // namespace

bool settingCharStorable(const QString& text) {
    if (text.contains(QLatin1Char('"'))) return false;
    const QByteArray bytes = cp932::encode(text);
    if (bytes.size() > kMaxSettingCharBytes) return false;
    const auto back = cp932::decode(bytes);
    return back && *back == text;
}

SettingCharEditor::SettingCharEditor(const GeneralSettings& g) {
    table[kCardGrid] = g.settingCharCard;
    table[kTestGrid] = g.settingCharTest;
    for (auto& o : order) std::iota(o.begin(), o.end(), 0);
}

int SettingCharEditor::endEdit(int grid, int row, const QString& text) {
    if (grid != kCardGrid && grid != kTestGrid) return -1;
    if (text.isEmpty()) return 0;  // erasing does not delete; the button does
    if (isPlainNumber(text) || !settingCharStorable(text)) return -1;
    auto& t = table[size_t(grid)];
    const int n = numberAt(grid, row);
    for (int other = 0; other < 256; ++other)
        if (other != n && t[size_t(other)] == text) return 40;
    t[size_t(n)] = text;
    return 0;
}

void SettingCharEditor::deleteConfirmed(int row) {
    if (selectedGrid == kNoGrid || row < 0 || row > 255) return;
    table[size_t(selectedGrid)][size_t(numberAt(selectedGrid, row))].clear();
    selectedGrid = kNoGrid;
}

void SettingCharEditor::sort(int column) {
    sortState = (sortState + 1) % 3;
    for (int grid : {kCardGrid, kTestGrid}) {
        auto& o = order[size_t(grid)];
        std::iota(o.begin(), o.end(), 0);
        if (sortState == 0) continue;
        // Each grid by its own column; numbers break ties between equal
        // characters (the many empty ones).
        if (column == 1) {
            const auto& t = table[size_t(grid)];
            std::stable_sort(o.begin(), o.end(), [&t](int a, int b) { return t[size_t(a)] < t[size_t(b)]; });
        }
        if (sortState == 2) std::reverse(o.begin(), o.end());
    }
}

void SettingCharEditor::applyTo(GeneralSettings& g) {
    for (auto& o : order) std::iota(o.begin(), o.end(), 0);
    sortState = 0;
    selectedGrid = kNoGrid;
    g.settingCharCard = table[kCardGrid];
    g.settingCharTest = table[kTestGrid];
}

}  // namespace quillet
