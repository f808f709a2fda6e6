// PortDialog: the manual choice of the reader's port.
#pragma once

#include <QDialog>

class QComboBox;

namespace quillet {

struct AppContext;

class PortDialog : public QDialog {
    Q_OBJECT
public:
    PortDialog(AppContext& ctx, QWidget* parent = nullptr);

    QComboBox* CommList() const { return commList_; }
    // comPORTSET(0): OK. The dialog stays open when the port cannot be used.
    void onButtonClicked(int index);

private:
    AppContext& ctx_;
    QComboBox* commList_;
};

// The list item of port n: "COMポート" + n, with the device it maps to on
// systems without COM names.
QString portItemText(int n);

}  // namespace quillet
