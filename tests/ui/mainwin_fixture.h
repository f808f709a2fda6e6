// Shared set-up of the main-window tests: one QApplication on the offscreen
// platform, a fresh context with scripted side effects, and MainWindow over it.
#pragma once

#include "core/channelfill.h"
#include "core/ui/mainwindow.h"
#include "support/fakes.h"

#include <QApplication>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <memory>

namespace quillet::fakes {

inline void ensureApplication() {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tests_ui";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives for the whole run
}

inline QString u8(const char* s) { return QString::fromUtf8(s); }

// Runs `act` on the modal dialog of type D once the caller's exec() shows it.
template <typename D, typename F>
void whenModal(F act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        act(*d);
    });
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }

    void SetUp() override {
        window = std::make_unique<MainWindow>(t.ctx);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        // Leave without the shutdown question of a test that kept data.
        t.ctx.store.unsavedRead = 0;
        t.ctx.store.unsavedEdit = 0;
        window.reset();
    }

    // Fills channels and refreshes as a read-out or an open does.
    void fill(int ch, const ChannelData& want) { fillChannel(t.ctx, ch, want); }
    void refresh() {
        rebuildAxisAndDisplay(t.ctx);
        window->updateCommandStates();
    }

    QString header(int col) const {
        return window->gridModel->headerData(col, Qt::Horizontal, kRawTextRole).toString();
    }
    QString cell(int row, int col) const {
        return window->gridModel->index(row - 1, col).data(kRawTextRole).toString();
    }
    QString stat(int row, int col) const { return window->pgridModel->index(row, col).data(kRawTextRole).toString(); }

    TestContext t;
    std::unique_ptr<MainWindow> window;
};

}  // namespace quillet::fakes
