// The configuration record of the workstation: the fields kept, a record that cannot be used,
// and the workstation number a master node asks for. A missing or damaged configuration file is
// the close-out run's case; the first answers of the master node, and none, are the driver
// scenarios'.
#include "app/master_config.h"

#include <gtest/gtest.h>

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
    test::insert_row(*Database::open(db), table, row);
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
        EXPECT_EQ(Fields(st.session, st.empvalmethod, st.offlinemode, st.localprinter, st.newemp,
                         st.printertype, st.arglsrvchg),
                  fields);
        EXPECT_TRUE(t.boxes().empty());
    }
}

// A record without every field is told once and nothing of it is kept (an empty table is the
// close-out run's case: it loads nothing and says nothing).
TEST(MasterConfig, ARecordWithoutEveryFieldLoadsNothing) {
    test::TestStation t;
    std::filesystem::remove(t.home() / "kovra03.mdb");
    execute_script(*Database::open(t.home() / "kovra03.mdb", OpenMode::Create),
                   "create table config (session integer, empvalmethod integer);"
                   "insert into config values (77, 2);");
    EXPECT_FALSE(load_master_config(t.st(), t.s().svc));
    ASSERT_EQ(t.boxes().size(), 1u);
    EXPECT_EQ(t.boxes()[0].rfind("MSGBOX Oops... | The database kovra03.mdb could not be read.", 0),
              0u);
    EXPECT_EQ(t.st().session, 0);
    EXPECT_EQ(t.st().empvalmethod, 0);
}

TEST(MasterConfig, MasterNodeReadsTheConfigTableOfTheWorkstationItIsGiven) {
    test::TestStation t;
    test::create_database(t.home() / "server" / "KOVRAH.MDB", "history.sql");
    add_config(t.home() / "server" / "KOVRAH.MDB", "config10", config_row("xxxxxxxxxxxxxxx1"));
    ModuleState& st = t.st();
    st.masternode = 1;
    t.ui.inputs = {std::string("abc"), std::string(" 10 ")};  // letters are asked again
    EXPECT_TRUE(load_master_config(st, t.s().svc));
    EXPECT_EQ(t.boxes().size(), 2u);
    EXPECT_EQ(st.unitstr, "10");
    EXPECT_EQ(st.dbpath, st.mapdrive + "KOVRAH.MDB");
    EXPECT_EQ(st.sqlstring, "select * from config10");
    EXPECT_EQ(st.session, 1234);
    EXPECT_EQ(st.printertype, 1);
}

}  // namespace
}  // namespace tillora
