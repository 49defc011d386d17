#include "app/master_config.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "support/test_support.h"

namespace tillora {
namespace {

using test::Row;

Row config_row(const std::string& regflags) {
    return {{"session", 1234}, {"empvalmethod", 2},    {"offlinemode", 1},  {"localprinter", 1},
            {"newemp", 1},     {"regflags", regflags}, {"arglsrvchg", 0.25}};
}

void add_config(const std::filesystem::path& db, const std::string& table, const Row& row) {
    auto d = Database::open(db);
    test::insert_row(*d, table, row);
}

TEST(MasterConfig, WorkstationReadsItsOwnConfigTableAndEmptyFieldsGiveZero) {
    using Fields = std::tuple<long, int, int, int, int, int, double>;
    const std::pair<Row, Fields> cases[] = {
        // The 16th character of regflags is a blank: printer type 0.
        {config_row("000000000000000 2"), {1234, 2, 1, 1, 1, 0, 0.25}},
        {{{"regflags", "xxxxxxxxxxxxxxx3"}}, {0, 0, 0, 0, 0, 3, 0.0}},
    };
    for (const auto& [row, fields] : cases) {
        test::TestStation t;
        add_config(t.home() / "kovra03.mdb", "config", row);
        ModuleState& st = t.st();
        st.arglsrvchg = 9;
        EXPECT_TRUE(load_master_config(st, t.s().svc));
        EXPECT_EQ(st.dbpath, "kovra03.mdb");
        EXPECT_EQ(st.sqlstring, "select * from config");
        EXPECT_EQ(Fields(st.session, st.empvalmethod, st.offlinemode, st.localprinter, st.newemp,
                         st.printertype, st.arglsrvchg),
                  fields)
            << std::get<5>(fields);
        EXPECT_TRUE(t.boxes().empty());
    }
}

TEST(MasterConfig, PrinterTypeFromTheSixteenthCharacterOfRegflags) {
    const std::pair<const char*, int> cases[] = {{"xxxxxxxxxxxxxxx2", 2},
                                                 {"xxxxxxxxxxxxxxx4yyy", 4},
                                                 {"xxxxxxxxxxxxxxxA", 0},
                                                 {"123456789012345", 0},
                                                 {"", 0}};
    for (const auto& [flags, type] : cases) {
        EXPECT_EQ(printer_type_from_regflags(flags), type) << flags;
    }
}

TEST(MasterConfig, EmptyTableLoadsNothingAndSaysNothing) {
    test::TestStation t;
    ModuleState& st = t.st();
    EXPECT_FALSE(load_master_config(st, t.s().svc));
    EXPECT_EQ(st.session, 0);
    EXPECT_TRUE(t.boxes().empty());
}

TEST(MasterConfig, UnreadableConfigurationIsReportedOnceAndNothingIsKept) {
    const auto missing_field = [](const std::filesystem::path& path) {
        auto db = Database::open(path, OpenMode::Create);
        db->execute("create table config (session integer, empvalmethod integer)");
        db->execute("insert into config values (77, 2)");
    };
    const struct {
        std::function<void(const std::filesystem::path&)> make;
        std::string box;  // the one box shown, or its start when not `whole`
        bool whole;
    } cases[] = {
        {[](const std::filesystem::path&) {},
         "MSGBOX Oops... | " +
             escape_line_breaks("The configuration file for Kovra unit 03 is missing.\r\n"),
         true},
        {[](const std::filesystem::path& path) { test::write_file(path, std::string(4096, 'x')); },
         "MSGBOX Oops... | The database kovra03.mdb could not be read.", false},
        {missing_field, "MSGBOX ", false}};
    for (const auto& c : cases) {
        test::TestStation t;
        std::filesystem::remove(t.home() / "kovra03.mdb");
        c.make(t.home() / "kovra03.mdb");
        EXPECT_FALSE(load_master_config(t.st(), t.s().svc));
        ASSERT_EQ(t.boxes().size(), 1u) << c.box;
        EXPECT_EQ(c.whole ? t.boxes()[0] : t.boxes()[0].substr(0, c.box.size()), c.box);
        EXPECT_EQ(t.st().session, 0);
        EXPECT_EQ(t.st().empvalmethod, 0);
    }
}

TEST(MasterConfig, MasterNodeAsksUntilOneToTen) {
    test::TestStation t;
    test::create_database(t.home() / "server" / "KOVRAH.MDB", "history.sql");
    add_config(t.home() / "server" / "KOVRAH.MDB", "config03", config_row("xxxxxxxxxxxxxxx1"));
    ModuleState& st = t.st();
    st.masternode = 1;
    st.unitstr = "00";
    t.ui.inputs = {std::string("12"), std::string("0"), std::string(" 3 ")};
    EXPECT_TRUE(load_master_config(st, t.s().svc));
    const std::string ask =
        "INPUT Master Configuration | Type the workstation # to configure and click OK. (1-10)";
    EXPECT_EQ(t.boxes(),
              (std::vector<std::string>{ask + " -> 12", ask + " -> 0", ask + " ->  3 "}));
    EXPECT_EQ(st.unitstr, "3");
    EXPECT_EQ(st.dbpath, st.mapdrive + "KOVRAH.MDB");
    EXPECT_EQ(st.sqlstring, "select * from config03");
    EXPECT_EQ(st.session, 1234);
    EXPECT_EQ(st.printertype, 1);

    // A cancelled box and letters are asked again; 10 reads config10.
    add_config(t.home() / "server" / "KOVRAH.MDB", "config10", config_row(""));
    t.ui.inputs = {std::nullopt, std::string("abc"), std::string("10")};
    EXPECT_TRUE(load_master_config(st, t.s().svc));
    EXPECT_EQ(st.sqlstring, "select * from config10");
    EXPECT_EQ(t.boxes().size(), 6u);
}

TEST(MasterConfig, MasterNodeGivesUpWhenNobodyAnswers) {
    test::TestStation t;
    t.st().masternode = 1;
    EXPECT_FALSE(load_master_config(t.st(), t.s().svc));
    const auto boxes = t.boxes();
    ASSERT_EQ(boxes.size(), static_cast<std::size_t>(kMaxWorkstationAsks) + 1);
    EXPECT_EQ(boxes.back(),
              "MSGBOX Master Configuration | No workstation number was given: the "
              "configuration is not loaded.");
}

}  // namespace
}  // namespace tillora
