#include "tools/demo_setup.h"

#include <fstream>
#include <variant>
#include <vector>

#include "tools/demo_catalog.h"
#include "tools/demo_data.h"

namespace tillora::demo {
namespace {

using FieldValue = std::variant<std::int64_t, double, std::string>;
struct Field {
    std::string name;
    FieldValue value;
};

void insert_fields(SqliteFile& db, const std::string& table, const std::vector<Field>& fields) {
    std::vector<std::string> names;
    for (const auto& f : fields) names.push_back(f.name);
    InsertStatement insert(db, table, names);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int column = static_cast<int>(i);
        const FieldValue& v = fields[i].value;
        if (const auto* n = std::get_if<std::int64_t>(&v)) insert.bind_int(column, *n);
        if (const auto* d = std::get_if<double>(&v)) insert.bind_real(column, *d);
        if (const auto* s = std::get_if<std::string>(&v)) insert.bind_text(column, *s);
    }
    insert.insert();
}

// Every field of the configuration record, in the table's order.
std::vector<Field> config_fields(bool offline) {
    // The 16th character of regflags is the receipt printer type (0).
    const std::string regflags = "YNYNNYNNNNYNNNY0YNNN";
    return {
        {"taxscyesno", "N"},
        {"sctaxpct", 0.0},
        {"deptorstax", "S"},
        {"consolidate", "N"},
        {"compname", "Tillora Harbour Club"},
        {"compaddr1", "120 Harbour Road"},
        {"compaddr2", "Pier 4"},
        {"compcity", "Portland"},
        {"compstate", "ME"},
        {"compzip", "04101"},
        {"compphone1", "207-555-0142"},
        {"compphone2", "207-555-0143"},
        {"storeid", "0001"},
        {"compemail", "office@harbourclub.example"},
        {"salestax", kTaxPerMille / 10.0},
        {"showname", std::int64_t{1}},
        {"session", std::int64_t{0}},
        {"empvalmethod", std::int64_t{1}},
        {"offlinemode", std::int64_t{offline ? 1 : 0}},
        {"newemp", std::int64_t{0}},
        {"plevel1", "Regular"},
        {"plevel2", "Happy Hour"},
        {"plevel3", "Member"},
        {"plevel4", "Staff"},
        {"ccacctid", "HARBOUR01"},
        {"ccacctsub", "01"},
        {"ccardpath", "ccard/"},
        {"ccpreauthrate", 20.0},
        {"rformat", std::int64_t{0}},
        {"hformat", std::int64_t{0}},
        {"regflags", regflags},
        {"noninvglnum", static_cast<double>(kOpenItemAccount)},
        {"localprinter", std::int64_t{0}},
        {"opensalemode", std::int64_t{0}},
        {"recallholdmode", std::int64_t{1}},
        {"tdrcash", 1.0},
        {"tdrcheck", 1.0},
        {"tdrvisa", 1.0},
        {"tdrmastercard", 1.0},
        {"tdrdiscover", 1.0},
        {"tdramex", 1.0},
        {"tdrcarte", 0.0},
        {"tdrdiners", 1.0},
        {"tdrgift", 1.0},
        {"tdrprize", 1.0},
        {"tdrcreditbook", 1.0},
        {"tdrourgiftcard", 1.0},
        {"tdrnatlgiftcard", 1.0},
        {"tdrcoupon", 1.0},
        {"arglsrvchg", static_cast<double>(kServiceChargeAccount)},
    };
}

}  // namespace

SchemaParts create_tables(SqliteFile& db, const std::filesystem::path& schema_folder,
                          const std::string& schema_file) {
    SchemaParts parts = split_schema(schema_text(schema_folder, schema_file));
    db.exec_all(parts.tables);
    return parts;
}

void write_text_file(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) throw DemoError("Cannot write " + path.string() + ".");
}

void write_node_file(const std::filesystem::path& folder, int unit, int node) {
    const std::string base = folder.string() + (folder.string().ends_with("/") ? "" : "/");
    write_text_file(folder / "ravonode.ini",
                    "POSUNIT=" + std::to_string(unit) + "\n" + "COMPUTERNAME=TILLPOS" +
                        unit_text(unit) + "\n" + "NODENUMBER=" + std::to_string(node) + "\n" +
                        "MAPDRIVE=" + base + "server/\n" + "LOCALDRIVE=" + base + "local/\n");
}

void create_config_db(const std::filesystem::path& path, const std::filesystem::path& schema,
                      bool offline) {
    SqliteFile db(path);
    const SchemaParts parts = create_tables(db, schema, "config.sql");
    insert_fields(db, "config", config_fields(offline));
    db.finish(parts);
}

void create_history_db(const std::filesystem::path& path, const std::filesystem::path& schema,
                       bool offline) {
    SqliteFile db(path);
    const SchemaParts parts = create_tables(db, schema, "history.sql");
    db.exec("BEGIN");
    for (int n = 1; n <= 10; ++n) {
        std::vector<Field> fields = config_fields(offline);
        for (auto& f : fields) {
            if (f.name == "storeid") f.value = "00" + unit_text(n);
        }
        insert_fields(db, "config" + unit_text(n), fields);
    }
    db.exec("COMMIT");
    db.finish(parts);
}

void create_employee_db(const std::filesystem::path& path, const std::filesystem::path& schema) {
    SqliteFile db(path);
    const SchemaParts parts = create_tables(db, schema, "employees.sql");
    for (const Employee& e : employees()) {
        insert_fields(db, "empinfo",
                      {{"empid", std::int64_t{e.empid}},
                       {"operator", std::int64_t{e.operator_number}},
                       {"accessnum", e.accessnum},
                       {"pword", e.pword},
                       {"empname", e.name}});
    }
    db.finish(parts);
}

void create_empty_db(const std::filesystem::path& path, const std::filesystem::path& schema,
                     const std::string& schema_file) {
    SqliteFile db(path);
    db.finish(create_tables(db, schema, schema_file));
}

}  // namespace tillora::demo
