#include "core/ui/okcancel.h"

namespace quillet {

std::array<QPushButton*, 2> addOkCancel(QWidget* parent, const QString& name, QBoxLayout* row,
                                        std::function<void(int index)> click) {
    std::array<QPushButton*, 2> buttons{};
    const QString captions[2] = {QStringLiteral("OK"), QStringLiteral("Cancel")};
    for (int i = 0; i < 2; ++i) {
        auto* b = new QPushButton(captions[i], parent);
        b->setObjectName(name);
        b->setProperty("index", i);
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, parent, [click, i] { click(i); });
        row->addWidget(b);
        buttons[size_t(i)] = b;
    }
    return buttons;
}

}  // namespace quillet
