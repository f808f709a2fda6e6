#include "core/context.h"
#include "core/startup.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quillet::AppContext ctx;
    quillet::startUp(ctx, quillet::standardFolders());
    QLabel label(QStringLiteral("クイレット解析ソフト"));
    label.show();
    return app.exec();
}
