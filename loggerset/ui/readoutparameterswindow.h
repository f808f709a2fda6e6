// ReadoutParametersWindow: the read-out parameter window ("ロガー読み出し"). Shows what
// the logger on the reader holds, per logger channel, and lets the user
// choose the grid channels that receive it. OK runs the transfer into the
// chosen channels through the caller's callback; Cancel sets the status to
// Faulty.
//
// Controls keep their names: per logger channel a frame `Rscale` with the
// value labels `Rctnoval`, `Rstarttimeval`, ... (the frame and its labels
// carry the property "index" = the logger channel, 1 or 2); the option rows
// `Dropch` and `Dropch2` ("A".."H", property "index" 1..8) in the frames
// `Dropchlist` and `Dropchlist2`; the buttons `Command1` (index 0 OK,
// 1 Cancel).
#pragma once

#include "core/context.h"
#include "loggerset/parametertexts.h"

#include <QDialog>

#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quillet {

class ReadoutParametersWindow : public QDialog {
    Q_OBJECT
public:
    // startTransfer opens the progress window and runs the transfer into
    // the channels given; it returns when the transfer is over (done, failed
    // or cancelled; the result is in the status).
    ReadoutParametersWindow(AppContext& ctx, std::function<void(Destinations)> startTransfer,
                            QWidget* parent = nullptr);

    // The controls, for the callers and the tests.
    QLabel* valueLabel(const QString& name, int channel) const;
    QLabel* recordModeTitle(int channel) const;
    QGroupBox* scaleFrame(int channel) const;
    QGroupBox* storageFrame(int row) const;
    QRadioButton* storageOption(int row, int channel) const;
    QPushButton* command(int index) const;
    const StorageChoice& storageChoice() const { return choice_; }

    // Handlers.
    void onButtonClicked(int index);
    void onChannel1StorageChosen(int channel);
    void onChannel2StorageChosen(int channel);

    // Esc and the close box abandon the read-out like Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct ChannelControls {
        QGroupBox* frame = nullptr;
        QLabel* recordModeTitle = nullptr;
        std::array<QLabel*, 15> values{};
    };
    struct StorageRow {
        QGroupBox* frame = nullptr;
        std::array<QRadioButton*, 9> options{};  // [1..8]
    };

    QGroupBox* buildChannel(int channel);
    QGroupBox* buildStorageRow(int row);
    void showTexts();
    void showStorageChoice();
    void cancel();

    AppContext& ctx_;
    std::function<void(Destinations)> startTransfer_;
    ReadoutParameterTexts texts_;
    StorageChoice choice_;
    std::array<ChannelControls, 3> channels_{};
    std::array<StorageRow, 3> rows_{};
    std::array<QPushButton*, 2> commands_{};
    bool warned_ = false;
    bool transferring_ = false;
};

}  // namespace quillet
