#include <map>
#include <set>

#include <QAccessible>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "PageTestRig.h"
#include "core/catalog/PageTables.h"
#include "gui/main/ControlId.h"
#include "gui/pages/PageBuilder.h"

namespace {

QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QGroupBox *groupOf(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *box = qobject_cast<QGroupBox *>(w))
            return box;
    }
    return nullptr;
}

TEST(PagesTest, PageTableOrderTitlesAndTemplates)
{
    PageRig rig;
    const int templates[] = {111, 112, 113, 114, 115, 117};
    const char *titles[] = {"User A", "User B", "User C", "User D", "User E", "Factory A"};
    ASSERT_EQ(rig.pages.size(), 6u);
    for (std::size_t i = 0; i < rig.pages.size(); ++i) {
        EXPECT_EQ(rig.pages[i]->templateId(), templates[i]);
        EXPECT_EQ(rig.pages[i]->title(), QString::fromUtf8(titles[i]));
        EXPECT_EQ(rig.pages[i]->factoryOnly(), i == 5);
    }
}

// Every bound row has its control on exactly one page, of the sort its kind calls for; only
// the two rows of a template that is never made into a page have none.
TEST(PagesTest, EveryControlTableRowHasItsControlOnce)
{
    PageRig rig;
    const std::set<int> offPage = {1124, 1126};
    for (int i = 0; i < rig.table.RowCount(); ++i) {
        const ControlEntry &row = rig.table.Row(i);
        int holders = 0;
        for (const CTabSheetDialog *page : rig.pages)
            holders += page->Control(row.controlId) ? 1 : 0;
        if (offPage.count(row.controlId)) {
            EXPECT_EQ(holders, 0) << row.controlId;
            continue;
        }
        ASSERT_EQ(holders, 1) << "control " << row.controlId;
        QWidget *control = rig.Find(row.controlId);
        switch (row.kind) {
        case ControlKind::List:
            EXPECT_TRUE(qobject_cast<QComboBox *>(control)) << row.controlId;
            break;
        case ControlKind::Number: {
            auto *edit = qobject_cast<QLineEdit *>(control);
            ASSERT_TRUE(edit) << row.controlId;
            auto *spin = qobject_cast<SpinButton *>(rig.Find(SpinIdOfBuddy(edit)));
            ASSERT_TRUE(spin) << row.controlId;
            EXPECT_EQ(spin->buddy(), edit);
            break;
        }
        case ControlKind::Action:
            EXPECT_TRUE(qobject_cast<QPushButton *>(control)) << row.controlId;
            break;
        case ControlKind::End:
            ADD_FAILURE();
        }
    }
}

// Each widget that carries an id is the one its page finds by it, and no id is on two
// pages: a clash would make one of them unreachable.
TEST(PagesTest, ControlIdsAreUniqueAcrossPages)
{
    PageRig rig;
    std::map<int, QString> owner;
    for (const CTabSheetDialog *page : rig.pages) {
        for (QWidget *widget : page->findChildren<QWidget *>()) {
            const int id = ControlIdOf(widget);
            if (id < 0)
                continue;
            EXPECT_EQ(page->Control(id), widget) << "id " << id << " twice on " << page->title().toStdString();
            const auto [it, fresh] = owner.emplace(id, page->title());
            EXPECT_TRUE(fresh || it->second == page->title())
                << "id " << id << " on " << it->second.toStdString() << " and " << page->title().toStdString();
        }
    }
    // The ids that the model layout shows and hides, statics and group boxes included.
    for (int id : {1323, 1324, 1325, 1316, 1319, 1322, 1639, 1688, 1689, 1692, 1544, 1546, 1547, 1592, 1597,
                   1317, 1318, 1577, 1326, 1329, 1616, 1300, 1315, 1629, 1632, 1687, 1684, 1676, 1677, 1141})
        EXPECT_TRUE(rig.Find(id)) << id;
}

TEST(PagesTest, UserAHasItsTextsAndEntries)
{
    PageRig rig;
    const QStringList triggerSources = ListEntries(rig.List(1098));
    ASSERT_EQ(triggerSources.size(), 18);
    EXPECT_EQ(triggerSources[2], "PulseGenerator0");
    EXPECT_EQ(triggerSources[10], "Line4 TTL In1");
    EXPECT_EQ(triggerSources[17], "EncoderTrigger");
    EXPECT_EQ(ListEntries(rig.List(1224)), QStringList({"Common", "Indivisual"}));
    EXPECT_EQ(ListEntries(rig.List(1223)), QStringList({"Base", "Medium", "Full", "Eighty"}));
    EXPECT_EQ(rig.Edit(1215).text(), "XXX.XXms");
    EXPECT_EQ(rig.Edit(1216).text(), "XXX.XXHz");
    EXPECT_EQ(rig.Edit(1218).text(), "-");
    EXPECT_TRUE(rig.Edit(1215).isReadOnly());
    EXPECT_EQ(qobject_cast<QPushButton *>(rig.Find(1222))->text(), "Read");
    EXPECT_EQ(qobject_cast<QLabel *>(rig.Find(1324))->text(), "Exposure Time G");
    EXPECT_EQ(qobject_cast<QLabel *>(rig.Find(1324))->buddy(), rig.Find(1296));
    EXPECT_EQ(rig.Spin(1045).buddy(), &rig.Edit(1041));

    QStringList labels;
    for (QLabel *label : rig.pages[0]->findChildren<QLabel *>())
        labels << label->text();
    for (const char *text : {"Line Rate max limit", "1515152", "GainAutoReference", "30～95%", "8 bit   /   10 bit"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(groupOf(rig.Find(1139))->title(), "Gain and Black");
    // Lists start without a selection until a value is shown.
    EXPECT_EQ(rig.List(1096).currentIndex(), -1);
}

TEST(PagesTest, SignalListsAndTheirVariants)
{
    PageRig rig;
    const QStringList signalList = ListEntries(rig.List(1101));
    ASSERT_EQ(signalList.size(), 21);
    EXPECT_EQ(signalList[19], "EncoderTrigger");
    EXPECT_EQ(ListEntries(rig.List(1342))[19], "EncoderTriger");
    EXPECT_EQ(ListEntries(rig.List(1342)).size(), 21);
    for (int n = 0; n < 4; ++n) {
        const QStringList sources = ListEntries(rig.List(1363 + 12 * n));
        EXPECT_EQ(sources.size(), 20);
        EXPECT_FALSE(sources.contains(QStringLiteral("PulseGenerator%1").arg(n))) << n;
        EXPECT_EQ(sources.count(QStringLiteral("PulseGenerator%1").arg((n + 1) % 4)), 1) << n;
        EXPECT_EQ(groupOf(rig.Find(1354 + 12 * n))->title(), QStringLiteral("Pulse Generator %1").arg(n));
    }
    EXPECT_EQ(ListEntries(rig.List(1438)).last(), "100is");
    EXPECT_EQ(ListEntries(rig.List(1445)), QStringList({"Off", "Line Start"}));
    EXPECT_EQ(ListEntries(rig.List(1458)), QStringList({"Rising Edge"}));
}

TEST(PagesTest, OtherPagesSpotChecks)
{
    PageRig rig;
    EXPECT_EQ(groupOf(rig.Find(1566))->title(), "Spartial Compensation");
    EXPECT_EQ(groupOf(rig.Find(1538))->title(), "Additional Infomation");
    EXPECT_EQ(groupOf(rig.Find(1517))->title(), "Color Matrix ( User Custom )");
    EXPECT_EQ(qobject_cast<QPushButton *>(rig.Find(1181))->text(), "Wirte");
    EXPECT_EQ(qobject_cast<QPushButton *>(rig.Find(1336))->text(), "Read ( camera -> file )");
    EXPECT_EQ(ListEntries(rig.List(1408)).size(), 6);
    EXPECT_EQ(ListEntries(rig.List(1142)), QStringList({"QN-5200RL-BDXP", "QN-5200R-BDX"}));
    EXPECT_EQ(ListEntries(rig.List(1695)).size(), 9);
    EXPECT_EQ(rig.pages[4]->Control(1049), rig.Find(1049));
    EXPECT_EQ(rig.Spin(1562).buddy(), &rig.Edit(1696));
    EXPECT_EQ(rig.Spin(1675).buddy(), &rig.Edit(1674));
}

TEST(PagesTest, ControlsThatStartDisabledOrHidden)
{
    PageRig rig;
    for (int id : {1699, 1704, 1701, 1700, 1695, 1696, 1562, 1702, 1703, 1585, 1698})
        EXPECT_FALSE(rig.Find(id)->isEnabled()) << id;
    EXPECT_TRUE(rig.Find(1560)->isEnabled());
    for (int id : {1555, 1556, 1558}) {
        EXPECT_TRUE(rig.Find(id)->isHidden()) << id;
        EXPECT_FALSE(rig.Find(id)->isEnabled()) << id;
        EXPECT_FALSE(groupOf(rig.Find(id))->isVisibleTo(rig.pages[2])) << id;
    }
    EXPECT_FALSE(rig.Find(1566)->isHidden());
}

TEST(PagesTest, HiddenMainWindowControlsComeAfterThePages)
{
    PageRig rig;
    QWidget window;
    ControlRegistry own;
    BuildHiddenControls(MainWindowHiddenControls(), window, own);
    EXPECT_EQ(own.Count(), 8);
    for (int id : own.Ids())
        EXPECT_TRUE(own.Find(id)->isHidden()) << id;
    const PageControlFinder finder(rig.pages, &own);
    EXPECT_EQ(finder.FindControl(1049), rig.pages[4]->Control(1049));
    EXPECT_EQ(finder.FindControl(1038), own.Find(1038));
    EXPECT_EQ(finder.FindControl(4242), nullptr);
}

// Screen readers need a name on every control an operator can use.
TEST(PagesTest, EveryUsableControlHasAnAccessibleName)
{
    PageRig rig;
    for (const CTabSheetDialog *page : rig.pages) {
        for (QWidget *widget : page->findChildren<QWidget *>()) {
            const bool usable = qobject_cast<QLineEdit *>(widget) || qobject_cast<QComboBox *>(widget) ||
                                qobject_cast<QPushButton *>(widget) || qobject_cast<SpinButton *>(widget);
            if (!usable || !widget->isEnabled() || !widget->isVisibleTo(page))
                continue;
            EXPECT_FALSE(accessibleName(widget).isEmpty())
                << page->title().toStdString() << " control " << ControlIdOf(widget);
        }
    }
    // Two fields named alike tell themselves apart by their groups.
    EXPECT_EQ(accessibleName(rig.Find(1225)), "Width");
    EXPECT_EQ(accessibleName(rig.Find(1404)), "Width");
    EXPECT_NE(groupOf(rig.Find(1225))->title(), groupOf(rig.Find(1404))->title());
    EXPECT_EQ(accessibleName(rig.Find(1195)), "Sensor Select");
    EXPECT_EQ(accessibleName(rig.Find(1402)), "PG Clock PreScaler");
    EXPECT_EQ(accessibleName(rig.Find(1226)), "Width");
}

// Tabbing walks the page in the order its table lists the controls.
TEST(PagesTest, TabOrderFollowsThePageTable)
{
    PageRig rig;
    for (const CTabSheetDialog *page : rig.pages) {
        QList<QWidget *> expected;
        for (const GroupSpec &group : page->spec().groups) {
            for (const FieldSpec &field : group.fields) {
                if (field.id && field.kind != FieldKind::FixedText && field.kind != FieldKind::Caption)
                    expected << page->Control(field.id);
            }
        }
        ASSERT_FALSE(expected.isEmpty());
        QList<QWidget *> walked;
        QWidget *widget = expected.first();
        do {
            if (expected.contains(widget))
                walked << widget;
            widget = widget->nextInFocusChain();
        } while (widget != expected.first() && walked.size() < expected.size());
        EXPECT_EQ(walked, expected) << page->title().toStdString();
        for (QWidget *control : expected)
            EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus) << ControlIdOf(control);
    }
}

// The same with the keyboard: Tab from the first control of "User A" visits its controls in
// table order, the read-only readouts and buttons included, and skips the spins.
TEST(PagesTest, TabKeyWalksUserAInTableOrder)
{
    PageRig rig;
    CTabSheetDialog &page = *rig.pages[0];
    for (CTabSheetDialog *other : rig.pages)
        other->setVisible(other == &page);
    rig.host->resize(1280, 900);
    rig.host->show();
    rig.host->activateWindow();
    QApplication::processEvents();
    QList<int> expected;
    for (const GroupSpec &group : page.spec().groups) {
        for (const FieldSpec &field : group.fields) {
            if (field.id && field.kind != FieldKind::FixedText && field.kind != FieldKind::Caption)
                expected << field.id;
        }
    }
    page.Control(expected.first())->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QList<int> visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QWidget *focused = QApplication::focusWidget();
        ASSERT_TRUE(focused) << "after " << i << " tabs";
        visited << ControlIdOf(focused);
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(focused, &tab);
    }
    EXPECT_EQ(visited, expected);
}

// At a common screen size every page is laid out without groups or controls on top of each
// other; the screenshots go to the temporary folder for a look by eye.
TEST(PagesTest, PagesLayOutWithoutOverlap)
{
    PageRig rig;
    rig.host->resize(1280, 900);
    rig.host->show();
    for (CTabSheetDialog *page : rig.pages)
        page->hide();
    for (CTabSheetDialog *page : rig.pages) {
        page->setGeometry(0, 0, 1280, 900);
        page->show();
        QApplication::processEvents();
        const QList<QGroupBox *> boxes = page->findChildren<QGroupBox *>();
        for (qsizetype i = 0; i < boxes.size(); ++i) {
            if (!boxes[i]->isVisible())
                continue;
            for (qsizetype j = i + 1; j < boxes.size(); ++j) {
                if (!boxes[j]->isVisible())
                    continue;
                EXPECT_FALSE(boxes[i]->geometry().intersects(boxes[j]->geometry()))
                    << page->title().toStdString() << ": " << boxes[i]->title().toStdString() << " / "
                    << boxes[j]->title().toStdString();
            }
            QList<QWidget *> children;
            for (QWidget *child : boxes[i]->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (child->isVisible())
                    children << child;
            }
            for (qsizetype a = 0; a < children.size(); ++a) {
                EXPECT_TRUE(boxes[i]->rect().contains(children[a]->geometry()))
                    << boxes[i]->title().toStdString() << " clips control " << ControlIdOf(children[a]);
                for (qsizetype b = a + 1; b < children.size(); ++b)
                    EXPECT_FALSE(children[a]->geometry().intersects(children[b]->geometry()))
                        << boxes[i]->title().toStdString() << ": " << ControlIdOf(children[a]) << " / "
                        << ControlIdOf(children[b]);
            }
        }
        page->grab().save(QStringLiteral("/tmp/qn-page-%1.png").arg(page->templateId()));
        page->hide();
    }
}

} // namespace
