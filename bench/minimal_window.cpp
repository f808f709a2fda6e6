// The yardstick of the start-up benchmark (bench/compare.sh): the least a Qt
// Widgets program does to show a main window with a menu bar and some text,
// ending after its first paint as `quillet --quit-after-paint` does.
#include "app/firstpaint.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Quit"));
    auto* label = new QLabel(QStringLiteral("Hello"), &window);
    window.setCentralWidget(label);
    window.resize(1024, 680);
    quillet::QuitAfterFirstPaint quit(label);
    window.show();
    return app.exec();
}
