#pragma once
// The advance and settlement receipts of the advance booths, on the printer the office uses
// ("Чеки и отчеты на"): the plain receipt printer gets a whole job handed to its printing
// thread; the fiscal registers get their print records queued, one document at a time. The
// booth engine never waits for paper.

#include "app/config/AppConfig.h"
#include "app/config/FixedLineFile.h"
#include "booths/BoothServices.h"
#include "common/Clock.h"
#include "printing/DataCheck.h"
#include "printing/raw/BoothReceipts.h"
#include "printing/raw/PrinterText.h"

namespace miradel {

class PrintJobQueue;
class PrintQueue;

enum ReceiptDevice : int { kReceiptPrinter = 0, kReceiptMercury130F = 1, kReceiptMercury1141F = 2 };

class BoothReceiptPrinter final : public BoothReceipts {
  public:
    struct Dependencies {
        const ReceiptTexts& texts;
        AppConfig& config;
        const Clock& clock;
        PrintJobQueue* plainPrinter;  // may be null: nothing is printed on paper
        PrintQueue* fiscalQueue;      // may be null: nothing goes to a register
        PrinterEncoding encoding = PrinterEncoding::kCp1251;
        AdvanceReceiptKind advanceKind = AdvanceReceiptKind::kAutomatic;
    };

    explicit BoothReceiptPrinter(Dependencies deps) : d_(deps) {}

    void PrintAdvanceReceipt(const BoothSnapshot& booth) override;
    void PrintSettlementReceipt(const BoothSnapshot& booth) override;

    // The fiscal documents, for tests and the receipt lookup.
    CheckQueue AdvanceDocument(const BoothSnapshot& booth, int device) const;
    CheckQueue SettlementDocument(const BoothSnapshot& booth, int device) const;

  private:
    void PrintOnPaper(std::vector<std::string> lines);

    Dependencies d_;
};

}  // namespace miradel
