#include "guifixture.h"
#include "ui/windowregistry.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A form with one field, of a given opening size, counting its data loads.
class Probe : public QWidget {
    Q_OBJECT
public:
    explicit Probe(QSize size) {
        setObjectName("Probe");
        field = new QLineEdit;
        (new QVBoxLayout(this))->addWidget(field);
        resize(size);
    }
    QLineEdit* field;
    int loads = 0;
public slots:
    void InitReport() { ++loads; }
};

class ProbeDialog : public QDialog {
public:
    explicit ProbeDialog(QWidget* parent) : QDialog(parent) { setObjectName("ProbeDialog"); }
};

} // namespace

class Registry : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        m_area.resize(1000, 560);
        m_area.show();
        QApplication::setActiveWindow(&m_area);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_area));
        WindowRegistry::SetArea(&m_area);
        add("small", QSize(400, 300));
        add("large", QSize(1200, 500));
        WindowRegistry::Register("report", {.create =
                                                [](QWidget*) {
                                                    return new Probe({300, 200});
                                                },
                                            .report = true});
        WindowRegistry::Register("dialog",
                                 {.create = [](QWidget* p) { return new ProbeDialog(p); }, .modal = true});
    }
    void TearDown() override {
        for (const char* key : {"small", "large", "report", "dialog"})
            WindowRegistry::Unregister(key);
        WindowRegistry::SetArea(nullptr);
        GuiTest::TearDown();
    }
    void add(const QString& key, QSize size) {
        WindowRegistry::Register(
            key, {.create = [size](QWidget*) { return new Probe(size); }, .title = "title " + key});
    }
    static QMdiSubWindow* frameOf(QWidget* w) { return qobject_cast<QMdiSubWindow*>(w->parentWidget()); }
    QMdiSubWindow* topFrame() { return m_area.subWindowList(QMdiArea::StackingOrder).last(); }
    QMdiArea m_area;
};

TEST_F(Registry, OneInstancePerKeyBroughtToTheFrontWithTheFocus) {
    EXPECT_TRUE(WindowRegistry::IsRegistered("small"));
    EXPECT_FALSE(WindowRegistry::IsRegistered("frmNothing"));
    EXPECT_EQ(WindowRegistry::Open("frmNothing"), nullptr);
    auto* small = qobject_cast<Probe*>(WindowRegistry::Open("small"));
    ASSERT_TRUE(small);
    auto* report = WindowRegistry::OpenAs<Probe>("report");
    ASSERT_TRUE(report);
    EXPECT_EQ(m_area.activeSubWindow(), frameOf(report));
    EXPECT_EQ(WindowRegistry::Open("small"), small);
    QApplication::processEvents();
    EXPECT_EQ(m_area.subWindowList().size(), 2);
    EXPECT_EQ(m_area.activeSubWindow(), frameOf(small));
    EXPECT_EQ(topFrame(), frameOf(small));
    EXPECT_EQ(QApplication::focusWidget(), small->field);
    EXPECT_EQ(WindowRegistry::Find("small"), small);
    EXPECT_EQ(WindowRegistry::Find("large"), nullptr);
    WindowRegistry::Open("report"); // a report loads its data at every opening
    EXPECT_EQ(report->loads, 2);
}

TEST_F(Registry, ModalWindowsRunEachTimeWithTheFrameAsParent) {
    EXPECT_EQ(WindowRegistry::Open("dialog"), nullptr);
    EXPECT_EQ(WindowRegistry::Open("dialog"), nullptr);
    EXPECT_EQ(m_modalShown, (std::vector<QString>{"ProbeDialog", "ProbeDialog"}));
    EXPECT_TRUE(m_area.subWindowList().isEmpty());
    WindowRegistry::SetArea(nullptr); // without a frame only modal windows open
    EXPECT_EQ(WindowRegistry::Open("small"), nullptr);
    EXPECT_EQ(WindowRegistry::Open("dialog"), nullptr);
    EXPECT_EQ(m_modalShown.size(), 3u);
}

TEST_F(Registry, AFormClosingItselfTakesItsFrameAlong) {
    QWidget* first = WindowRegistry::Open("small");
    first->close();
    for (int i = 0; i < 2; ++i) { // the form goes, then its frame
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
    EXPECT_TRUE(m_area.subWindowList().isEmpty());
    EXPECT_EQ(WindowRegistry::Find("small"), nullptr);
    EXPECT_TRUE(WindowRegistry::Open("small"));
    QApplication::processEvents();
    EXPECT_EQ(m_area.subWindowList().size(), 1);
}

TEST_F(Registry, NewWindowsOpenAtTheirSizeOrMaximisedAndAlwaysInFront) {
    QWidget* small = WindowRegistry::Open("small");
    QMdiSubWindow* smallFrame = frameOf(small);
    EXPECT_FALSE(smallFrame->isMaximized());
    EXPECT_EQ(small->size(), QSize(400, 300));
    EXPECT_TRUE(m_area.viewport()->rect().contains(smallFrame->geometry()));
    QWidget* large = WindowRegistry::Open("large"); // wider than the area
    EXPECT_TRUE(frameOf(large)->isMaximized());
    WindowRegistry::Open("report"); // opened over a maximised window
    QApplication::processEvents();
    EXPECT_EQ(topFrame()->widget()->objectName(), "Probe");
    EXPECT_EQ(m_area.activeSubWindow(), topFrame());
    EXPECT_EQ(topFrame(), frameOf(WindowRegistry::Find("report")));
}

#include "test_windowregistry.moc"
