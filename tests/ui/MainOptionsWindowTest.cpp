// The main options window offscreen: every control on its page under its caption, the locked
// check box, and "Применить" handing back what was saved while Escape saves nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <optional>

#include "app/config/StateFiles.h"
#include "app/ui/MainOptionsWindow.h"
#include "common/AtomicFile.h"
#include "support/OffscreenApp.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

QApplication& App() {
    return testing::OffscreenApp();
}

struct OptionsWindow : ::testing::Test {
    OptionsWindow() {
        App();
        const AppConfigData defaults = AppConfigData::Defaults();
        const auto& bytes = defaults.bytes();
        WriteFileAtomically(dir / kAppCfgName, bytes.data(), bytes.size());
        window.emplace(AppConfigData::Defaults(), dir.path(),
                       [this](const MainOptionsSave& s) { saves.push_back(s); });
        window->show();
    }
    QWidget* Control(std::string_view caption) {
        const auto i = window->Model().Find(caption);
        EXPECT_TRUE(i) << caption;
        return window->ControlWidget(i.value_or(0));
    }

    testing::TempDir dir;
    std::vector<MainOptionsSave> saves;
    std::optional<MainOptionsWindow> window;
};

TEST_F(OptionsWindow, ShowsEveryControlUnderItsCaptionOnItsPage) {
    EXPECT_EQ(window->windowTitle(), "Главные опции");
    QTabWidget* pages = window->Pages();
    ASSERT_EQ(pages->count(), 4);
    const QStringList names = {"Общие", "Тарифы", "Печать", "Устройства"};
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(pages->tabText(p), names[p]);
    }
    const auto& controls = window->Model().Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const OptionControl& c = controls[i];
        const QString caption = QString::fromStdString(c.caption);
        SCOPED_TRACE(c.caption);
        QWidget* page = pages->widget(static_cast<int>(c.page));
        QWidget* widget = window->ControlWidget(i);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(page->isAncestorOf(widget));
        if (c.kind == OptionKind::kCheck) {
            EXPECT_EQ(qobject_cast<QCheckBox*>(widget)->text(), caption);
            continue;
        }
        bool labelled = false;
        for (QLabel* label : page->findChildren<QLabel*>()) {
            labelled = labelled || label->text() == caption;
        }
        EXPECT_TRUE(labelled);
        if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && c.digits > 0) {
            EXPECT_EQ(edit->maxLength(), c.digits);
        }
        if (c.kind == OptionKind::kText) {
            EXPECT_TRUE(widget->toolTip().contains(QString::number(c.TextCapacity())));
        }
    }
}

TEST_F(OptionsWindow, CheckingShortPolarityLocksTheCalledPartyBox) {
    auto* shortBox = qobject_cast<QCheckBox*>(Control("Короткая п/п-ка"));
    QWidget* clearBox = Control("Отбой абонента Б");
    shortBox->click();
    EXPECT_FALSE(clearBox->isEnabled());
    shortBox->click();
    EXPECT_TRUE(clearBox->isEnabled());
}

TEST_F(OptionsWindow, ApplyHandsBackTheSavedOutcomeAndEscapeSavesNothing) {
    auto* price = qobject_cast<QLineEdit*>(Control("Цена 1 страницы"));
    price->selectAll();
    price->insert("1.5");
    qobject_cast<QCheckBox*>(Control("Запись app.log"))->click();
    window->ApplyButton()->click();
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_TRUE(saves[0].written);
    EXPECT_EQ(saves[0].outcome.config.Get(appcfg::kFaxPagePrice), 150);
    EXPECT_TRUE(saves[0].outcome.appLogSwitchedOn);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_FALSE(window->isVisible());

    MainOptionsWindow again(saves[0].outcome.config, dir.path(),
                            [this](const MainOptionsSave& s) { saves.push_back(s); });
    again.show();
    const auto i = again.Model().Find("Цена 1 страницы");
    auto* shown = qobject_cast<QLineEdit*>(again.ControlWidget(i.value_or(0)));
    EXPECT_EQ(shown->text(), "1.5");
    shown->selectAll();
    shown->insert("9");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&again, &escape);
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_EQ(saves.size(), 1u);
    AppConfig reread;
    LoadAppConfig(dir.path(), reread);
    EXPECT_EQ(reread.Get(appcfg::kFaxPagePrice), 150);
}

}  // namespace
}  // namespace miradel
