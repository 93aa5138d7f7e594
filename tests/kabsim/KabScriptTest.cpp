#include "KabScript.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace miradel::kabsim {
namespace {

using ::testing::HasSubstr;

// An action as "<ms> <kind> <line> <value> <bytes...>" for compact comparisons.
std::string Show(const ScriptAction& action) {
    static constexpr const char* kNames[] = {"lift",  "hangup",   "digit",   "answer",
                                             "clear", "inductor", "state",   "send",
                                             "noack", "silent",   "corrupt", "garbage"};
    std::string text = std::to_string(action.atMs) + " " + kNames[static_cast<int>(action.kind)] +
                       " " + std::to_string(action.line) + " " + std::to_string(action.value);
    for (uint8_t byte : action.bytes) {
        text += " " + std::to_string(byte);
    }
    return text;
}

std::vector<std::string> Shown(const KabScript& script) {
    std::vector<std::string> shown;
    for (const ScriptAction& action : script.actions) {
        shown.push_back(Show(action));
    }
    return shown;
}

TEST(KabScriptTest, AScriptedCallHasItsTimesLaidOut) {
    const ScriptParse parse = ParseKabScript(
        "# one call\n"
        "at 2.0 line 3 lift\n"
        "line 3 dial 5551234 pace 0.3\n"
        "line 3 answer after 4\n"
        "line 3 talk 20   # a short talk\n"
        "line 3 hangup\n"
        "wait 1.5\n");
    ASSERT_TRUE(parse.Ok()) << parse.errors.front().Text();
    EXPECT_THAT(Shown(parse.script),
                ::testing::ElementsAre("2000 lift 3 0", "2300 digit 3 5", "2600 digit 3 5",
                                       "2900 digit 3 5", "3200 digit 3 1", "3500 digit 3 2",
                                       "3800 digit 3 3", "4100 digit 3 4", "8100 answer 3 0",
                                       "28100 hangup 3 0"));
    EXPECT_EQ(parse.script.durationMs, 29600);
    EXPECT_EQ(parse.script.actions[1].sourceLine, 3);
}

TEST(KabScriptTest, EveryStepReadsAsDocumented) {
    struct Case {
        std::string text;
        std::string action;  // empty: the step makes no action
        int64_t durationMs;
    };
    const Case cases[] = {
        {"line 0 lift", "0 lift 0 0", 0},
        {"LINE 15 HangUp", "0 hangup 15 0", 0},
        {"line 2 inductor", "0 inductor 2 0", 0},
        {"line 2 clear", "0 clear 2 0", 0},
        {"line 2 answer", "0 answer 2 0", 0},
        {"line 2 dial 0", "300 digit 2 10", 300},
        {"line 2 dial 9 pace 1.25", "1250 digit 2 9", 1250},
        {"line 4 is lifted", "0 state 4 1", 0},
        {"line 4 is reversed", "0 state 4 2", 0},
        {"line 4 is down", "0 state 4 0", 0},
        {"line 4 talk 0.005", "", 5},
        {"wait 86400", "", 86400000},
        {"at 3 wait 1", "", 4000},
        {"send FC", "0 send 0 0 252", 0},
        {"send 41 0a", "0 send 0 0 65 10", 0},
        {"misbehave noack on", "0 noack 0 1", 0},
        {"misbehave silent off", "0 silent 0 0", 0},
        {"misbehave corrupt 3", "0 corrupt 0 3", 0},
        {"misbehave garbage 31 32 33", "0 garbage 0 0 49 50 51", 0},
        {"\tat 1.5\tline 1 lift#comment", "1500 lift 1 0", 1500},
    };
    for (const Case& c : cases) {
        const ScriptParse parse = ParseKabScript(c.text);
        ASSERT_TRUE(parse.Ok()) << c.text << ": " << parse.errors.front().Text();
        const std::vector<std::string> shown = Shown(parse.script);
        if (c.action.empty()) {
            EXPECT_TRUE(shown.empty()) << c.text;
        } else {
            EXPECT_THAT(shown, ::testing::ElementsAre(c.action)) << c.text;
        }
        EXPECT_EQ(parse.script.durationMs, c.durationMs) << c.text;
    }
}

TEST(KabScriptTest, BadStepsAreReportedWithTheirLineNumbers) {
    struct Case {
        std::string step;
        std::string message;
    };
    const Case cases[] = {
        {"lfit", "unknown step \"lfit\""},
        {"line", "a line number 0..15 expected"},
        {"line 16 lift", "\"16\" is not a line number 0..15"},
        {"line -1 lift", "\"-1\" is not a line number"},
        {"line 3", "what the line does is missing"},
        {"line 3 jump", "unknown line step \"jump\""},
        {"line 3 lift now", "unexpected \"now\" after the step"},
        {"line 3 dial", "digits expected after \"dial\""},
        {"line 3 dial 55a1", "\"55a1\" is not a number to dial"},
        {"line 3 dial 123456789012345678901234567890123", "at most 32 digits"},
        {"line 3 dial 12 pace", "seconds expected after \"pace\""},
        {"line 3 answer after -4", "\"-4\" is not a time in seconds"},
        {"line 3 talk 1.2345", "\"1.2345\" is not a time"},
        {"line 3 talk 86400.001", "is not a time"},
        {"line 3 is up", "down, lifted or reversed expected"},
        {"wait", "seconds expected after \"wait\""},
        {"wait 1.", "\"1.\" is not a time"},
        {"wait .5", "\".5\" is not a time"},
        {"at", "seconds expected after \"at\""},
        {"at 3", "a step is missing after \"at\""},
        {"send", "hex bytes expected after \"send\""},
        {"send 7G", "\"7g\" is not a hex byte"},
        {"send 100", "\"100\" is not a hex byte"},
        {"send 1 2 3 4 5 6 7 8 9 10 11 12 13 14", "\"send\" takes at most 13 bytes"},
        {"misbehave", "unknown misbehaviour \"\""},
        {"misbehave noack", "on or off expected after \"noack\""},
        {"misbehave silent maybe", "on or off expected after \"silent\""},
        {"misbehave corrupt many", "\"many\" is not a count 0..1000"},
        {"misbehave corrupt 1001", "is not a count"},
        {"misbehave garbage", "hex bytes expected after \"garbage\""},
        {"misbehave dance", "unknown misbehaviour \"dance\""},
        {std::string("line 3 lift\x01\x02"), "unknown line step \"lift??\""},
    };
    for (const Case& c : cases) {
        const ScriptParse parse =
            ParseKabScript("line 1 lift\n\n# comment\n" + c.step + "\nline 1 hangup\n");
        ASSERT_EQ(parse.errors.size(), 1u) << c.step;
        EXPECT_EQ(parse.errors[0].line, 4) << c.step;
        EXPECT_THAT(parse.errors[0].message, HasSubstr(c.message)) << c.step;
        EXPECT_THAT(parse.errors[0].Text(), HasSubstr("line 4: ")) << c.step;
    }
}

TEST(KabScriptTest, AllErrorsAreListedAndAnAtInThePastIsOne) {
    const ScriptParse parse = ParseKabScript(
        "line 1 lift\n"
        "wait 5\n"
        "at 4 line 1 hangup\n"
        "bogus\n"
        "at 5 line 1 hangup\n");
    ASSERT_EQ(parse.errors.size(), 2u);
    EXPECT_EQ(parse.errors[0].line, 3);
    EXPECT_THAT(parse.errors[0].message,
                HasSubstr("earlier than the end of the steps before it (5 s)"));
    EXPECT_EQ(parse.errors[1].line, 4);
    EXPECT_FALSE(parse.Ok());
}

TEST(KabScriptTest, AnyTextIsReadWithoutHarm) {
    std::mt19937 random(20240601);
    const std::string alphabet =
        "line at wait send misbehave dial pace 0123456789.#\n\t\r -xFf\x01\xff";
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) {
            text += random() % 4 == 0 ? static_cast<char>(random() % 256)
                                      : alphabet[random() % alphabet.size()];
        }
        const ScriptParse parse = ParseKabScript(text);
        EXPECT_LE(parse.errors.size(), kMaxScriptErrors + 1);
        for (std::size_t i = 1; i < parse.script.actions.size(); ++i) {
            EXPECT_LE(parse.script.actions[i - 1].atMs, parse.script.actions[i].atMs);
        }
    }
    const ScriptParse many =
        ParseKabScript(std::string(1000, 'x') + "\n" + std::string(200, '\n') + [] {
            std::string lines;
            for (int i = 0; i < 100; ++i) {
                lines += "nonsense\n";
            }
            return lines;
        }());
    EXPECT_EQ(many.errors.size(), kMaxScriptErrors + 1);
    EXPECT_THAT(many.errors.back().message, HasSubstr("too many errors"));
}

TEST(KabScriptTest, TheShippedExamplesAreValid) {
    int examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KABSIM_EXAMPLES)) {
        std::ifstream in(entry.path());
        std::ostringstream text;
        text << in.rdbuf();
        const ScriptParse parse = ParseKabScript(text.str());
        EXPECT_TRUE(parse.Ok()) << entry.path() << ": " << parse.errors.front().Text();
        EXPECT_FALSE(parse.script.actions.empty()) << entry.path();
        ++examples;
    }
    EXPECT_GE(examples, 2);
}

}  // namespace
}  // namespace miradel::kabsim
