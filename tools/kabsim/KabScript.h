#pragma once
// Scripts for the booth controller simulator: what the clients in the booths do, and how the
// controller misbehaves, one step a line.
//
//   # one call from booth line 3
//   at 2.0 line 3 lift
//   line 3 dial 5551234 pace 0.3
//   line 3 answer after 4
//   line 3 talk 20
//   line 3 hangup
//
// Grammar (words are not case-sensitive; '#' starts a comment to the end of the line):
//
//   step        := [ "at" SECONDS ] action
//   action      := "wait" SECONDS
//                | "line" LINE line-action
//                | "send" HEX { HEX }                  up to 13 bytes: code and arguments
//                | "misbehave" misbehaviour
//   line-action := "lift"                              "A", the handset is lifted
//                | "hangup"                            "B", the handset is put down
//                | "dial" DIGITS [ "pace" SECONDS ]    one "C" per digit (0 goes as 10)
//                | "answer" [ "after" SECONDS ]        "D", the called party answers
//                | "clear"                             "D", the called party hangs up
//                | "inductor"                          "F", the inductor handle is turned
//                | "talk" SECONDS                      nothing happens for a while
//                | "is" ( "down" | "lifted" | "reversed" )   the state the controller
//                                                      reports for the line, without a message
//   misbehaviour:= "noack" ( "on" | "off" )            do not acknowledge the PC's frames
//                | "silent" ( "on" | "off" )           neither acknowledge nor send
//                | "corrupt" COUNT                     the next COUNT sends get a bad checksum
//                | "garbage" HEX { HEX }               up to 64 raw bytes, sent at once
//
//   SECONDS: 12, 0.3 or 1.250 (at most three decimals, at most 86400). LINE: 0..15, the
//   booth's panel position as on the wire. DIGITS: 1 to 32 of 0..9. HEX: one or two hex
//   digits (7E, fc). COUNT: 0..1000.
//
// Timing: steps run one after another and each takes the time it says. "wait S" and
// "talk S" take S seconds; "dial" sends its first digit one pace after the step starts and
// each next one a pace later (0.3 s when not given), so the step ends at the last digit;
// "answer after S" sends "D" S seconds after the step starts (0 when not given) and ends
// there. Everything else takes no time. "at T" starts the step T seconds after the script
// starts; T must not be earlier than where the steps before it end. Messages are queued
// at their time and go out one at a time, each after the previous one is confirmed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace miradel::kabsim {

enum class ActionKind {
    kLift,
    kHangUp,
    kDigit,  // value: the digit as sent, 1..10
    kAnswer,
    kClear,
    kInductor,
    kSetState,  // value: 0 down, 1 lifted, 2 reversed
    kSend,      // bytes: the message data
    kNoAck,     // value: 1 on, 0 off
    kSilent,    // value: 1 on, 0 off
    kCorrupt,   // value: count
    kGarbage,   // bytes
};

struct ScriptAction {
    int64_t atMs = 0;  // from the start of the script
    int sourceLine = 0;
    ActionKind kind = ActionKind::kLift;
    int line = 0;  // booth line for the line actions
    int value = 0;
    std::vector<uint8_t> bytes;
};

struct KabScript {
    std::vector<ScriptAction> actions;  // in time order
    int64_t durationMs = 0;             // where the last step ends
};

struct ScriptError {
    int line = 0;  // 1-based
    std::string message;

    // "line 3: <message>"
    std::string Text() const;
};

struct ScriptParse {
    KabScript script;
    std::vector<ScriptError> errors;  // a script with errors must not be run

    bool Ok() const { return errors.empty(); }
};

inline constexpr int64_t kDefaultDialPaceMs = 300;
// Errors past this many are not listed.
inline constexpr std::size_t kMaxScriptErrors = 50;

ScriptParse ParseKabScript(std::string_view text);

}  // namespace miradel::kabsim
