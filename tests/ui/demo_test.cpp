// The demo: a read-out through the main window from the simulated reader
// inside the program, as it answers paced, at once or with an echo; and
// the demo logger's data show what the analysis is for (values within the
// alarm limits but for one excursion of the temperature).
#include "mainwin_fixture.h"

#include "analysis/figures.h"
#include "app/demo.h"
#include "loggerset/ui/commwiring.h"
#include "loggerset/ui/readoutparameterswindow.h"
#include "loggerset/ui/readoutwindows.h"

using namespace quillet;
using namespace quillet::fakes;

namespace {

struct MannerCase {
    const char* name;
    ReaderManner manner;
};

class DemoReadoutTest : public MainWindowTest, public ::testing::WithParamInterface<MannerCase> {};

TEST_P(DemoReadoutTest, ReadsTheDemoLoggerThroughTheWindow) {
    Demo demo(t.clock, GetParam().manner);
    EXPECT_FALSE(demo.start(t.ctx).isEmpty());
    t.clock.hooks.push_back([] { QCoreApplication::processEvents(); });
    QtReadoutWindows readout(window.get());
    wireCommunication(*window, t.ctx, readout);
    // OK in the parameter window once it shows.
    QTimer ok;
    QObject::connect(&ok, &QTimer::timeout, [&ok] {
        if (auto* w = qobject_cast<ReadoutParametersWindow*>(QApplication::activeModalWidget())) {
            ok.stop();
            w->onButtonClicked(0);
        }
    });
    ok.start(0);

    window->action(Command::ReadLogger)->trigger();

    ASSERT_TRUE(t.messages.shown.empty()) << t.messages.texts().join("|").toStdString();
    ASSERT_EQ(t.ctx.store.channelsInUse, 2);
    const std::vector<ChannelFigures> figures = channelFigures(t.ctx.store, wholeAxis(t.ctx.store));
    ASSERT_EQ(figures.size(), 2u);
    for (const ChannelFigures& f : figures) {
        SCOPED_TRACE(f.channel);
        EXPECT_EQ(f.samples, 432);
        ASSERT_TRUE(f.limits);
        EXPECT_EQ(f.limits->below.count, 0);
        EXPECT_GT(f.limits->withinShare, 0.9);
    }
    // One excursion above the temperature's upper limit, of a few hours.
    EXPECT_EQ(figures[0].limits->above.count, 1);
    EXPECT_GE(figures[0].limits->above.longestSeconds, 3600);
    EXPECT_EQ(figures[1].limits->above.count, 0);
}

INSTANTIATE_TEST_SUITE_P(Manners, DemoReadoutTest,
                         ::testing::Values(MannerCase{"Paced", {20, true, false}},
                                           MannerCase{"AtOnce", {0, false, false}},
                                           MannerCase{"Echoing", {20, true, true}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
