#include "tariff/LinearLookup.h"

namespace miradel {

bool LeadingTextMatches(std::string_view text, std::string_view subject) {
    if (!text.empty() && text[0] == '*') {
        return true;
    }
    return subject.size() >= text.size() && subject.compare(0, text.size(), text) == 0;
}

const Prefx* LinearFindPrefix(const KodZona& engine, std::string_view digits) {
    for (const Prefx* p = engine.Prefixes().Head(); p != nullptr; p = p->next) {
        if (LeadingTextMatches(std::string_view(p->text).substr(0, p->textLength), digits)) {
            return p;
        }
    }
    return nullptr;
}

const KZona* LinearFindCode(const KodZona& engine, std::string_view digits) {
    const Prefx* prefix = LinearFindPrefix(engine, digits);
    if (prefix == nullptr || prefix->zoneFile < 0 || prefix->zoneFile >= kZoneFiles) {
        return nullptr;
    }
    const std::string_view rest = DigitsAfterPrefix(*prefix, digits);
    for (const KZona* k = engine.Codes(prefix->zoneFile).Head(); k != nullptr; k = k->next) {
        if (LeadingTextMatches(k->code, rest)) {
            return k;
        }
    }
    return nullptr;
}

const ZonaTarif* LinearFindTariff(const TRFTOR& engine, int32_t zoneFile, int32_t zone) {
    for (const ZonaTarif* t = engine.Tariffs(zoneFile).Head(); t != nullptr; t = t->next) {
        if (t->zone == zone) {
            return t;
        }
    }
    return nullptr;
}

int32_t LinearTariffNow(const TRFTOR& engine, const Clock& clock, std::string_view digits) {
    const KZona* code = LinearFindCode(engine, digits);
    const ZonaTarif* record =
        code == nullptr ? nullptr : LinearFindTariff(engine, code->zoneFile, code->zone);
    if (record == nullptr) {
        return -1;
    }
    const LocalDateTime now = clock.Now();
    return PriceFor(*record, now.hour, engine.MarkOf(now.month, now.day));
}

int32_t LinearTariffAtHour(const TRFTOR& engine, const Clock& clock, std::string_view digits,
                           int hour) {
    if (hour < 0 || hour >= kHours) {
        return 0;
    }
    const KZona* code = LinearFindCode(engine, digits);
    const ZonaTarif* record =
        code == nullptr ? nullptr : LinearFindTariff(engine, code->zoneFile, code->zone);
    if (record == nullptr) {
        return 0;
    }
    const LocalDateTime now = clock.Now();
    return PriceFor(*record, hour, engine.MarkOf(now.month, now.day));
}

}  // namespace miradel
