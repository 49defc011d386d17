#include "tools/register_sim.h"

#include <gtest/gtest.h>

#include "platform/store.h"
#include "support/test_support.h"
#include "tools/demo_data.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;

TEST(RegisterOptions, ReadsEveryOptionAndRefusesBadOnes) {
    const RegisterOptions o =
        parse_register_options({"--home", "/srv/pos", "--rate", "50", "--seconds", "2.5",
                                "--report", "r.txt", "--date", "20200904"});
    EXPECT_EQ(o.home, "/srv/pos");
    EXPECT_EQ(o.rate, 50);
    EXPECT_EQ(o.seconds, 2.5);
    EXPECT_EQ(o.report, "r.txt");
    EXPECT_EQ(o.date, 20200904);
    EXPECT_EQ(parse_register_options({"--home", "x"}).rate, 200);

    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{}, "--home DIR is required"},
        {{"--home"}, "--home needs a value"},
        {{"--home", "x", "--rate", "0"}, "--rate needs a number"},
        {{"--home", "x", "--rate", "fast"}, "--rate needs a number"},
        {{"--home", "x", "--seconds", "-1"}, "--seconds needs a number"},
        {{"--home", "x", "--date", "2020"}, "--date needs a number"},
        {{"--home", "x", "--speed", "1"}, "unknown option \"--speed\""},
    };
    for (const auto& [args, why] : bad) {
        SCOPED_TRACE(why);
        try {
            parse_register_options(args);
            ADD_FAILURE() << "accepted";
        } catch (const UsageError& e) {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
        }
    }
}

TEST(RegisterSimulator, InsertsNumberedLinesAndAuditLinesUntilStopped) {
    test::TempDir dir;
    demo::DemoOptions d;
    d.folder = dir / "home";
    d.days = 1;
    d.tickets = 5;
    d.start = 20200904;
    demo::make_demo_installation(d);
    const long audit_before = static_cast<long>(test::file_lines(d.folder / "audit03.txt").size());

    RegisterOptions o;
    o.home = d.folder;
    o.rate = 2000;
    o.date = 20200904;
    long pauses = 0;
    const RegisterStats stats =
        run_register(o, [&](std::chrono::steady_clock::time_point) { return ++pauses > 41; });
    EXPECT_EQ(stats.lines, 41);
    EXPECT_EQ(stats.audit_lines, 41);
    EXPECT_EQ(stats.busy_errors + stats.other_errors, 0);
    EXPECT_EQ(stats.last_chitnum - stats.first_chitnum, 40);
    EXPECT_GE(stats.worst_ms, stats.p99_ms);
    EXPECT_GE(stats.p99_ms, stats.median_ms);

    auto db = Database::open(d.folder / "KOVRAX03.MDB");
    Recordset rs = db->open_recordset(
        "select count(*), min(poschitnum), max(poschitnum), count(distinct ticket) from xact "
        "where saletext = 'register-sim' and poschitdate = 20200904 and status = 2");
    EXPECT_EQ(rs.field(0).as_int(), 41);
    EXPECT_EQ(rs.field(1).as_int(), stats.first_chitnum);
    EXPECT_EQ(rs.field(2).as_int(), stats.last_chitnum);
    EXPECT_EQ(rs.field(3).as_int(), 11);  // four lines a ticket
    const auto audit = test::file_lines(d.folder / "audit03.txt");
    EXPECT_EQ(static_cast<long>(audit.size()), audit_before + 41);
    EXPECT_EQ(audit.back().substr(0, 9), "09042020\\");
    EXPECT_NE(audit.back().find("\\E#11\\#"), std::string::npos) << audit.back();

    const std::string summary = register_summary(stats);
    EXPECT_NE(summary.find("lines inserted: 41\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("busy or locked errors: 0\n"), std::string::npos) << summary;
}

TEST(RegisterSimulator, ChurnHoldsClosesAndVoidsTicketsAndLogsEveryChange) {
    test::TempDir dir;
    demo::DemoOptions d;
    d.folder = dir / "home";
    d.days = 1;
    d.tickets = 2;
    d.start = 20200904;
    demo::make_demo_installation(d);
    RegisterOptions o;
    o.home = d.folder;
    o.rate = 2000;
    o.churn = dir / "churn.txt";
    long pauses = 0;  // 40 lines: tickets 0 to 9, of which 0 to 5 are closed
    const RegisterStats stats =
        run_register(o, [&](std::chrono::steady_clock::time_point) { return ++pauses > 40; });
    EXPECT_EQ(stats.closed, 6);
    EXPECT_EQ(stats.voided, 6);  // held: tickets 0, 3, 6, 9; after the close: 1 and 4
    const auto log = test::file_lines(o.churn);
    EXPECT_EQ(log.size(), 12u);
    EXPECT_EQ(log[0], "void " + std::to_string(stats.first_chitnum + 1));
    auto db = Database::open(d.folder / "KOVRAX03.MDB");
    Recordset rs = db->open_recordset(
        "select sum(status = 1), sum(status = 2), sum(status = -12) from xact "
        "where saletext = 'register-sim'");
    EXPECT_EQ(rs.field(0).as_int(), 14);
    EXPECT_EQ(rs.field(1).as_int(), 20);
    EXPECT_EQ(rs.field(2).as_int(), 6);
}

TEST(RegisterSimulator, StopsAfterItsSecondsAndRefusesAnInstallationWithoutNodeFile) {
    test::TempDir dir;
    RegisterOptions o;
    o.home = dir.path();
    EXPECT_THROW(run_register(o), RegisterError);
    test::write_file(dir / "ravonode.ini", "POSUNIT=3\nNODENUMBER=3\n");
    EXPECT_THROW(run_register(o), RegisterError);  // no KOVRAX03.MDB
    test::create_database(dir / "KOVRAX03.MDB", "transactions.sql");
    o.rate = 100;
    o.seconds = 0.2;
    const RegisterStats stats = run_register(o);
    EXPECT_EQ(stats.lines, 20);
    EXPECT_GE(stats.seconds, 0.19);
}

}  // namespace
}  // namespace tillora
