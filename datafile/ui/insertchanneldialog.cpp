#include "datafile/ui/insertchanneldialog.h"

#include "core/fieldhelpers.h"
#include "core/maingrid.h"
#include "core/store.h"
#include "core/uitexts.h"
#include "core/vb.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace quillet {

std::array<QString, 8> insertValueTexts(const ChannelRecord& c) {
    const QString blanks = QStringLiteral("  ");
    std::array<QString, 8> texts = {
        vb::formatDate(c.startTime, QStringLiteral("yy-mm-dd")) + QLatin1Char(' ') +
            vb::formatDate(c.startTime, QStringLiteral("hh:nn:ss")),
        vb::formatDate(c.interval, QStringLiteral("hh:nn:ss")),
        vb::format(c.sampleCount, QStringLiteral("0")),
        vb::format(c.errorCount, QStringLiteral("0")),
        valueText(c, c.maxValue) + blanks,
        valueText(c, c.minValue) + blanks,
        valueText(c, c.averageValue) + blanks,
        vb::format(c.integratedValue, QStringLiteral("0  ")),
    };
    // "-----" where the grid shows it: without a valid sample, and the
    // integrated value without a reference value.
    const QString dashes = QStringLiteral("-----") + blanks;
    const bool noValidSample = c.sampleCount - c.errorCount < 1;
    if (noValidSample) texts[4] = texts[5] = texts[6] = dashes;
    if (noValidSample || c.referenceValue == kNotSet) texts[7] = dashes;
    return texts;
}

QString insertParameterText(int kind) {
    return uiText(ui::kParameters) + (isHumidity(kind) ? QStringLiteral(" [%RH]") : uiText(ui::kCelsiusUnit));
}

QString insertListText(const AppContext& ctx, const ChannelRecord& c, int fileChannel) {
    int16_t card = c.cardNo, test = c.testNo;
    return QStringLiteral("CH%1  ").arg(fileChannel) + cardText(ctx, card) + QLatin1Char('-') + testText(ctx, test) +
           QLatin1Char(' ') + unitText(c.kind);
}

InsertChannelDialog::InsertChannelDialog(AppContext& ctx, const QString& fileName, QWidget* parent)
    : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmFileins"));
    setWindowTitle(uiText(ui::kInsertTitle));
    setModal(true);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(uiText(ui::kInsertFileName), this));
    Insfilename = new QLabel(fileName, this);
    Insfilename->setObjectName(QStringLiteral("Insfilename"));
    top->addWidget(Insfilename, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(uiText(ui::kCardTestNumbersLabel), this));
    Insnolist = new QListWidget(this);
    Insnolist->setObjectName(QStringLiteral("Insnolist"));
    left->addWidget(Insnolist);

    Frame1 = new QGroupBox(uiText(ui::kInsertChannel), this);
    auto* chGrid = new QGridLayout(Frame1);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < kChannels; ++i) {
        InsertCH[size_t(i)] = new QRadioButton(channelLetter(i + 1), Frame1);
        InsertCH[size_t(i)]->setObjectName(QStringLiteral("InsertCH_%1").arg(i));
        group->addButton(InsertCH[size_t(i)], i);
        chGrid->addWidget(InsertCH[size_t(i)], i / 4, i % 4);
        connect(InsertCH[size_t(i)], &QRadioButton::clicked, this, [this, i] { onTargetChosen(i); });
    }
    left->addWidget(Frame1);

    auto* right = new QGridLayout;
    Insertpara = new QLabel(this);
    Insertpara->setObjectName(QStringLiteral("Insertpara"));
    right->addWidget(Insertpara, 0, 0, 1, 2);
    static const char16_t* const captions[8] = {ui::kStartTimeColon, ui::kIntervalColon,  ui::kRecordsColon,
                                                ui::kErrorsColon,    ui::kMaximumColon,   ui::kMinimumColon,
                                                ui::kAverageColon,   ui::kIntegratedColon};
    for (int i = 0; i < 8; ++i) {
        right->addWidget(new QLabel(QString::fromUtf16(captions[i]), this), i + 1, 0);
        Insvalue[size_t(i)] = new QLabel(this);
        Insvalue[size_t(i)]->setObjectName(QStringLiteral("Insvalue_%1").arg(i));
        Insvalue[size_t(i)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        right->addWidget(Insvalue[size_t(i)], i + 1, 1);
    }
    right->setRowStretch(9, 1);

    auto* middle = new QHBoxLayout;
    middle->addLayout(left);
    middle->addLayout(right);

    auto* buttons = new QHBoxLayout;
    const QString buttonCaptions[2] = {QStringLiteral("Ok"), QStringLiteral("Cancel")};
    for (int i = 0; i < 2; ++i) {
        Command1[size_t(i)] = new QPushButton(buttonCaptions[i], this);
        Command1[size_t(i)]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        Command1[size_t(i)]->setAutoDefault(false);
        buttons->addWidget(Command1[size_t(i)]);
        connect(Command1[size_t(i)], &QPushButton::clicked, this, [this, i] { onButtonClicked(i); });
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addLayout(buttons);

    // Loading: the staged channels in slot order, their dates derived; the
    // channels in use cannot be targets; the lowest free one is preselected.
    for (int slot = kChannels + 1; slot <= kSlots; ++slot) {
        ChannelRecord& c = ctx_.store.ch[size_t(slot)];
        if (c.inUse != 1) continue;
        deriveDates(c);
        slots_.push_back(slot);
        Insnolist->addItem(insertListText(ctx_, c, slot - kChannels));
    }
    for (int ch = 1; ch <= kChannels; ++ch) InsertCH[size_t(ch - 1)]->setEnabled(ctx_.store.ch[size_t(ch)].inUse != 1);
    insertTarget_ = lowestFreeChannel(ctx_.store);
    if (insertTarget_ > 0) InsertCH[size_t(insertTarget_ - 1)]->setChecked(true);
    connect(Insnolist, &QListWidget::currentRowChanged, this, [this] { onEntryChosen(); });
    if (!slots_.empty()) Insnolist->setCurrentRow(0);
    // Nothing to insert or nowhere to put it: only Cancel.
    Command1[0]->setEnabled(!slots_.empty() && insertTarget_ > 0);
}

int InsertChannelDialog::slotOfEntry(int index) const {
    return index >= 0 && index < int(slots_.size()) ? slots_[size_t(index)] : 0;
}

void InsertChannelDialog::onEntryChosen() {
    const int slot = slotOfEntry(Insnolist->currentRow());
    if (slot == 0) return;
    const ChannelRecord& c = ctx_.store.ch[size_t(slot)];
    Insertpara->setText(insertParameterText(c.kind));
    const auto texts = insertValueTexts(c);
    for (size_t i = 0; i < texts.size(); ++i) Insvalue[i]->setText(texts[i]);
}

void InsertChannelDialog::onTargetChosen(int index) {
    if (index < 0 || index >= kChannels || !InsertCH[size_t(index)]->isEnabled()) return;
    InsertCH[size_t(index)]->setChecked(true);
    insertTarget_ = index + 1;
}

void InsertChannelDialog::onButtonClicked(int index) {
    if (index == 0) {
        const int row = Insnolist->currentRow();
        if (slotOfEntry(row) == 0 || insertTarget_ == 0) return;
        choice_ = InsertChoice{row, insertTarget_};
        accept();
        return;
    }
    choice_.reset();
    reject();
}

std::optional<InsertChoice> QtInsertDialog::choose(AppContext& ctx, const QString& fileName) {
    InsertChannelDialog dlg(ctx, fileName, parent_);
    dlg.exec();
    return dlg.choice();
}

}  // namespace quillet
