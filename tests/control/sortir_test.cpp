// Leaving the editor as the host sees it: "Sortir" sets G_SortirSecteur, emits
// sortirRequested() while the host window is still open, then closes that
// window; any other way of closing it leaves both untouched.

#include <QCloseEvent>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QWindow>

#include "fixture.h"
#include "forms/idle.h"

namespace {

using namespace control_test;

// A host window that may refuse to close, as a host with unsaved work does.
class HostWindow : public QWidget {
public:
    bool refuse = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (refuse) event->ignore();
    }
};

struct Leaving {
    const char* how;
    bool bySortir;     // else the window's close box
    bool hostRefuses;  // the host window ignores the close
    bool windowOpen;   // afterwards
};

TEST(Sortir, SetsTheFlagSignalsThenClosesTheHostWindow) {
    for (const Leaving& c : {Leaving{"Sortir", true, false, false},
                             Leaving{"Sortir, host keeps its window", true, true, true},
                             Leaving{"close box", false, false, false}}) {
        SCOPED_TRACE(c.how);
        Editor ed;
        ed.ctl->Init();
        HostWindow window;
        window.refuse = c.hostRefuses;
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(ed.ctl);  // moves the control from the fixture's host
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

        QSignalSpy spy(ed.ctl, &zonitra::Ctr_Secteur::sortirRequested);
        zonitra::Boolean16 flagWhenSignalled = zonitra::kFalse;
        bool openWhenSignalled = false;
        QObject::connect(ed.ctl, &zonitra::Ctr_Secteur::sortirRequested, [&] {
            flagWhenSignalled = ed.ctl->G_SortirSecteur();
            openWhenSignalled = window.isVisible();
        });
        if (c.bySortir)
            QTest::mouseClick(ed.ui().Cmd_SortirSecteurGeo, Qt::LeftButton);
        else
            window.windowHandle()->close();
        forms::WaitIdle();

        EXPECT_EQ(window.isVisible(), c.windowOpen);
        EXPECT_EQ(spy.count(), c.bySortir ? 1 : 0);
        EXPECT_EQ(ed.ctl->G_SortirSecteur(), c.bySortir ? zonitra::kTrue : zonitra::kFalse);
        if (c.bySortir) {
            EXPECT_EQ(flagWhenSignalled, zonitra::kTrue);
            EXPECT_TRUE(openWhenSignalled);
        }
        layout->removeWidget(ed.ctl);
        ed.ctl->setParent(nullptr);
        delete ed.ctl;  // before the window and the fixture's database
    }
}

}  // namespace
