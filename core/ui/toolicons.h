// The toolbar's image list: five 16 × 16 images of our own drawing, keyed
// "toolopen", "toolsave", "toolprint", "toollog" and "toolgl".
#pragma once

#include <QIcon>
#include <QMap>
#include <QString>

namespace quillet {

QMap<QString, QIcon> toolbarImages();

}  // namespace quillet
