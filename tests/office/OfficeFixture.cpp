#include "office/OfficeFixture.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/config/AppConfig.h"
#include "app/config/KassaDat.h"
#include "app/config/StateFiles.h"
#include "app/log/OperatorLog.h"
#include "common/AtomicFile.h"
#include "common/Cp1251.h"

namespace miradel::testing {

namespace {

void WriteText(const std::filesystem::path& path, const std::string& utf8) {
    const std::string bytes = Utf8ToCp1251(utf8);
    ASSERT_EQ(WriteFileAtomically(path, std::vector<uint8_t>(bytes.begin(), bytes.end())), "");
}

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += std::string(line) + "\r\n";
    }
    return text;
}

// A port that cannot be opened: the configured COM port does not exist.
class MissingPort final : public SerialPort {
  public:
    bool Open(const SerialSettings&) override { return false; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    void SetRts(bool) override {}
    void SetDtr(bool) override {}
    bool OutputEmpty() override { return true; }
    bool Write(std::span<const uint8_t>) override { return false; }
    std::size_t Read(std::span<uint8_t>) override { return 0; }
    uint16_t TakeLineErrors() override { return 0; }
    void Purge() override {}
    std::string LastError() const override { return "no such port"; }
};

}  // namespace

void WriteOfficeFiles(const std::filesystem::path& dir) {
    WriteText(dir / "prefix.dat", "8-1-11-4\n");
    WriteText(dir / "kz_1.dat", "495 1 Москва\n");
    std::string zones = "T1";
    for (int h = 0; h < 24; ++h) {
        zones += " 150";
    }
    WriteText(dir / "zt_1.dat", zones + "\n" + zones + "\n");
    std::string year;
    for (int m = 0; m < 12; ++m) {
        year += std::string(31, '0') + "\n";
    }
    WriteText(dir / "year.dat", year);
    WriteText(dir / "ticket.cfg",
              Lines({"МИРАДЕЛЬ АПП", "Квит.N", "----------", "Звонок", "N", "Время", "Сумма",
                     "Аванс", "Сдача", "Спасибо!", "==========", "Дата", "Время", "Кабина",
                     "Израсх.", "ООО Связь", "г. Город"}));
    WriteText(dir / "avans.cfg", Lines({"**********", "АВАНС", "Дата", "Время", "Оператор",
                                        "Квит.N", "Кабина", "Сумма", "Внесено"}));
    WriteText(dir / "printer.cfg", "backend = spool\ntarget = spool\n");
    // The collection printouts are the demo office's: their templates are real ones.
    std::filesystem::copy_file(MIRADEL_DEMO_EXAMPLES "/incass.cfg", dir / "incass.cfg",
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(WriteFileAtomically(dir / "kassa.dat", std::vector<uint8_t>(32, 0)), "");
}

void WriteKabin(const std::filesystem::path& dir, const KabinData& data) {
    AppConfig config{AppConfigData::Defaults()};
    KassaImage kassa;
    KabinImage kabin;
    kabin.Modify([&](KabinData& d) { d = data; });
    SaveTimer(dir, config, kassa, kabin).Fire();
}

OfficeRig::OfficeRig() {
    WriteOfficeFiles(dir.path());
    EXPECT_TRUE(link.DeviceEnd().Open(kControllerLineSettings));
    controller.Start();
}

OfficeRig::~OfficeRig() {
    office.reset();
    controller.Stop();
}

std::optional<LoadError> OfficeRig::Start() {
    OfficeHost host{scheduler,
                    clock,
                    prompt,
                    status,
                    [this](int) -> std::unique_ptr<SerialPort> {
                        if (portMissing) {
                            return std::make_unique<MissingPort>();
                        }
                        return std::make_unique<BorrowedPort>(link.PcEnd());
                    },
                    [this]() -> std::optional<std::string> {
                        if (passwords.empty()) {
                            return std::nullopt;
                        }
                        auto next = passwords.front();
                        passwords.pop_front();
                        return next;
                    },
                    [this](int level) {
                        priorities.push_back(level);
                        return level < 2;  // real time is refused
                    },
                    [this](const std::string& note) { notes.push_back(note); },
                    [this](const LoginResult& r) { attempts.push_back(r); },
                    {},
                    dialog};
    office = std::make_unique<Office>(dir.path(), host);
    return office->Start();
}

void OfficeRig::StartAndRun() {
    const auto error = Start();
    ASSERT_FALSE(error) << error->text;
    Run(1000);
    office->MainTimerTick();
    Run(300);
}

std::vector<std::vector<uint8_t>> OfficeRig::LineCommands() const {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& e : controller.EventsOf(kabsim::KabEventKind::kFrameIn)) {
        const uint8_t code = e.bytes.size() > 2 ? e.bytes[2] : 0;
        if (code != 0 && code != 1 && code != 20) {
            out.emplace_back(e.bytes.begin() + 2, e.bytes.end() - 1);
        }
    }
    return out;
}

std::string OfficeRig::LogText() const {
    std::ifstream in(dir / kOperatorLogName, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Cp1251ToUtf8(text);
}

}  // namespace miradel::testing
