#include "printing/FiscalPlugin.h"

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <utility>

#include "printing/FiscalDriverAbi.h"

namespace miradel {

namespace {

constexpr int32_t kNoConnection = 1;  // what the 130Ф driver answers without a connection

std::string Shown(const std::filesystem::path& path) {
    return path.string();
}

// The entry of the library for one model, or null with `error` filled.
template <class Table, class Entry>
const Table* EntryTable(const SharedLibrary& library, const char* entryName, std::string& error) {
    void* symbol = library.Symbol(entryName);
    if (symbol == nullptr) {
        error = "В драйвере ККМ " + Shown(library.path()) + " нет точки входа " + entryName;
        return nullptr;
    }
    const auto entry = reinterpret_cast<Entry>(symbol);
    const Table* table = entry(MIRADEL_FISCAL_ABI_VERSION);
    if (table == nullptr) {
        error = "Драйвер ККМ " + Shown(library.path()) + " не поддерживает версию " +
                std::to_string(MIRADEL_FISCAL_ABI_VERSION) + " интерфейса";
        return nullptr;
    }
    if (table->abi_version != MIRADEL_FISCAL_ABI_VERSION || table->struct_size < sizeof(Table)) {
        error = "Драйвер ККМ " + Shown(library.path()) + " несовместим: версия интерфейса " +
                std::to_string(table->abi_version) + ", нужна " +
                std::to_string(MIRADEL_FISCAL_ABI_VERSION);
        return nullptr;
    }
    return table;
}

std::string MissingOperation(const SharedLibrary& library, const char* name) {
    return "В драйвере ККМ " + Shown(library.path()) + " нет операции " + name;
}

class HostBlock {
  public:
    explicit HostBlock(const FiscalHostInfo& info)
        : workDir_(info.workDir.string()), options_(info.options) {}
    const MiradelFiscalHost* get() {
        host_ = {sizeof(MiradelFiscalHost), workDir_.c_str(), options_.c_str()};
        return &host_;
    }

  private:
    std::string workDir_;
    std::string options_;
    MiradelFiscalHost host_{};
};

class PluginM130Driver final : public M130Driver {
  public:
    PluginM130Driver(std::shared_ptr<SharedLibrary> library, const MiradelM130Driver& table,
                     const FiscalHostInfo& host)
        : library_(std::move(library)), table_(table), host_(host) {}
    ~PluginM130Driver() override { Close(); }

    bool Open(int comPort) override {
        Close();
        handle_ = table_.open(host_.get(), comPort);
        return handle_ != 0;
    }
    bool IsOpen() const override { return handle_ != 0; }

    Answer SerialNumber() override {
        Answer answer;
        answer.code = Call([&] { return table_.serial_number(handle_, answer_.data()); });
        answer.text = answer_.data();
        return answer;
    }

    int32_t PrintText(std::string_view dosText) override {
        const std::string text = Limited(dosText);
        return Call([&] { return table_.print_text(handle_, text.c_str(), answer_.data()); });
    }

    int32_t SaleLine(std::string_view dosText, float price, float quantity, float amount,
                     uint8_t section) override {
        const std::string text = Limited(dosText);
        return Call([&] {
            return table_.sale_line(handle_, text.c_str(), price, quantity, amount, section, 0, 0,
                                    answer_.data());
        });
    }

    int32_t CloseCheck(float payment) override {
        return Call([&] { return table_.close_check(handle_, 0, 0, payment, answer_.data()); });
    }

    int32_t CancelCheck() override {
        return Call([&] { return table_.cancel_check(handle_, answer_.data()); });
    }

    void Close() override {
        if (handle_ != 0) {
            table_.close(handle_);
            handle_ = 0;
        }
    }

  private:
    static std::string Limited(std::string_view text) {
        return std::string(text.substr(0, MIRADEL_M130_TEXT_MAX));
    }

    // A zero-filled answer buffer for each call, and a terminator whatever the driver wrote.
    template <class Fn>
    int32_t Call(Fn&& fn) {
        answer_.fill('\0');
        if (handle_ == 0) {
            return kNoConnection;
        }
        const int32_t code = fn();
        answer_.back() = '\0';
        return code;
    }

    std::shared_ptr<SharedLibrary> library_;
    MiradelM130Driver table_;
    HostBlock host_;
    intptr_t handle_ = 0;
    std::array<char, MIRADEL_M130_ANSWER_SIZE> answer_{};
};

class PluginM114Component final : public M114Component {
  public:
    PluginM114Component(std::shared_ptr<SharedLibrary> library, const MiradelM114Driver& table,
                        MiradelM114* component)
        : library_(std::move(library)), table_(table), component_(component) {
        const MiradelM114Events events{this, &PrinterError, &StatusUpdate};
        table_.set_events(component_, &events);
    }
    ~PluginM114Component() override { table_.destroy(component_); }

    void SetListener(M114Listener* listener) override { listener_ = listener; }
    void SetPortNum(int32_t port) override { Check(table_.set_port_num(component_, port), 0); }
    void SetBaudRate(int32_t baud) override { Check(table_.set_baud_rate(component_, baud), 0); }
    void SetPassword(std::string_view cp1251) override {
        const std::string password(cp1251);
        Check(table_.set_password(component_, password.c_str()), 0);
    }
    int32_t Model() override { return table_.model ? table_.model(component_) : 0; }
    int32_t Cutter() override { return table_.cutter ? table_.cutter(component_) : 0; }

    void Open() override { Op(table_.open); }
    void OpenFiscalDoc(int32_t docType) override { Op(table_.open_fiscal_doc, docType); }
    void AddHeaderLine(int32_t header, int32_t line, int32_t column) override {
        Op(table_.add_header_line, header, line, column);
    }
    void AddSerialNumber(int32_t line, int32_t column) override {
        Op(table_.add_serial_number, line, column);
    }
    void AddDocNumber(int32_t line, int32_t column) override {
        Op(table_.add_doc_number, line, column);
    }
    void AddTaxPayerNumber(int32_t line, int32_t column) override {
        Op(table_.add_tax_payer_number, line, column);
    }
    void AddDateTime(int32_t line, int32_t column) override {
        Op(table_.add_date_time, line, column);
    }
    void AddReceiptNumber(int32_t line, int32_t column) override {
        Op(table_.add_receipt_number, line, column);
    }
    void AddOperInfo(int32_t what, int32_t line, int32_t column) override {
        Op(table_.add_oper_info, what, line, column);
    }
    void AddCustom(std::string_view cp1251, int32_t line, int32_t column) override {
        const std::string text(cp1251);
        Op(table_.add_custom, text.c_str(), line, column);
    }
    void AddItem(int32_t kind, int64_t price, int32_t place, int32_t section, int32_t quantity,
                 int32_t line) override {
        Op(table_.add_item, kind, price, place, section, quantity, line);
    }
    void AddTotal(int32_t line, int32_t column) override { Op(table_.add_total, line, column); }
    void AddPay(int32_t payType, int64_t amount, int32_t line, int32_t column) override {
        Op(table_.add_pay, payType, amount, line, column);
    }
    void AddChange(int32_t line, int32_t column) override { Op(table_.add_change, line, column); }
    void AddRegNumber(int32_t line, int32_t column) override {
        Op(table_.add_reg_number, line, column);
    }
    void CloseFiscalDoc() override { Op(table_.close_fiscal_doc); }
    void CancelFiscalDoc() override { Op(table_.cancel_fiscal_doc); }
    void PrintNonFiscal(std::string_view cp1251, int32_t flags) override {
        const std::string text(cp1251);
        Op(table_.print_non_fiscal, text.c_str(), flags);
    }
    void OpenDay(int32_t operatorNumber) override { Op(table_.open_day, operatorNumber); }
    void XReport() override { Op(table_.x_report); }
    void ZReport() override { Op(table_.z_report); }
    void FeedAndCut(int32_t lines) override { Op(table_.feed_and_cut, lines); }
    void ExternalPulse(int32_t output, int32_t onTime, int32_t offTime, int32_t count) override {
        Op(table_.external_pulse, output, onTime, offTime, count);
    }
    void SynchronizeEcrDateTime(const LocalDateTime& now) override {
        const MiradelM114DateTime when{now.year, now.month,  now.day,
                                       now.hour, now.minute, now.second};
        Op(table_.synchronize_ecr_date_time, &when);
    }
    void CopyFiscalDoc() override { Op(table_.copy_fiscal_doc); }
    int32_t CheckEcrStatus() override {
        int32_t status = 0;
        Op(table_.check_ecr_status, &status);
        return status;
    }
    void SetRetryOperation(bool retry) override {
        table_.set_retry_operation(component_, retry ? 1 : 0);
    }

  private:
    static void Check(int32_t code, int32_t extended) {
        if (code != 0) {
            throw M114Error(code, extended);
        }
    }

    // An operation the driver left out fails as "not supported".
    template <class Fn, class... Args>
    void Op(Fn fn, Args... args) {
        if (fn == nullptr) {
            throw M114Error(MIRADEL_M114_E_NOT_SUPPORTED, 0);
        }
        int32_t extended = 0;
        const int32_t code = fn(component_, args..., &extended);
        Check(code, extended);
    }

    // Callbacks come from inside the driver's C code: nothing may unwind through it.
    static void PrinterError(void* user, MiradelM114*, int32_t code, int32_t extended) {
        auto* self = static_cast<PluginM114Component*>(user);
        try {
            if (self->listener_) {
                self->listener_->OnPrinterError(code, extended);
            }
        } catch (...) {
        }
    }

    static int32_t StatusUpdate(void* user, MiradelM114*, int32_t status) {
        auto* self = static_cast<PluginM114Component*>(user);
        try {
            return self->listener_ ? self->listener_->OnStatusUpdate(status) : status;
        } catch (...) {
            return status;
        }
    }

    std::shared_ptr<SharedLibrary> library_;
    MiradelM114Driver table_;
    MiradelM114* component_;
    M114Listener* listener_ = nullptr;
};

// The first required member of the 114.1Ф table that is missing, or null.
const char* MissingM114Operation(const MiradelM114Driver& t) {
    const std::pair<const void*, const char*> required[] = {
        {reinterpret_cast<const void*>(t.create), "create"},
        {reinterpret_cast<const void*>(t.destroy), "destroy"},
        {reinterpret_cast<const void*>(t.set_events), "set_events"},
        {reinterpret_cast<const void*>(t.set_port_num), "set_port_num"},
        {reinterpret_cast<const void*>(t.set_baud_rate), "set_baud_rate"},
        {reinterpret_cast<const void*>(t.set_password), "set_password"},
        {reinterpret_cast<const void*>(t.open), "open"},
        {reinterpret_cast<const void*>(t.set_retry_operation), "set_retry_operation"},
    };
    for (const auto& [function, name] : required) {
        if (function == nullptr) {
            return name;
        }
    }
    return nullptr;
}

const char* MissingM130Operation(const MiradelM130Driver& t) {
    const std::pair<const void*, const char*> required[] = {
        {reinterpret_cast<const void*>(t.open), "open"},
        {reinterpret_cast<const void*>(t.serial_number), "serial_number"},
        {reinterpret_cast<const void*>(t.print_text), "print_text"},
        {reinterpret_cast<const void*>(t.sale_line), "sale_line"},
        {reinterpret_cast<const void*>(t.close_check), "close_check"},
        {reinterpret_cast<const void*>(t.cancel_check), "cancel_check"},
        {reinterpret_cast<const void*>(t.close), "close"},
    };
    for (const auto& [function, name] : required) {
        if (function == nullptr) {
            return name;
        }
    }
    return nullptr;
}

}  // namespace

std::shared_ptr<SharedLibrary> SharedLibrary::Open(const std::filesystem::path& path,
                                                   std::string& error) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        error = "Не найден драйвер ККМ: " + Shown(path);
        return nullptr;
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        error = "Драйвер ККМ не загружается: " + Shown(path) +
                (why ? std::string(" (") + why + ")" : "");
        return nullptr;
    }
    return std::shared_ptr<SharedLibrary>(new SharedLibrary(handle, path));
}

SharedLibrary::~SharedLibrary() {
    ::dlclose(handle_);
}

void* SharedLibrary::Symbol(const char* name) const {
    ::dlerror();
    return ::dlsym(handle_, name);
}

M130PluginLoad LoadM130Plugin(const std::filesystem::path& library, const FiscalHostInfo& host) {
    M130PluginLoad load;
    auto lib = SharedLibrary::Open(library, load.error);
    if (!lib) {
        return load;
    }
    const auto* table =
        EntryTable<MiradelM130Driver, MiradelM130Entry>(*lib, MIRADEL_M130_ENTRY, load.error);
    if (table == nullptr) {
        return load;
    }
    if (const char* missing = MissingM130Operation(*table)) {
        load.error = MissingOperation(*lib, missing);
        return load;
    }
    load.driver = std::make_unique<PluginM130Driver>(lib, *table, host);
    return load;
}

M114PluginLoad LoadM114Plugin(const std::filesystem::path& library, const FiscalHostInfo& host) {
    M114PluginLoad load;
    auto lib = SharedLibrary::Open(library, load.error);
    if (!lib) {
        return load;
    }
    const auto* table =
        EntryTable<MiradelM114Driver, MiradelM114Entry>(*lib, MIRADEL_M114_ENTRY, load.error);
    if (table == nullptr) {
        return load;
    }
    if (const char* missing = MissingM114Operation(*table)) {
        load.error = MissingOperation(*lib, missing);
        return load;
    }
    HostBlock block(host);
    MiradelM114* component = table->create(block.get());
    if (component == nullptr) {
        load.error = "Драйвер ККМ " + Shown(library) + " не создал компонент ККМ";
        return load;
    }
    load.component = std::make_unique<PluginM114Component>(lib, *table, component);
    return load;
}

}  // namespace miradel
