#include "store/TableCatalogue.h"

#include <fmt/format.h>

#include <algorithm>

namespace miradel {

namespace {

using T = FieldType;

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

// Index keys where the office named an index but not its fields: a "_DATE" in the name means
// the date and then the time of day, so that rows of one day come in time order; the other
// words of the name are the fields in the order they are named. Widths not fixed by the
// office's forms are chosen wide enough for what is written into them.
std::vector<TableDef> BuildCatalogue() {
    std::vector<TableDef> tables;

    tables.push_back({"INFO",
                      Alias::APPD,
                      {{"AUTO", T::AutoInc},
                       {"NUMBER", T::Int16},
                       {"OPERATOR", T::Int16},
                       {"DIAL_UP", T::Str, 20},
                       {"TICKET", T::Int32},
                       {"DURATION", T::Str, 5},
                       {"TARIF", T::Str, 7},
                       {"SUMMA", T::Str, 7},
                       {"AVANS", T::Int32},
                       {"REST", T::Str, 8},
                       {"_DATE", T::Date},
                       {"_TIME", T::Time}},
                      {{"INFO_DATE", {"_DATE", "_TIME"}, true},
                       {"INFO_NUMBER", {"NUMBER"}, true},
                       {"INFO_NUMBER_DATE", {"NUMBER", "_DATE", "_TIME"}, true},
                       {"TICKETS", {"TICKET"}, true},
                       {"INFO_OPERATOR_DATE", {"OPERATOR", "_DATE", "_TIME"}, true}},
                      "INFO_DATE",
                      DateStyle::Unpadded});

    // The login looks a password up exactly, so PASS compares letter case.
    tables.push_back({"PASSWORD",
                      Alias::APPD,
                      {{"PASSWORD", T::Str, 20},
                       {"NUMBER_OPERATOR", T::Int32},
                       {"TYPE_OPERATOR", T::Int32},
                       {"NAME_OPERATOR", T::Str, 40}},
                      {{"PASS", {"PASSWORD"}}},
                      "PASS"});

    // The list is kept ordered by NUMBER; RR_NUMBER is that order.
    tables.push_back({"RINGROUND",
                      Alias::APPD,
                      {{"NUMBER", T::Int32}, {"BAD_ATTEMPT", T::Int32}, {"GOOD_ATTEMPT", T::Int32}},
                      {{"RR_NUMBER", {"NUMBER"}}},
                      "RR_NUMBER"});

    tables.push_back(
        {"TABLEROUND",
         Alias::APPD,
         {{"NUMBER", T::Int32}, {"DURATION", T::Int32}, {"_DATE", T::Date}, {"_TIME", T::Time}},
         {{"DATEROUND", {"_DATE", "_TIME"}}, {"DATE_NUMBER", {"_DATE", "NUMBER"}}},
         "DATEROUND"});

    tables.push_back({"ENTERFAX",
                      Alias::APPD,
                      {{"NUMBER", T::Int32},
                       {"OPERATOR", T::Int32},
                       {"DURATION", T::Str, 8},
                       {"SUMMA", T::Str, 12},
                       {"PAGE_COUNT", T::Int32},
                       {"_DATE", T::Date},
                       {"_TIME", T::Time},
                       {"FLAG", T::Int32}},
                      {{"EF_DATE", {"_DATE", "_TIME"}}, {"EF_FLAG", {"FLAG", "_DATE", "_TIME"}}},
                      ""});

    tables.push_back({"REFER",
                      Alias::APPD,
                      {{"KOD_GOR", T::Str, 10},
                       {"ZONA", T::Int16},
                       {"NAME", T::Str, 40},
                       {"KOD_ZONA", T::Str, 6}},
                      {{"REF_NAME", {"NAME"}, true}, {"REF_KOD", {"KOD_GOR"}}},
                      "REF_NAME"});

    tables.push_back({"NS",
                      Alias::APPD,
                      {{"KOD_VILLAGE", T::Str, 20}, {"KOD_TOWN", T::Str, 16}, {"NAME", T::Str, 15}},
                      {{"KOD_TOWN", {"KOD_TOWN"}}},
                      "KOD_TOWN"});

    tables.push_back({"FPRINT",
                      Alias::APPD,
                      {{"FLAG", T::Int16},
                       {"AUTO", T::AutoInc},
                       {"TICKET", T::Int32},
                       {"DESR", T::Str, 20},
                       {"_DATE", T::Date},
                       {"_TIME", T::Time},
                       {"EXFLAG", T::Int16}},
                      {{"FP_DATE", {"_DATE", "_TIME"}}},
                      ""});

    tables.push_back({"TPAY",
                      Alias::APPD,
                      {{"NSEC", T::Int32},
                       {"DESCR", T::Str, 40},
                       {"PRICEU", T::Int32},
                       {"COUNTLINE", T::Int32},
                       {"KVO", T::Int32},
                       {"ING", T::Int32}},
                      {{"TP_NSEC", {"NSEC"}}},
                      "TP_NSEC"});

    tables.push_back({"RETSUMMA",
                      Alias::APPD,
                      {{"AUTO", T::AutoInc},
                       {"_DATE", T::Date},
                       {"_TIME", T::Time},
                       {"ATICKET", T::Int32},
                       {"RET_SUMMA", T::Str, 9},
                       {"AVANS", T::Str, 9},
                       {"NUMBER", T::Int16},
                       {"OPERATOR", T::Int16},
                       {"FLAG", T::Int16},
                       {"_DATER", T::Date},
                       {"_TIMER", T::Time},
                       {"OPERATORR", T::Int16}},
                      {{"RET_DATE", {"_DATE", "_TIME"}},
                       {"RET_DATE_OPERATOR", {"_DATE", "OPERATOR", "_TIME"}},
                       {"RET_TICKET", {"ATICKET"}}},
                      ""});

    tables.push_back({"REPORTPAY",
                      Alias::APPD,
                      {{"NTPAY", T::Int32},
                       {"NSEC", T::Int32},
                       {"NTICKET", T::Int32},
                       {"GOODS", T::Str, 40},
                       {"PRICE", T::Int32},
                       {"QUANTITY", T::Int32},
                       {"SUMMI", T::Int32},
                       {"SUMMA", T::Str, 12},
                       {"OPERATOR", T::Int32},
                       {"_DATE", T::Date},
                       {"_TIME", T::Time}},
                      {{"RP_DATE", {"_DATE", "_TIME"}},
                       {"RP_NTICKET", {"NTICKET"}},
                       {"RP_OPERATOR_DATE", {"OPERATOR", "_DATE", "_TIME"}},
                       {"RP_NSEC_DATE", {"NSEC", "_DATE", "_TIME"}}},
                      ""});

    tables.push_back({"AVANSINFO",
                      Alias::APPD,
                      {{"AUTO", T::AutoInc},
                       {"OPERATOR", T::Int16},
                       {"TICKET", T::Int32},
                       {"SUMMA", T::Str, 7},
                       {"FLAG", T::Int16},
                       {"_DATE", T::Date},
                       {"_TIME", T::Time}},
                      {{"AINFO_DATE", {"_DATE", "_TIME"}},
                       {"AINFO_OPERATOR_DATE", {"OPERATOR", "_DATE", "_TIME"}},
                       {"AINFO_TICKET", {"TICKET"}}},
                      ""});

    tables.push_back(
        {"ZService", Alias::APPZ, {{"NAME_TYPE", T::Str, 40}, {"TARIF", T::Int32}}, {}, ""});

    tables.push_back(
        {"ZAKAZ",
         Alias::APPZ,
         {{"TICKET", T::Int32},    {"OPERATOR", T::Int16},      {"PUNKT", T::Str, 30},
          {"KOD", T::Str, 10},     {"ABONENT", T::Str, 30},     {"TLF1", T::Str, 10},
          {"TLF2", T::Str, 10},    {"TLF3", T::Str, 10},        {"TLF4", T::Str, 10},
          {"TLF5", T::Str, 10},    {"DURATION", T::Str, 5},     {"DSERVICE", T::Str, 3},
          {"SUMMA", T::Str, 7},    {"AVANS", T::Str, 7},        {"TARIF", T::Int32},
          {"NUMBER", T::Int16},    {"NALOG", T::Int16},         {"_DATE", T::Date},
          {"_TIME", T::Time},      {"OPERATORV", T::Int16},     {"NOTE", T::Str, 30},
          {"CATEGOR", T::Int16},   {"_FLAG", T::Int16},         {"NAME_SERVICE", T::Memo, 128},
          {"TECH_TIME", T::Int16}, {"ADD_DURATION", T::Str, 3}, {"RETURN", T::Str, 7},
          {"KOFF", T::Int16},      {"VERBAL", T::Str, 30}},
         {{"ZAKAZ_DATE", {"_DATE", "_TIME"}}, {"ZAKAZ_FLAGS_DATE", {"_FLAG", "_DATE", "_TIME"}}},
         ""});

    tables.push_back({"ZRESULT",
                      Alias::APPZ,
                      {{"AUTO", T::AutoInc}, {"RESULT", T::Str, 40}, {"COST", T::Int32}},
                      {},
                      ""});

    return tables;
}

// A text field keyed by a case-insensitive index compares without regard to case everywhere
// (in the index, in ORDER BY and in selections), so that the index serves all three.
bool CaseInsensitiveText(const TableDef& table, const FieldDef& field) {
    if (field.type != FieldType::Str && field.type != FieldType::Memo) {
        return false;
    }
    for (const IndexDef& index : table.indexes) {
        if (index.caseInsensitive &&
            std::find(index.fields.begin(), index.fields.end(), field.name) != index.fields.end()) {
            return true;
        }
    }
    return false;
}

std::string ColumnSql(const TableDef& table, const FieldDef& field) {
    const std::string name = QuoteName(field.name);
    const std::string collate = CaseInsensitiveText(table, field) ? " COLLATE NOCASE" : "";
    switch (field.type) {
        case FieldType::AutoInc:
            return name + " INTEGER PRIMARY KEY AUTOINCREMENT";
        case FieldType::Int16:
            return fmt::format("{0} INTEGER CHECK({0} BETWEEN -32768 AND 32767)", name);
        case FieldType::Int32:
            return fmt::format("{0} INTEGER CHECK({0} BETWEEN -2147483648 AND 2147483647)", name);
        case FieldType::Str:
            return fmt::format("{0} TEXT{2} CHECK(length({0}) <= {1})", name, field.width, collate);
        case FieldType::Date:
            return fmt::format(
                "{0} TEXT CHECK({0} GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]')", name);
        case FieldType::Time:
            return fmt::format("{0} TEXT CHECK({0} GLOB '[0-9][0-9]:[0-9][0-9]:[0-9][0-9]')", name);
        case FieldType::Memo:
            return name + " TEXT" + collate;
    }
    return name;
}

std::string IndexColumnsSql(const IndexDef& index) {
    std::string sql;
    for (std::string_view field : index.fields) {
        sql += sql.empty() ? "" : ", ";
        sql += QuoteName(field);
    }
    return sql;
}

}  // namespace

int TableDef::FieldIndex(std::string_view field) const {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (SameName(fields[i].name, field)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const FieldDef* TableDef::Field(std::string_view field) const {
    const int i = FieldIndex(field);
    return i < 0 ? nullptr : &fields[static_cast<std::size_t>(i)];
}

const IndexDef* TableDef::Index(std::string_view index) const {
    for (const IndexDef& def : indexes) {
        if (SameName(def.name, index)) {
            return &def;
        }
    }
    return nullptr;
}

const FieldDef* TableDef::AutoIncField() const {
    for (const FieldDef& field : fields) {
        if (field.type == FieldType::AutoInc) {
            return &field;
        }
    }
    return nullptr;
}

const std::vector<TableDef>& TableCatalogue() {
    static const std::vector<TableDef> catalogue = BuildCatalogue();
    return catalogue;
}

const TableDef* FindTableDef(std::string_view table) {
    for (const TableDef& def : TableCatalogue()) {
        if (SameName(def.name, table)) {
            return &def;
        }
    }
    return nullptr;
}

std::vector<const TableDef*> TablesOf(Alias alias) {
    std::vector<const TableDef*> tables;
    for (const TableDef& def : TableCatalogue()) {
        if (def.alias == alias) {
            tables.push_back(&def);
        }
    }
    return tables;
}

std::string_view AliasName(Alias alias) {
    return alias == Alias::APPD ? "APPD" : "APPZ";
}

std::string DatabaseFileName(Alias alias) {
    return std::string(AliasName(alias)) + ".sqlite";
}

std::string QuoteName(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string CreateTableSql(const TableDef& table, std::string_view tableName) {
    std::string sql = "CREATE TABLE " + QuoteName(tableName) + " (";
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        sql += i == 0 ? "\n  " : ",\n  ";
        sql += ColumnSql(table, table.fields[i]);
    }
    return sql + "\n) STRICT";
}

std::vector<std::string> CreateIndexSql(const TableDef& table, std::string_view tableName) {
    std::vector<std::string> sql;
    for (const IndexDef& index : table.indexes) {
        sql.push_back(fmt::format("CREATE INDEX {} ON {} ({})", QuoteName(index.name),
                                  QuoteName(tableName), IndexColumnsSql(index)));
    }
    return sql;
}

std::string OrderBySql(const IndexDef* index) {
    if (index == nullptr) {
        return "rowid";
    }
    return IndexColumnsSql(*index) + ", rowid";
}

}  // namespace miradel
