// The cash window and the top-up dialog offscreen: what the operator's buttons and keys do to
// the till, which messages reach the operator, and what the windows return.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <functional>

#include "cashdesk/ui/KassaWindow.h"
#include "cashdesk/ui/TopUpDialog.h"
#include "support/OffscreenApp.h"

namespace miradel {
namespace {

QApplication& App() {
    return testing::OffscreenApp();
}

// Runs `actions` inside the dialog's modal loop; a dialog they leave open is closed after
// them, so that a fault fails the test instead of hanging it.
int ExecWith(QDialog& dialog, std::function<void()> actions) {
    QTimer::singleShot(0, &dialog, [&dialog, actions] {
        actions();
        if (dialog.isVisible()) {
            dialog.reject();
        }
    });
    return dialog.exec();
}

void Press(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

class FakePrinter final : public CollectionPrinter {
  public:
    bool PrintOnReceiptPrinter(const std::vector<std::string>& lines, std::string& error) override {
        ++receiptJobs;
        (void)lines;
        if (whilePrinting) {
            whilePrinting();  // the window's events run while a slow printer works
        }
        if (!works) {
            error = "out of paper";
        }
        return works;
    }
    void QueueFiscal(const std::vector<CollectionPrintRecord>&) override { ++fiscalDocuments; }

    bool works = true;
    std::function<void()> whilePrinting;
    int receiptJobs = 0;
    int fiscalDocuments = 0;
};

IncassTexts SomeTexts() {
    std::array<std::string, IncassTexts::kCount> lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = "line " + std::to_string(i);
    }
    return IncassTexts(lines);
}

std::array<int32_t, 8> Counters(const KassaImage& kassa) {
    const KassaData d = kassa.Copy();
    std::array<int32_t, 8> out{};
    for (int i = 0; i < 8; ++i) {
        out[i] = d.Get(i);
    }
    return out;
}

// Income since the last collection plus the rest: 3.00 + 45.50 + 12.00 + 100.00 + 20.00.
constexpr std::array<int32_t, 8> kStart = {1500, 800, 300, 4550, 1200, 10000, 2000, 20350};

class CashWindow : public ::testing::Test {
  protected:
    CashWindow() {
        App();
        config.Load(AppConfigData::Defaults());
        KassaData d;
        for (int i = 0; i < 8; ++i) {
            d.Set(i, kStart[i]);
        }
        kassa.Load(d);
        model = std::make_unique<KassaWindowModel>(kassa, config, SomeTexts(), "ООО Связь");
        window = std::make_unique<KassaWindow>(
            *model, [this] { return desk; }, [] { return LocalDateTime{2009, 3, 5, 9, 5, 7}; },
            printer, prompt, [this](int topic) { helpTopics.push_back(topic); });
    }

    KassaImage kassa;
    AppConfig config;
    DeskState desk;
    FakePrinter printer;
    ScriptedPrompt prompt;
    std::vector<int> helpTopics;
    std::unique_ptr<KassaWindowModel> model;
    std::unique_ptr<KassaWindow> window;
};

TEST_F(CashWindow, ClicksWhileTheReceiptPrintsBookNothingMore) {
    window->Open(KassaMode::kCollection, 0);
    printer.whilePrinting = [this] {
        printer.whilePrinting = nullptr;
        window->CollectButton()->click();  // a second click, impatient
        window->close();                   // and the close box
    };
    const int result = ExecWith(*window, [&] {
        window->AmountField()->setText("10.00");
        window->CollectButton()->click();
    });
    EXPECT_EQ(result, kKassaCollected);
    EXPECT_EQ(printer.receiptJobs, 1);
    // One collection, as when nobody clicks twice.
    EXPECT_EQ(Counters(kassa)[kKassaRest], 1000);
    EXPECT_EQ(Counters(kassa)[kKassaTotal], 20350 + 1000 - 18050);
}

TEST_F(CashWindow, CollectionModeShowsTheCountersAndBooksACollection) {
    window->Open(KassaMode::kCollection, 1234);
    EXPECT_EQ(window->windowTitle(), "  Касса");
    EXPECT_EQ(window->Rows()->item(0, 0)->text(), "Аванс АПП :");
    EXPECT_EQ(window->Rows()->item(3, 1)->text(), "45.50");
    EXPECT_EQ(window->Rows()->item(7, 1)->text(), "203.50");
    EXPECT_EQ(window->UnclaimedAmount()->text(), "12.34");
    EXPECT_EQ(window->AmountField()->text(), "0.00");
    EXPECT_FALSE(window->CollectButton()->isHidden());
    EXPECT_TRUE(window->PrintButton()->isHidden());

    bool closedByCollect = false;
    const int result = ExecWith(*window, [&] {
        Press(window.get(), Qt::Key_F1);
        window->AmountField()->setText("10.00");
        window->CollectButton()->click();
        closedByCollect = !window->isVisible();
    });

    EXPECT_EQ(result, kKassaCollected);
    EXPECT_TRUE(closedByCollect);
    EXPECT_EQ(helpTopics, std::vector<int>{110});
    EXPECT_TRUE(prompt.Asked().empty());
    EXPECT_EQ(printer.receiptJobs, 1);
    const std::array<int32_t, 8> after = Counters(kassa);
    EXPECT_EQ(after[kKassaRest], 1000);
    EXPECT_EQ(after[kKassaTotal], 20350 + 1000 - 18050);
    EXPECT_EQ(after[kKassaBoothCalls], 0);
}

// Each collection as the operator meets it: the message shown, whether the window stayed
// open after "Инкассировать", what it returned, and whether the till moved.
TEST_F(CashWindow, CollectionRefusalsReachTheOperator) {
    struct Case {
        const char* amount;
        bool printerWorks;
        bool administrator;
        const char* message;  // "" when none
        bool staysOpen;
        int result;
    };
    const Case cases[] = {
        {"180.51", true, false, "Денег введено больше,чем заработанно!", false, 0},
        {"-0.01", true, false, "Сумма не может быть отрицательной!", false, 0},
        {"99999999999", true, false, "Денег введено больше,чем заработанно!", false, 0},
        {"10", false, false, "Инкассация не произведена!!! Проверьте печать!", true, 0},
        // The desk is read at the click: an administrator's collection is booked anyway.
        {"10", false, true, "", false, 2},
        {"abc", true, false, "", false, 2},  // reads as 0: everything is taken
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amount);
        KassaData d;
        for (int i = 0; i < 8; ++i) {
            d.Set(i, kStart[i]);
        }
        kassa.Load(d);
        ScriptedPrompt fresh;
        printer.works = c.printerWorks;
        KassaWindow w(
            *model,
            [&] {
                return DeskState{c.administrator, false};
            },
            {}, printer, fresh);
        w.Open(KassaMode::kCollection, 0);

        bool openAfterCollect = false;
        const int result = ExecWith(w, [&] {
            w.AmountField()->setText(c.amount);
            w.CollectButton()->click();
            openAfterCollect = w.isVisible();
            w.CloseButton()->click();
        });

        EXPECT_EQ(result, c.result);
        EXPECT_EQ(openAfterCollect, c.staysOpen);
        const std::vector<PromptRequest> asked = fresh.Asked();
        if (*c.message == '\0') {
            EXPECT_TRUE(asked.empty());
        } else {
            ASSERT_EQ(asked.size(), 1u);
            EXPECT_EQ(asked[0].text, c.message);
            EXPECT_EQ(asked[0].icon, PromptIcon::Warning);
        }
        if (c.result == kKassaCollected) {
            EXPECT_NE(Counters(kassa), kStart);
        } else {
            EXPECT_EQ(Counters(kassa), kStart);
        }
    }
}

TEST_F(CashWindow, ViewModePrintsTheCashReportAndReturnsOneHoweverClosed) {
    config.Set(appcfg::kReportsToFiscal, true);
    config.Set(appcfg::kReceiptDevice, 1);
    desk.fiscalOnline = true;

    window->Open(KassaMode::kView, 0);
    EXPECT_TRUE(window->CollectButton()->isHidden());
    EXPECT_TRUE(window->AmountField()->isHidden());
    EXPECT_FALSE(window->PrintButton()->isHidden());
    int result = ExecWith(*window, [&] {
        window->PrintButton()->click();
        EXPECT_TRUE(window->isVisible());  // printing does not close the window
        Press(window.get(), Qt::Key_F1);
        window->CloseButton()->click();
    });
    EXPECT_EQ(result, kKassaViewClosed);
    EXPECT_EQ(printer.fiscalDocuments, 1);
    EXPECT_EQ(helpTopics, std::vector<int>{111});

    window->Open(KassaMode::kView, 0);
    result = ExecWith(*window, [&] { Press(window.get(), Qt::Key_Escape); });
    EXPECT_EQ(result, kKassaViewClosed);

    // A collection window closed without a collection returns 0.
    window->Open(KassaMode::kCollection, 0);
    result = ExecWith(*window, [&] { window->CloseButton()->click(); });
    EXPECT_EQ(result, kKassaNotCollected);
    EXPECT_EQ(Counters(kassa), kStart);
    EXPECT_EQ(printer.receiptJobs, 0);
}

TEST_F(CashWindow, NeverShownWithoutAnOpenModel) {
    EXPECT_EQ(window->exec(), kKassaNotCollected);
    EXPECT_FALSE(window->isVisible());
}

class TopUp : public ::testing::Test {
  protected:
    TopUp() : dialog(model, prompt, [this](int topic) { helpTopics.push_back(topic); }) {}

    QApplication& app = App();  // before any widget
    TopUpDialogModel model;
    ScriptedPrompt prompt;
    std::vector<int> helpTopics;
    TopUpDialog dialog;
};

TEST_F(TopUp, YieldsTheAmountOrNothing) {
    struct Case {
        const char* typed;
        std::function<void(TopUpDialog&)> finish;
        std::optional<int32_t> amount;
        bool message;
    };
    const auto enter = [](TopUpDialog& d) { Press(d.AmountField(), Qt::Key_Return); };
    const auto apply = [](TopUpDialog& d) { d.ApplyButton()->click(); };
    const auto cancel = [](TopUpDialog& d) { d.CancelButton()->click(); };
    const auto escape = [](TopUpDialog& d) { Press(d.AmountField(), Qt::Key_Escape); };
    const Case cases[] = {
        {"12.5", enter, 1250, false},          {"0.29", apply, 29, false},
        {"0.00", apply, std::nullopt, true},   {"-5", enter, std::nullopt, true},
        {"x", apply, std::nullopt, true},      {"99999999999", apply, std::nullopt, true},
        {"12.5", cancel, std::nullopt, false}, {"12.5", escape, std::nullopt, false},
    };
    int messages = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        dialog.Open(2, 3);  // one dialog for the whole run, reused
        EXPECT_EQ(dialog.windowTitle(), " Доплата");
        EXPECT_EQ(dialog.BoothLine()->text(), "Кабина - 3");
        EXPECT_EQ(dialog.AmountField()->text(), "0.00");

        const int result = ExecWith(dialog, [&] {
            dialog.AmountField()->setText(c.typed);
            c.finish(dialog);
        });

        EXPECT_EQ(dialog.Amount(), c.amount);
        EXPECT_EQ(result, c.amount ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(dialog.AmountField()->text(), "0.00");
        const std::vector<PromptRequest> asked = prompt.Asked();
        if (c.message) {
            ++messages;
            ASSERT_EQ(asked.size(), std::size_t(messages));
            EXPECT_EQ(asked.back().text, "Доплата не внесена!\nВведите правильно сумму доплаты!");
            EXPECT_EQ(asked.back().caption, "Ошибка внесения доплаты");
        }
        EXPECT_EQ(asked.size(), std::size_t(messages));
    }
}

TEST_F(TopUp, F1AsksForItsHelpTopic) {
    dialog.Open(0, 1);
    ExecWith(dialog, [&] { Press(&dialog, Qt::Key_F1); });
    EXPECT_EQ(helpTopics, std::vector<int>{105});
    EXPECT_EQ(dialog.Amount(), std::nullopt);
}

}  // namespace
}  // namespace miradel
