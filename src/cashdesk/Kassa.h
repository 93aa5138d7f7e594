#pragma once
// The till's running account: the eight kassa.dat counters in hundredths, and every money
// move the office makes on them. Counter 7 ("Итого") is all the money in the till and always
// equals the sum of counters 0 to 6; each move below keeps it so and raises the kassa.dat
// dirty flag (the save timer writes the file).
//
// Paying out an unclaimed balance later moves no counter: the balance already left counters
// 0 and 7 when its booth was settled, and the unclaimed total is shown beside the counters.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/config/KassaDat.h"
#include "common/Money.h"

namespace miradel {

// Row texts of the cash window, counters 0 to 7.
inline constexpr std::array<std::string_view, 8> kKassaRowLabels = {
    "Аванс АПП :", "Аванс  ЗС :", "     Факс :", "      АПП :",
    "       ЗС :", "  Платежи :", "   Остаток:", "    Итого :",
};

// Units, a point and two-digit hundredths; a negative amount gets one leading minus
// ("-0.05", "-1.05").
std::string KassaAmountText(int32_t value);

// Counter 7 equals the sum of counters 0 to 6 (in the counters' 32-bit arithmetic).
bool KassaBalanced(const KassaData& data);

// What the income counters and the rest left at the last collection hold together: counters
// 2 to 6, the money a collection may take.
Money CollectableMoney(const KassaData& data);

class Kassa {
  public:
    explicit Kassa(KassaImage& image) : image_(image) {}

    // A booth takes an advance at switch-on, or an added advance (top-up): 0 and 7 grow.
    void TakeBoothAdvance(Money amount);
    // A billed booth call moves its charge from the booths' advances (0) to call income (3).
    void BillBoothCall(Money charge);
    // Settlement pays the rest of the advance back to the client: 0 and 7 shrink. The same
    // move books a rest left as unclaimed.
    void PayBackBoothAdvance(Money rest);

    // Order intake: the order's advance goes to 1 and 7.
    void TakeOrderAdvance(Money advance);
    // Order settlement: the booked advance leaves 1, the final cost joins 4, and 7 changes by
    // the difference (the client gets it back or pays it).
    void SettleOrder(Money bookedAdvance, Money cost);

    // Incoming fax billed (pages × page price): 2 and 7 grow.
    void BillIncomingFax(Money amount);
    // A payment check's total: 5 and 7 grow.
    void TakePayment(Money amount);

    // Start-up, first main tick: when counter 0 differs from the advances restored to the
    // booths or counter 7 from the sum of 0 to 6, counter 0 becomes the restored total and 7
    // the new sum. Returns true when it changed anything (and raised the dirty flag).
    bool Reconcile(Money restoredAdvances);

    struct Booking {
        Money available = 0;  // counters 2 to 6 before the collection
        Money taken = 0;      // available − left
    };
    // A collection leaving `left` in the till: income counters 2 to 5 start again from 0, the
    // rest 6 becomes `left`, and 7 loses what is taken away.
    Booking BookCollection(Money left);

  private:
    KassaImage& image_;
};

}  // namespace miradel
