#include "loggerset/ui/settingcharactersdialog.h"

#include "core/catalog.h"
#include "core/context.h"
#include "core/fieldhelpers.h"
#include "core/settingsfiles.h"
#include "core/ui/okcancel.h"
#include "core/uitexts.h"
#include "core/vb.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <QValidator>

namespace quillet {

// One grid: the number column and the character column of one table, in the
// editor's row order; cells are formatted when asked for.
class SettingCharModel : public QAbstractTableModel {
public:
    SettingCharModel(SettingCharactersDialog& owner, int which, QObject* parent)
        : QAbstractTableModel(parent), owner_(owner), which_(which) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 256; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
        const SettingCharEditor& e = owner_.editor();
        if (index.column() == 0) return vb::format(e.numberAt(which_, index.row()), QStringLiteral("000"));
        return e.text(which_, index.row());
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
        if (section == 1) return uiText(ui::kSettingCharacter);
        return which_ == kCardGrid ? uiText(ui::kCardNumber) : uiText(ui::kTestNumber);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() == 1) f |= Qt::ItemIsEditable;
        return f;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole || index.column() != 1) return false;
        owner_.editEnded(which_, index.row(), value.toString());
        emit dataChanged(index, index);  // the cell shows what the table holds
        return true;
    }

    void refresh() {
        beginResetModel();
        endResetModel();
    }

private:
    SettingCharactersDialog& owner_;
    int which_;
};

namespace {

// The character mode of the key filter, for keys typed without an input
// method (its commits arrive as input-method events and pass). Half-width
// katakana are judged by their single-byte codes.
class CharacterKeys : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return QObject::eventFilter(o, e);
        const QString text = static_cast<QKeyEvent*>(e)->text();
        if (text.isEmpty()) return false;
        const char16_t c = text.at(0).unicode();
        int code = -1;
        if (c < 0x80)
            code = c;
        else if (c >= 0xFF61 && c <= 0xFF9F)
            code = 0xA1 + (c - 0xFF61);
        return code >= 0 && filterKey(code, KeyFilter::Characters) == 0;
    }
};

// Input the settings file could not hold back is not taken.
class StorableText : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override { return settingCharStorable(input) ? Acceptable : Invalid; }
};

class SettingCharDelegate : public QStyledItemDelegate {
public:
    SettingCharDelegate(SettingCharactersDialog& owner, int which, QObject* parent)
        : QStyledItemDelegate(parent), owner_(owner), which_(which) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        owner_.editStarted(which_);
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("settingCharEditor"));
        edit->setValidator(new StorableText(edit));
        edit->installEventFilter(new CharacterKeys(edit));
        return edit;
    }

private:
    SettingCharactersDialog& owner_;
    int which_;
};

}  // namespace

SettingCharactersDialog::SettingCharactersDialog(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), editor_(ctx.general) {
    setObjectName(QStringLiteral("LOGSETPARA"));
    setWindowTitle(uiText(ui::kSettingCharactersTitle));
    setModal(true);
    setFont(parent ? parent->window()->font() : QApplication::font());

    auto* grids = new QHBoxLayout;
    for (int which : {kCardGrid, kTestGrid}) {
        auto* view = new QTableView(this);
        view->setObjectName(which == kCardGrid ? QStringLiteral("CardGrid") : QStringLiteral("TestGrid"));
        auto* model = new SettingCharModel(*this, which, view);
        view->setModel(model);
        view->setItemDelegateForColumn(1, new SettingCharDelegate(*this, which, view));
        view->verticalHeader()->hide();
        view->horizontalHeader()->setStretchLastSection(true);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                              QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
        // A press in a character cell opens its editor at once.
        connect(view, &QTableView::pressed, view, [view](const QModelIndex& i) {
            if (i.column() == 1) view->edit(i);
        });
        view->setCurrentIndex(model->index(0, 1));
        view->setMinimumSize(220, 320);
        grids->addWidget(view);
        grids_[size_t(which)] = view;
        models_[size_t(which)] = model;
    }

    auto* buttons = new QHBoxLayout;
    auto* setchar = new QPushButton(uiText(ui::kDeleteCharacters), this);
    setchar->setObjectName(QStringLiteral("comSetchar"));
    connect(setchar, &QPushButton::clicked, this, [this] { onSetCharacterClicked(); });
    auto* sort = new QPushButton(uiText(ui::kSort), this);
    sort->setObjectName(QStringLiteral("comSort"));
    connect(sort, &QPushButton::clicked, this, [this] { onSortClicked(); });
    buttons->addWidget(setchar);
    buttons->addWidget(sort);
    buttons->addStretch(1);
    commands_ = addOkCancel(this, QStringLiteral("comOkng"), buttons, [this](int i) { onButtonClicked(i); });

    auto* top = new QVBoxLayout(this);
    top->addLayout(grids);
    top->addLayout(buttons);
}

SettingCharactersDialog::~SettingCharactersDialog() = default;

void SettingCharactersDialog::editStarted(int which) { editor_.beginEdit(which); }

void SettingCharactersDialog::editEnded(int which, int row, const QString& text) {
    if (editor_.endEdit(which, row, text) != 40) return;
    // Shown once the editor has closed, so that the box does not take the
    // focus from an editor that is still committing.
    QMetaObject::invokeMethod(
        this, [this] { showMessage(ctx_, Caption::LoggerSettings, Msg::SettingCharTaken, kOkOnly); },
        Qt::QueuedConnection);
}

void SettingCharactersDialog::onSetCharacterClicked() {
    const int request = editor_.deleteRequest();
    if (request == 42) {
        showMessage(ctx_, Caption::LoggerSettings, Msg::ChooseSettingChar, kOkOnly);
        return;
    }
    if (showMessage(ctx_, Caption::LoggerSettings, Msg::DeleteSettingChar, kOkCancel) != kOk) return;
    const QModelIndex current = grids_[size_t(editor_.selectedGrid)]->currentIndex();
    editor_.deleteConfirmed(current.isValid() ? current.row() : 0);
    refreshGrids();
}

void SettingCharactersDialog::onSortClicked() {
    // The column of the cursor in the grid last edited (the card grid before
    // any edit).
    const int which = editor_.selectedGrid == kTestGrid ? kTestGrid : kCardGrid;
    const QModelIndex current = grids_[size_t(which)]->currentIndex();
    editor_.sort(current.isValid() ? current.column() : 1);
    refreshGrids();
}

void SettingCharactersDialog::onButtonClicked(int index) {
    if (index != 0) {
        reject();
        return;
    }
    editor_.applyTo(ctx_.general);
    refreshGrids();
    if (const Saved saved = saveGeneralSettings(ctx_.general, ctx_.folders.settingsFile); !saved)
        showRuntimeError(ctx_, runtimeErrorOf(saved.error), captionText(Caption::LoggerSettings), kOkOnly);
    accept();
}

void SettingCharactersDialog::reject() {
    editor_.selectedGrid = kNoGrid;
    QDialog::reject();
}

void SettingCharactersDialog::refreshGrids() {
    for (int which : {kCardGrid, kTestGrid}) {
        const QModelIndex current = grids_[size_t(which)]->currentIndex();
        models_[size_t(which)]->refresh();
        if (current.isValid())
            grids_[size_t(which)]->setCurrentIndex(models_[size_t(which)]->index(current.row(), current.column()));
    }
}

}  // namespace quillet
