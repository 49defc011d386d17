// The register simulator: lines and audit lines at its rate until stopped, the churn of held,
// closed and voided tickets, and its refusals (bad command lines: tests/tools/usage_errors.txt).
// Its summary and its run beside the reports are checked by the concurrency test
// (tests/other/concurrency_test.cpp).
#include "tools/register_sim.h"

#include <gtest/gtest.h>

#include "platform/store.h"
#include "support/test_support.h"
#include "tools/demo_data.h"

namespace tillora {
namespace {

// A demo installation of one day, 20200904, and the simulator's options for it.
RegisterOptions demo_register(const test::TempDir& dir, int tickets) {
    demo::DemoOptions d;
    d.folder = dir / "home";
    std::tie(d.days, d.tickets, d.start) = std::make_tuple(1, tickets, 20200904);
    demo::make_demo_installation(d);
    RegisterOptions o;
    o.home = d.folder;
    o.rate = 2000;
    o.date = 20200904;
    return o;
}

// Stops the run after `lines` lines.
RegisterPause after(long lines) {
    return [lines, pauses = 0L](std::chrono::steady_clock::time_point) mutable {
        return ++pauses > lines;
    };
}

TEST(RegisterSimulator, InsertsNumberedLinesAndAuditLinesUntilStopped) {
    test::TempDir dir;
    const RegisterOptions o = demo_register(dir, 5);
    const auto audit_before = test::file_lines(o.home / "audit03.txt").size();
    const RegisterStats stats = run_register(o, after(41));
    EXPECT_EQ(stats.lines, 41);
    EXPECT_EQ(stats.audit_lines, 41);
    EXPECT_EQ(stats.last_chitnum - stats.first_chitnum, 40);
    EXPECT_GE(stats.worst_ms, stats.p99_ms);
    EXPECT_GE(stats.p99_ms, stats.median_ms);

    auto db = Database::open(o.home / "KOVRAX03.MDB");
    Recordset rs = db->open_recordset(
        "select count(*), min(poschitnum), max(poschitnum), count(distinct ticket) from xact "
        "where saletext = 'register-sim' and poschitdate = 20200904 and status = 2");
    EXPECT_EQ(rs.field(0).as_int(), 41);
    EXPECT_EQ(rs.field(1).as_int(), stats.first_chitnum);
    EXPECT_EQ(rs.field(2).as_int(), stats.last_chitnum);
    EXPECT_EQ(rs.field(3).as_int(), 11);  // four lines a ticket
    const auto audit = test::file_lines(o.home / "audit03.txt");
    EXPECT_EQ(audit.size(), audit_before + 41);
    EXPECT_EQ(audit.back().substr(0, 9), "09042020\\");
    EXPECT_NE(audit.back().find("\\E#11\\#"), std::string::npos) << audit.back();
}

TEST(RegisterSimulator, ChurnHoldsClosesAndVoidsTicketsAndLogsEveryChange) {
    test::TempDir dir;
    RegisterOptions o = demo_register(dir, 2);
    o.churn = dir / "churn.txt";
    // 40 lines: tickets 0 to 9, of which 0 to 5 are closed.
    const RegisterStats stats = run_register(o, after(40));
    EXPECT_EQ(stats.closed, 6);
    EXPECT_EQ(stats.voided, 6);  // held: tickets 0, 3, 6, 9; after the close: 1 and 4
    const auto log = test::file_lines(o.churn);
    EXPECT_EQ(log.size(), 12u);
    EXPECT_EQ(log[0], "void " + std::to_string(stats.first_chitnum + 1));
    auto db = Database::open(o.home / "KOVRAX03.MDB");
    Recordset rs = db->open_recordset(
        "select sum(status = 1), sum(status = 2), sum(status = -12) from xact "
        "where saletext = 'register-sim'");
    EXPECT_EQ(rs.field(0).as_int(), 14);
    EXPECT_EQ(rs.field(1).as_int(), 20);
    EXPECT_EQ(rs.field(2).as_int(), 6);
}

TEST(RegisterSimulator, StopsAfterItsSecondsAndRefusesWhatItCannotUse) {
    test::TempDir dir;
    RegisterOptions o = parse_register_options({"--home", dir.path(), "--seconds", "0.2"});
    EXPECT_EQ(o.rate, 200);
    EXPECT_THROW(run_register(o), RegisterError);  // no node file
    test::write_file(dir / "ravonode.ini", "POSUNIT=3\nNODENUMBER=3\n");
    EXPECT_THROW(run_register(o), RegisterError);  // no KOVRAX03.MDB
    test::create_database(dir / "KOVRAX03.MDB", "transactions.sql");
    o.rate = 100;
    const RegisterStats stats = run_register(o);
    EXPECT_EQ(stats.lines, 20);
    EXPECT_GE(stats.seconds, 0.19);
}

}  // namespace
}  // namespace tillora
