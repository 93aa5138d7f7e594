#include "cashdesk/Kassa.h"

namespace miradel {

namespace {

int64_t SumOf(const KassaData& d, int first, int last) {
    int64_t sum = 0;
    for (int i = first; i <= last; ++i) {
        sum += d.Get(i);
    }
    return sum;
}

// The counters are 32-bit: sums wrap exactly as the counters themselves do.
int32_t Wrapped(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

}  // namespace

std::string KassaAmountText(int32_t value) {
    return MoneyReceiptText(value);
}

bool KassaBalanced(const KassaData& d) {
    return d.Get(kKassaTotal) == Wrapped(SumOf(d, kKassaBoothAdvances, kKassaRest));
}

Money CollectableMoney(const KassaData& d) {
    return Wrapped(SumOf(d, kKassaFax, kKassaRest));
}

void Kassa::TakeBoothAdvance(Money amount) {
    image_.Modify([&](KassaData& d) {
        d.Add(kKassaBoothAdvances, amount);
        d.Add(kKassaTotal, amount);
    });
}

void Kassa::BillBoothCall(Money charge) {
    image_.Modify([&](KassaData& d) {
        d.Add(kKassaBoothAdvances, -charge);
        d.Add(kKassaBoothCalls, charge);
    });
}

void Kassa::PayBackBoothAdvance(Money rest) {
    image_.Modify([&](KassaData& d) {
        d.Add(kKassaBoothAdvances, -rest);
        d.Add(kKassaTotal, -rest);
    });
}

void Kassa::TakeOrderAdvance(Money advance) {
    image_.Modify([&](KassaData& d) {
        d.Add(kKassaOrderAdvances, advance);
        d.Add(kKassaTotal, advance);
    });
}

void Kassa::SettleOrder(Money bookedAdvance, Money cost) {
    image_.Modify([&](KassaData& d) {
        d.Add(kKassaOrderAdvances, -bookedAdvance);
        d.Add(kKassaOrders, cost);
        d.Add(kKassaTotal, Wrapped(int64_t{cost} - bookedAdvance));
    });
}

void Kassa::BillIncomingFax(Money amount) {
    image_.Modify([&](KassaData& d) {
        d.Add(kKassaFax, amount);
        d.Add(kKassaTotal, amount);
    });
}

void Kassa::TakePayment(Money amount) {
    image_.Modify([&](KassaData& d) {
        d.Add(kKassaPayments, amount);
        d.Add(kKassaTotal, amount);
    });
}

bool Kassa::Reconcile(Money restoredAdvances) {
    const bool agrees = image_.Read([&](const KassaData& d) {
        return d.Get(kKassaBoothAdvances) == restoredAdvances && KassaBalanced(d);
    });
    if (agrees) {
        return false;
    }
    image_.Modify([&](KassaData& d) {
        d.Set(kKassaBoothAdvances, restoredAdvances);
        d.Set(kKassaTotal, Wrapped(SumOf(d, kKassaBoothAdvances, kKassaRest)));
    });
    return true;
}

Kassa::Booking Kassa::BookCollection(Money left) {
    return image_.Modify([&](KassaData& d) {
        // Taken from the counters as they are now, so that 7 stays their sum.
        Booking booking;
        booking.available = CollectableMoney(d);
        booking.taken = Wrapped(int64_t{booking.available} - left);
        for (int i = kKassaFax; i <= kKassaPayments; ++i) {
            d.Set(i, 0);
        }
        d.Set(kKassaRest, left);
        d.Add(kKassaTotal, Wrapped(int64_t{left} - booking.available));
        return booking;
    });
}

}  // namespace miradel
