#pragma once
// The booth of one panel position. The base class itself stands on a position without a
// booth (kind 0): it never reacts and its panel stays hidden. Each kind derives from it and
// overrides the three operations.
//
// Booth operations are serialized by the caller: every booth lives on the engine thread, and
// the window thread reaches it only through commands run there.

#include <cstdint>

#include "booths/BoothEnvironment.h"
#include "booths/BoothKinds.h"
#include "booths/BoothSnapshot.h"
#include "booths/DisplayElement.h"

namespace miradel {

inline constexpr int kOperatorEventPictureFailed = 35;

class Kabina {
  public:
    Kabina(int panel, int16_t boothNumber, BoothEnvironment& env);
    virtual ~Kabina() = default;
    Kabina(const Kabina&) = delete;
    Kabina& operator=(const Kabina&) = delete;

    virtual int16_t HandleEvent(uint32_t event, int32_t argument);
    virtual BoothSnapshot GetInfo();
    virtual void AddAdvance(int32_t amount);

    int16_t Kind() const { return kind_; }
    int16_t State() const { return state_; }
    int Panel() const { return panel_; }
    int16_t BoothNumber() const { return boothNumber_; }

    // Set by the main window while the advance dialog shows this booth.
    bool DialogOpen() const { return dialogOpen_; }
    void SetDialogOpen(bool open) { dialogOpen_ = open; }

    const BoothView& View() const { return view_; }
    // Grows with every change of the view, so a publisher can tell what to send.
    uint64_t ViewVersion() const { return viewVersion_; }
    bool RedrawPending() const { return redraw_; }

  protected:
    // The part every kind's constructor shares: kind, state 1 ("выключен"), the name label,
    // the button of state 1, the starting money text, and the three elements shown.
    void SetUpAsKind(BoothKind kind);

    void SetState(int16_t state) { state_ = state; }

    // Kinds that redraw on the next tick: mark the button for redraw after a state change ...
    void RequestRedraw() { redraw_ = true; }
    // ... and on the second tick, when marked: hide, caption and picture of the state, show.
    // When the picture cannot be put on the button, the button stays hidden without a picture,
    // the mark stays for the next tick, the picture is loaded anew and event 35 is logged.
    void RedrawIfRequested();
    // The same at once, with the same recovery (the automatic booth's idle state).
    void DrawStateNow();
    // Kinds that repaint at once on every change, without the recovery.
    void RepaintNow();

    void SetMoneyText(const std::string& text);
    void SetMoneyLook(Align align, Colour background);

    // The booth's own kabin.cfg record: its state and the advance it holds.
    void WriteSlotState(int16_t slotState);
    void WriteSlot(int16_t slotState, int32_t advance);

    BoothEnvironment& Env() { return env_; }
    const BoothEnvironment& Env() const { return env_; }

  private:
    bool PaintButton(bool recover);
    void Touch() { ++viewVersion_; }

    BoothEnvironment& env_;
    int16_t kind_ = kKindNone;
    int16_t state_ = 0;
    int16_t panel_;
    int16_t boothNumber_;
    bool dialogOpen_ = false;
    bool redraw_ = false;
    BoothView view_;
    uint64_t viewVersion_ = 0;
};

}  // namespace miradel
