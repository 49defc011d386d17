#include "support/test_support.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tillora::test {

namespace {

// Test installations live in memory when the machine has a tmpfs: the databases sync on every
// commit, and on a disk that makes the suites ten times slower without testing anything more.
fs::path temp_base() {
    std::error_code ec;
    if (fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return fs::temp_directory_path();
}

}  // namespace

TempDir::TempDir() {
    std::random_device rd;
    const fs::path base = temp_base();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = base / ("tillora-test-" + std::to_string(rd()));
        if (fs::create_directory(p)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> file_lines(const fs::path& path) {
    return split_lines(read_file(path));
}

void write_file(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string schema_text(const std::string& name) {
    return read_file(fs::path(TILLORA_SOURCE_DIR) / "schema" / name);
}

std::unique_ptr<Database> create_database(const fs::path& path, const std::string& schema) {
    auto db = Database::open(path, OpenMode::Create);
    execute_script(*db, schema_text(schema));
    return db;
}

void insert_row(Database& db, const std::string& table, const Row& row) {
    auto rs = db.open_recordset("select * from " + table + " where 0", SetKind::Updatable);
    rs.add_new();
    for (const auto& [name, value] : row) rs.set(name, value);
    rs.update();
}

Row with(Row row, const Row& more) {
    row.insert(row.end(), more.begin(), more.end());
    return row;
}

TestStation::TestStation() {
    const fs::path h = dir.path();
    fs::create_directories(h / "server");
    fs::create_directories(h / "spool");
    fs::create_directories(h / "local");
    create_database(h / "KOVRAX03.MDB", "transactions.sql");
    create_database(h / "RPT03.MDB", "report.sql");
    create_database(h / "kovraemp.mdb", "employees.sql");
    create_database(h / "kovra03.mdb", "config.sql");
    create_database(h / "server" / "kovratmp.mdb", "held.sql");
    write_file(h / "server" / "ravo.exe", "");
    printers = std::make_unique<SpoolPrinterSystem>(h / "spool");
    station = std::make_unique<Station>(Services{ui, *printers, clock, h});
    ModuleState& m = station->st;
    m.posunit = 3;
    m.nodenumber = 3;
    m.unitstr = "03";
    m.rptdb = "RPT03.MDB";
    m.xactdb = "KOVRAX03.MDB";
    m.mapdrive = (h / "server").string() + "/";
    m.localdrive = (h / "local").string() + "/";
    m.dashline = std::string(40, '-');
    m.blankline = std::string(39, ' ');
    m.today = "09-04-2020";
    m.todaynum = 20200904;
    FormModel& f = station->form;
    f.txtfromdate.text = "20200904";
    f.txttodate.text = "20200904";
    f.txtfromhour.text = "00";
    f.txttohour.text = "23";
    f.txtfromminute.text = "00";
    f.txttominute.text = "59";
}

TestStation::~TestStation() = default;

std::unique_ptr<Database> TestStation::xact_db() {
    return Database::open(home() / "KOVRAX03.MDB");
}
std::unique_ptr<Database> TestStation::report_db() {
    return Database::open(home() / "RPT03.MDB");
}

void TestStation::add_line(const Row& row) {
    // A column set twice keeps its last value: `row` overrides the defaults.
    // clang-format off
    const Row defaults = {{"ticket", 1}, {"poschitnum", 1}, {"server", 1}, {"itemnumber", 1},
                          {"status", 2}, {"postendtype", 0}, {"posbatch", "0"},
                          {"poschitdate", 20200904}, {"trantime", "12:00:00"},
                          {"poschitbase", 0.0}, {"poschitsrvchg", 0.0}, {"poschittax", 0.0},
                          {"poschittotal", 0.0}};
    // clang-format on
    insert_row(*xact_db(), "xact", with(defaults, row));
}

void TestStation::add_lines(std::initializer_list<Row> rows) {
    for (const Row& r : rows) add_line(r);
}

namespace {

std::vector<fs::path> job_files(const fs::path& spool) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(spool)) {
        const std::string n = e.path().filename().string();
        if (n.rfind("job-", 0) == 0 && e.path().extension() == ".txt") files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

std::vector<std::vector<std::string>> TestStation::jobs() const {
    std::vector<std::vector<std::string>> out;
    for (const auto& text : job_texts()) out.push_back(split_lines(text));
    return out;
}

std::vector<std::string> TestStation::job_texts() const {
    std::vector<std::string> out;
    for (const auto& f : job_files(dir.path() / "spool")) out.push_back(read_file(f));
    return out;
}

std::vector<std::string> TestStation::printed() const {
    std::vector<std::string> all;
    for (const auto& job : jobs()) all.insert(all.end(), job.begin(), job.end());
    return all;
}

std::vector<std::string> TestStation::closeout() const {
    return file_lines(station->path(station->st.closeoutfile));
}

std::vector<std::string> TestStation::boxes() const {
    return split_lines(shown.str());
}

void TestStation::enter_closeout_mode() {
    station->st.closeoutmode = 1;
    station->st.closeoutfile = "closeout03-20200904.txt";
    ui.answers.clear();
}

}  // namespace tillora::test
