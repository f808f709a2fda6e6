// The setting-characters dialog's logic (SettingCharactersDialog), without a window: the
// working copies of the card and test tables, the order of the grids' rows,
// and the rules of editing, deleting and sorting.
#pragma once

#include "core/records.h"
#include "core/settingsfiles.h"

#include <QString>

#include <array>

namespace quillet {

// Whether a text can be stored as a setting character at all: CP932 can hold
// every character, it fits kMaxSettingCharBytes (64 bytes, 32 double-byte
// characters: as many as the settings file is read with, so whatever the
// dialog accepts comes back unchanged), and it has no double quote (the
// settings file quotes its texts). The editor refuses other input.
bool settingCharStorable(const QString& text);

enum SettingGrid : int { kNoGrid = 0, kCardGrid = 1, kTestGrid = 2 };

struct SettingCharEditor {
    // Working copies [grid 1 card, grid 2 test][number].
    std::array<std::array<QString, 256>, 3> table{};
    // The number shown in each row (0-based) of each grid.
    std::array<std::array<int, 256>, 3> order{};
    int sortState = 0;  // 0 number order, 1 ascending, 2 descending
    int selectedGrid = kNoGrid;

    explicit SettingCharEditor(const GeneralSettings& g);

    int numberAt(int grid, int row) const { return order[size_t(grid)][size_t(row)]; }
    const QString& text(int grid, int row) const { return table[size_t(grid)][size_t(numberAt(grid, row))]; }

    // An edit starts in a grid.
    void beginEdit(int grid) { selectedGrid = grid; }

    // The end of an edit of row `row`: 0 stored (or an empty text, which is
    // never stored), -1 refused without a message (a number 0..255, or text
    // the file cannot hold), 40 the text is set for another number already.
    int endEdit(int grid, int row, const QString& text);

    // "設定字の削除": 42 when no grid is selected, else 41 to be confirmed by
    // deleteConfirmed(row) with the row of the selected grid's cursor.
    int deleteRequest() const { return selectedGrid == kNoGrid ? 42 : 41; }
    void deleteConfirmed(int row);

    // "ソート": 0 → 1 → 2 → 0; each grid is sorted by its own cells of the
    // cursor's column (0 number, 1 character). Texts keep their numbers.
    void sort(int column);

    // OK: number order again, and the tables into the settings.
    void applyTo(GeneralSettings& g);
};

}  // namespace quillet
