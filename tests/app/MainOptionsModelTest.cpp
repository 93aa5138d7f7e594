#include "app/options/MainOptionsModel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/options/MainOptionsFile.h"
#include "common/AtomicFile.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using namespace appcfg;

struct Span {
    std::size_t offset;
    std::size_t size;
};

Span SpanOf(const OptionField& field) {
    return std::visit(
        [](const auto& f) -> Span {
            using F = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<F, Text>) {
                return {f.offset, f.width};
            } else if constexpr (std::is_same_v<F, I16>) {
                return {f.offset, 2};
            } else if constexpr (std::is_same_v<F, Flag>) {
                return {f.offset, 1};
            } else {
                return {f.offset, 4};
            }
        },
        field);
}

// An image where every control's field differs from its default.
AppConfigData ChangedImage() {
    AppConfigData d = AppConfigData::Defaults();
    const auto& controls = MainOptionsControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const OptionControl& c = controls[i];
        const int n = static_cast<int>(i);
        switch (c.kind) {
            case OptionKind::kInteger: {
                // Within the edit's width: 7, 10..89 or 300 and up.
                const int value = c.digits == 1 ? 7 : c.digits == 2 ? 10 + n % 80 : 300 + n;
                if (const auto* f = std::get_if<I32>(&c.field)) {
                    d.Set(*f, value);
                } else {
                    d.Set(std::get<I16>(c.field), int16_t(value));
                }
                break;
            }
            case OptionKind::kText:
                d.Set(std::get<Text>(c.field), "Ж" + std::to_string(n));
                break;
            case OptionKind::kCheck:
                d.Set(std::get<Flag>(c.field), c.caption != "Отбой абонента Б");
                break;
            case OptionKind::kChoice:
                d.Set(std::get<I32>(c.field), int32_t(c.choices.size() - 1));
                break;
            case OptionKind::kReal:
                d.Set(std::get<F32>(c.field), 1.25f);
                break;
            case OptionKind::kPagePrice:
                d.Set(std::get<I32>(c.field), 275);
                break;
        }
    }
    d.Set(kLegacyReceiptCounter, 5);
    return d;
}

// What applying a window opened on `shown` over `base` must give: the window's fields from
// `shown`, every other byte from `base`, and the two words the apply always sets.
AppConfigData Expected(const AppConfigData& shown, const AppConfigData& base) {
    AppConfigData::Bytes bytes = base.bytes();
    for (const OptionControl& c : MainOptionsControls()) {
        const Span s = SpanOf(c.field);
        std::copy_n(shown.bytes().begin() + s.offset, s.size, bytes.begin() + s.offset);
    }
    AppConfigData d = AppConfigData::FromBytes(bytes);
    d.Set(kLegacyReceiptCounter, std::max(1, d.Get(kLegacyReceiptCounter)));
    d.Set(kReserved72, 0);
    return d;
}

struct Options : ::testing::Test {
    std::size_t At(std::string_view caption, std::string_view group = {}) {
        const auto i = model.Find(caption, group);
        EXPECT_TRUE(i) << caption;
        return i.value_or(0);
    }
    const OptionState& Shown(std::string_view caption) { return model.State(At(caption)); }
    MainOptionsOutcome Type(std::string_view caption, std::string text) {
        model.SetText(At(caption), std::move(text));
        return model.Apply(base);
    }

    AppConfigData base = AppConfigData::Defaults();
    MainOptionsModel model;
};

TEST_F(Options, OpensFromTheDefaultsAsStored) {
    model.Open(base);
    EXPECT_EQ(Shown("Цена 1 страницы").text, "1");
    EXPECT_EQ(Shown("Факс-коэффиц.").text, "2");
    EXPECT_EQ(Shown("Название секции").text, "Заказ");
    EXPECT_EQ(Shown("Префикс vIP").text, "01600");
    EXPECT_EQ(Shown("Адрес удаленной станции").text, "127.0.0.1");
    EXPECT_EQ(Shown("Max. время (с.)").text, "180");
    EXPECT_EQ(Shown("Цифра старта").text, "3");
    EXPECT_EQ(Shown("Приоритет програмы").choice, 1);
    EXPECT_EQ(Shown("Чеки и отчеты на").choice, 0);
    EXPECT_FALSE(Shown("Запись app.log").checked);
    EXPECT_TRUE(Shown("Короткая п/п-ка").enabled && Shown("Отбой абонента Б").enabled);
}

TEST_F(Options, EveryControlRoundTripsAndNothingElseIsTouched) {
    const AppConfigData changed = ChangedImage();
    model.Open(changed);
    EXPECT_EQ(Shown("Цена 1 страницы").text, "2.75");
    EXPECT_EQ(Shown("Факс-коэффиц.").text, "1.25");
    const MainOptionsOutcome there = model.Apply(base);
    EXPECT_TRUE(there.rejected.empty());
    EXPECT_EQ(there.config.bytes(), Expected(changed, base).bytes());

    MainOptionsModel back;
    back.Open(base);
    const MainOptionsOutcome again = back.Apply(there.config);
    EXPECT_TRUE(again.rejected.empty());
    EXPECT_EQ(again.config.bytes(), Expected(base, there.config).bytes());
}

TEST_F(Options, ApplyTakesNumbersByTheRulesAndKeepsWhatIsNoNumber) {
    struct Case {
        const char* caption;
        const char* typed;
        std::optional<double> stored;  // nullopt: refused, the old value stays
    };
    const Case cases[] = {
        {"Льготное время (с.)", " -7 ", 7},
        {"Стоимость (ban)", "-120", 120},
        {"Max. время (с.)", "\t200 ", 200},
        {"Задержка старта", "-3", -3},
        {"№ квитанции АПП", "+42", 42},
        {"Цена 1 страницы", "1.5", 150},
        {"Цена 1 страницы", "1,25", 125},
        {"Цена 1 страницы", "0.999", 100},
        {"Факс-коэффиц.", "1,5", 1.5},
        {"Задержка старта", "12a", std::nullopt},
        {"Задержка старта", "", std::nullopt},
        {"Задержка старта", "+-4", std::nullopt},
        {"№ квитанции АПП", "2147483648", std::nullopt},
        {"№ рабочего места", "70000", std::nullopt},
        {"Цена 1 страницы", "abc", std::nullopt},
        {"Цена 1 страницы", "30000000", std::nullopt},
        {"Факс-коэффиц.", "1e50", std::nullopt},
        {"Факс-коэффиц.", "nan", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.caption) + " <- '" + c.typed + "'");
        model.Open(base);
        const std::size_t i = At(c.caption);
        const OptionControl& control = model.Controls()[i];
        const MainOptionsOutcome out = Type(c.caption, c.typed);
        const auto stored = [&](const AppConfigData& d) -> double {
            if (const auto* f = std::get_if<F32>(&control.field)) {
                return d.Get(*f);
            }
            if (const auto* f = std::get_if<I16>(&control.field)) {
                return d.Get(*f);
            }
            return d.Get(std::get<I32>(control.field));
        };
        if (c.stored) {
            EXPECT_TRUE(out.rejected.empty());
            EXPECT_EQ(stored(out.config), *c.stored);
        } else {
            EXPECT_EQ(out.rejected, std::vector<std::string>{c.caption});
            EXPECT_EQ(stored(out.config), stored(base));
        }
    }
}

TEST_F(Options, PagePriceShowsNextTimeAsTyped) {
    model.Open(base);
    const AppConfigData applied = Type("Цена 1 страницы", "1.5").config;
    EXPECT_EQ(applied.Get(kFaxPagePrice), 150);
    MainOptionsModel next;
    next.Open(applied);
    EXPECT_EQ(next.State(At("Цена 1 страницы")).text, "1.5");
}

TEST_F(Options, LongTextsAreCutToTheFieldLessOne) {
    model.Open(base);
    std::string longName, expected;
    for (int i = 0; i < 40; ++i) {
        longName += "Ы";
        expected += i < 23 ? "Ы" : "";
    }
    const MainOptionsOutcome out = Type("Название секции", longName);
    EXPECT_EQ(out.config.Get(kOrderSectionName), expected);
    EXPECT_EQ(out.config.bytes()[kOrderSectionName.offset + 23], 0);
    EXPECT_EQ(out.config.Get(kVipPrefix), "01600");  // the next field is untouched
}

TEST_F(Options, ApplyReportsWhatTheOfficeMustChange) {
    base.Set(kLegacyReceiptCounter, -4);
    base.Set(kReserved72, 99);
    model.Open(base);
    model.SetChecked(At("Удаленный обзвон"), true);
    model.SetChecked(At("Протокол ККМ"), true);
    const MainOptionsOutcome out = Type("Адрес удаленной станции", "10.0.0.7");
    EXPECT_TRUE(out.remoteAround);
    EXPECT_TRUE(out.fiscalProtocol);
    EXPECT_EQ(out.remoteStationAddress, "10.0.0.7");
    EXPECT_EQ(out.config.Get(kLegacyReceiptCounter), 1);
    EXPECT_EQ(out.config.Get(kReserved72), 0);
}

TEST_F(Options, ShortPolarityAndCalledPartyClearExcludeEachOther) {
    model.Open(base);
    const std::size_t shortBox = At("Короткая п/п-ка");
    const std::size_t clearBox = At("Отбой абонента Б");
    model.SetChecked(clearBox, true);
    model.SetChecked(shortBox, true);  // refused: the box is locked
    EXPECT_TRUE(model.State(clearBox).checked);
    EXPECT_FALSE(model.State(shortBox).checked || model.State(shortBox).enabled);

    model.SetChecked(clearBox, false);
    EXPECT_TRUE(model.State(shortBox).enabled);
    model.SetChecked(shortBox, true);
    EXPECT_FALSE(model.State(clearBox).checked || model.State(clearBox).enabled);
    const AppConfigData applied = model.Apply(base).config;
    EXPECT_TRUE(applied.Get(kShortPolarity));
    EXPECT_FALSE(applied.Get(kClearByCalledParty));

    // A file holding both: the first box wins and locks the other.
    base.Set(kShortPolarity, true);
    base.Set(kClearByCalledParty, true);
    model.Open(base);
    EXPECT_TRUE(model.State(shortBox).checked);
    EXPECT_FALSE(model.State(clearBox).checked || model.State(clearBox).enabled);
}

TEST_F(Options, AppLogMarksOnlyWhenSwitchedOn) {
    struct Case {
        bool before, after, switchedOn, refresh;
    };
    for (const Case c : {Case{false, true, true, true}, Case{true, true, false, false},
                         Case{true, false, false, true}, Case{false, false, false, false}}) {
        base.Set(kWriteAppLog, c.before);
        model.Open(base);
        model.SetChecked(At("Запись app.log"), c.after);
        const MainOptionsOutcome out = model.Apply(base);
        EXPECT_EQ(out.appLogSwitchedOn, c.switchedOn) << c.before << c.after;
        EXPECT_EQ(out.refreshCaption, c.refresh) << c.before << c.after;
    }

    testing::TempDir dir;
    const LocalDateTime now{2009, 3, 5, 9, 5, 7};
    EXPECT_EQ(AppLogSwitchOnLines(now), "05.03.2009\n09:05:07\n");
    ASSERT_TRUE(AppendToFile(dir / "app.log", "old\n"));
    ASSERT_TRUE(AppendAppLogSwitchOn(dir / "app.log", now));
    const auto log = ReadWholeFile(dir / "app.log");
    EXPECT_EQ(std::string(log->begin(), log->end()), "old\n05.03.2009\n09:05:07\n");
}

TEST_F(Options, SavingRewritesTheFileAsItIsNowOrDropsTheChanges) {
    testing::TempDir dir;
    model.Open(base);
    model.SetText(At("Задержка старта"), "9");

    const MainOptionsSave missing = ApplyMainOptionsToFolder(dir.path(), model);
    EXPECT_FALSE(missing.written);
    EXPECT_FALSE(std::filesystem::exists(dir / "app.cfg"));

    AppConfigData onDisk = base;
    onDisk.Set(kLastCollectedReceipt, 321);  // moved since the window opened
    const auto& bytes = onDisk.bytes();
    ASSERT_EQ(WriteFileAtomically(dir / "app.cfg", bytes.data(), bytes.size()), "");
    const MainOptionsSave saved = ApplyMainOptionsToFolder(dir.path(), model);
    EXPECT_TRUE(saved.written);
    const auto reread = ReadWholeFile(dir / "app.cfg");
    ASSERT_EQ(reread->size(), AppConfigData::kSize);
    AppConfigData::Bytes image{};
    std::copy(reread->begin(), reread->end(), image.begin());
    EXPECT_EQ(image, saved.outcome.config.bytes());
    EXPECT_EQ(saved.outcome.config.Get(kStartDelay), 9);
    EXPECT_EQ(saved.outcome.config.Get(kLastCollectedReceipt), 321);

    // A short file takes the defaults for what it lacks and is written back whole.
    ASSERT_EQ(WriteFileAtomically(dir / "app.cfg", bytes.data(), 100), "");
    EXPECT_TRUE(ApplyMainOptionsToFolder(dir.path(), model).written);
    EXPECT_EQ(ReadWholeFile(dir / "app.cfg")->size(), AppConfigData::kSize);
}

TEST_F(Options, BadInputChangesNothing) {
    base.Set(kProcessPriority, 5);  // no such choice
    model.Open(base);
    EXPECT_EQ(Shown("Приоритет програмы").choice, -1);
    const std::size_t past = model.Controls().size();
    model.SetText(past, "1");
    model.SetChecked(past, true);
    model.SetChoice(past, 0);
    model.SetChoice(At("Приоритет програмы"), 3);
    model.SetChecked(At("Задержка старта"), true);
    model.SetText(At("Печать аванса"), "1");
    EXPECT_EQ(model.State(past).text, "");
    const MainOptionsOutcome out = model.Apply(base);
    EXPECT_TRUE(out.rejected.empty());
    EXPECT_EQ(out.config.Get(kProcessPriority), 5);
    EXPECT_EQ(out.config.bytes(), Expected(base, base).bytes());
}

}  // namespace
}  // namespace miradel
