// The OK / Cancel pair of a window: one control array of two push buttons
// (object name `name`, property "index" 0 = OK, 1 = Cancel), added to row;
// a press calls click with the index.
#pragma once

#include <QBoxLayout>
#include <QPushButton>

#include <array>
#include <functional>

namespace quillet {

std::array<QPushButton*, 2> addOkCancel(QWidget* parent, const QString& name, QBoxLayout* row,
                                        std::function<void(int index)> click);

}  // namespace quillet
