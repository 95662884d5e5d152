#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QTabBar>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "gui/main/ParameterSearch.h"

namespace {

using Offers = std::vector<ParameterSearch::Offer>;

Offers offersFor(CCtrlToolDlg &window, const QString &text)
{
    window.Search().setText(text);
    emit window.Search().textEdited(text);
    return window.Search().CurrentOffers();
}

bool offersPage(const Offers &offers, const QString &page)
{
    return std::any_of(offers.begin(), offers.end(), [&page](const auto &offer) { return offer.page == page; });
}

} // namespace

// The search offers what the operator can reach by label, group or mnemonic, and a choice brings
// its page to the front with the control focused.
TEST(ParameterSearch, OffersReachableParametersAndGoesToTheChosenOne)
{
    MainWindowRig rig({});
    rig.Start();
    CCtrlToolDlg &window = *rig.window;
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QKeyEvent find(QEvent::KeyPress, Qt::Key_F, Qt::ControlModifier);
    QApplication::sendEvent(&window.Tabs(), &find);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), &window.Search()) << "Ctrl+F";

    const Offers gain = offersFor(window, QStringLiteral("ga"));
    const auto byMnemonic = std::find_if(gain.begin(), gain.end(),
                                         [](const auto &offer) { return offer.text.endsWith(QLatin1String(" (GA)")); });
    ASSERT_NE(byMnemonic, gain.end()) << "a mnemonic is found";

    // Every offer of a broad search leads to its own page and control, whichever page is up.
    const Offers all = offersFor(window, QStringLiteral("e"));
    ASSERT_GT(all.size(), 20u);
    EXPECT_FALSE(offersPage(all, QStringLiteral("Factory A"))) << "the factory page is hidden in the standard mode";
    const std::pair<QString, ParameterSearch::Offer> choices[] = {
        {QStringLiteral("e"), all.back()}, {QStringLiteral("e"), all.front()}, {QStringLiteral("ga"), *byMnemonic}};
    for (const auto &[text, offer] : choices) {
        SCOPED_TRACE(offer.text.toStdString());
        offersFor(window, text);
        window.Search().Choose(offer.text);
        EXPECT_EQ(window.Tabs().tabText(window.Tabs().currentIndex()), offer.page);
        EXPECT_EQ(QApplication::focusWidget(), window.FindControl(offer.controlId));
    }
    EXPECT_NE(all.front().page, all.back().page);

    const Offers widths = offersFor(window, QStringLiteral("width"));
    const auto shared = std::count_if(widths.begin(), widths.end(),
                                      [](const auto &offer) { return offer.text.contains(QLatin1String("/ Width (")); });
    EXPECT_GE(shared, 2) << "a label that two groups share is offered with each group";

    rig.context->controlMode().Set(1);
    window.ApplyControlMode();
    EXPECT_TRUE(offersPage(offersFor(window, QStringLiteral("e")), QStringLiteral("Factory A")));
    rig.Finish();
}
