#include "support/fixtures.h"

#include <gtest/gtest.h>

#include "support/expected_file.h"

namespace tillora::test {

Row line(int server, int ticket, int item, double base, double srvchg, double tax,
         const Row& more) {
    return with({{"server", server},
                 {"ticket", ticket},
                 {"itemnumber", item},
                 {"poschitbase", base},
                 {"poschitsrvchg", srvchg},
                 {"poschittax", tax}},
                more);
}

Row tender(int ticket, int type, double amount, const char* memo) {
    return {{"ticket", ticket}, {"itemnumber", -1},      {"postendtype", type},
            {"posbatch", "1"},  {"poschitbase", amount}, {"posmemo", memo}};
}

void add_staff(TestStation& t) {
    auto db = Database::open(t.home() / "kovraemp.mdb");
    const Row rows[] = {
        {{"empid", 101}, {"operator", 11}, {"accessnum", "5551"}, {"pword", "1234"}},
        {{"empid", 102}, {"operator", 12}, {"accessnum", "5552"}, {"pword", "38500"}},
        {{"empid", 103}, {"operator", 13}, {"accessnum", "5553"}, {"pword", "38501"}},
        {{"empid", 104}, {"pword", "0"}},
        {{"empid", 105}, {"pword", Value::null()}},
        {{"empid", 106}, {"pword", ""}},
        {{"empid", 107}, {"pword", "0123"}},
    };
    for (const Row& r : rows) insert_row(*db, "empinfo", r);
}

void operator_12_midday(TestStation& t) {
    t.s().form.txtempid.text = "12";
    t.s().form.txtfromhour.text = "10";
    t.s().form.txttohour.text = "13";
}

void add_tender_day(TestStation& t) {
    auto poa = [](int ticket, int type, double amount) {
        return Row{{"ticket", ticket},
                   {"itemnumber", -3},
                   {"postendtype", type},
                   {"poschitbase", amount},
                   {"posmemo", "Acct 4711"}};
    };
    t.add_lines({tender(1, 1, 30.0, "Paid by Cash"), tender(2, 1, 12.5, "Paid by Cash"),
                 tender(4, 3, 45.0, "Visa 1234 approved long memo"),
                 tender(9, 12, 1234.5, "Paid by Prizemoney"), poa(20, 1, 25.0), poa(21, 16, 10.0),
                 poa(22, 17, 5.0)});
    // A held ticket's tender counts once its type is listed; its type alone is not listed.
    t.add_line(with(tender(3, 1, 7.5, "Paid by Cash"), {{"status", 1}}));
    t.add_line(with(tender(8, 5, 9.0, "Paid by Discover"), {{"status", 1}}));
    // Not batched, voided, another day, a plain item line, a voided payment on account.
    t.add_line(with(tender(5, 1, 100.0, "Paid by Cash"), {{"posbatch", "0"}}));
    t.add_line(with(tender(6, 1, 100.0, "Paid by Cash"), {{"status", -10}}));
    t.add_line(with(tender(7, 1, 100.0, "Paid by Cash"), {{"poschitdate", 20200903}}));
    t.add_line({{"ticket", 1}, {"poschitbase", 99.0}});
    t.add_line(with(poa(23, 2, 99.0), {{"status", -10}}));
}

void add_server_totals_day(TestStation& t) {
    t.add_lines({
        line(5, 1, 1, 10.0, 1.0, 0.8),
        line(5, 1, -5, 2.0, 0.2, 0.16),
        line(5, 1, -2, 0, 1.5),
        line(5, 1, -1, 40.0),
        line(5, 1, 1, 99.0, 0, 0, {{"status", 1}}),
        line(5, 1, 1, 77.0, 0, 0, {{"trantime", "14:00:00"}}),
        line(7, 2, 1, 3.0, 0.3, 0.24, {{"status", -86}}),
        line(7, 2, -5, 1.0, 0, 0, {{"status", -86}}),
        line(7, 2, -2, 0, 0.5, 0, {{"status", -86}}),
        line(7, 3, 1, 123456.78, 0, 0, {{"status", 3}}),
        line(7, 3, -2, 0, 0.4, 0, {{"status", 3}}),
        line(-3, 4, 1, 4.0),
    });
    operator_12_midday(t);
}

void add_server_tickets_day(TestStation& t) {
    t.add_lines({
        line(12, 1, 1, 10.0, 1.0, 0.8),
        line(12, 1, -5, 2.0, 0.2, 0.16),
        line(12, 1, -2, 0, 1.5),
        line(12, 1, 1, 50.0, 0, 0, {{"status", -10}}),
        line(12, 1, -2, 0, 9.0, 0, {{"status", -12}}),
        line(13, 1, 1, 7.0, 0, 0.5),
        line(13, 1, -2, 0, 4.0),
        line(12, 2, 4, 4.0, 0, 0.32),
        line(12, 3, 1, 70.0, 0, 0, {{"trantime", "23:30:00"}}),
        line(12, 21, 1, 6.0, 0, 0, {{"status", 1}}),
        line(13, 20, 1, 8.0, 0, 0, {{"status", 1}}),
    });
    auto held = Database::open(t.home() / "server" / "kovratmp.mdb");
    for (const auto& [ticket, server] : {std::pair{31, 12}, std::pair{30, 13}}) {
        insert_row(*held, "xact",
                   line(server, ticket, 1, 5.0, 0, 0,
                        {{"status", 1}, {"poschitdate", 20200904}, {"trantime", "12:00:00"}}));
    }
    operator_12_midday(t);
}

void add_my_sales_day(TestStation& t) {
    auto account = [](int number, const char* memo = nullptr) {
        Row r{{"posacctnum", number}};
        if (memo) r.emplace_back("posmemo", memo);
        return r;
    };
    auto paid = [](int type, const Value& batch, const char* memo, const Row& more = {}) {
        return with({{"postendtype", type}, {"posbatch", batch}, {"posmemo", memo}}, more);
    };
    t.st().arglsrvchg = 4000;
    const Row late{{"trantime", "23:30:00"}};
    t.add_lines({
        line(12, 1, 7, 10.0, 1.0, 0.8, account(100, "2 Burger")),
        line(12, 1, 7, 5.0, 0.5, 0.4, account(100, "Burger")),
        line(13, 1, 7, 100.0, 0, 0, account(100)),
        line(12, 2, 3, 2.0, 0, 0.16, account(100, "Th\xc3\xa9|x")),
        line(12, 2, -5, 1.0, 0.1, 0.08, account(100, "Open food")),
        line(12, 2, 9, 3.0, 0, 0.5, account(4000, "1")),
        line(12, 2, -2, 0, 1.5, 0, account(4000)),
        line(12, 2, 8, 60.0, 0, 0, {{"status", -86}}),
        line(12, 3, 7, 70.0, 0, 0, late),
        // Tenders: the whole day, ordered by batch; unbatched ones are left out.
        line(12, 1, -1, 20.0, 0, 0, paid(1, "2", "Paid by Cash")),
        line(12, 3, -1, 5.0, 0, 0, paid(1, "2", "Paid by Cash", late)),
        line(12, 2, -1, 15.0, 0, 0, paid(3, "1", "Paid by Visa")),
        line(12, 2, -1, 9.0, 0, 0, paid(4, "0", "Paid by Check")),
        line(12, 2, -1, 8.0, 0, 0, paid(5, "abc", "Paid by Gift")),
        line(12, 2, -1, 7.0, 0, 0, paid(6, Value::null(), "")),
        line(12, 5, -1, 50.0, 0, 0, paid(1, "2", "Paid by Cash", {{"poschitdate", 20200903}})),
    });
    operator_12_midday(t);
}

void add_ticket_lists_day(TestStation& t) {
    auto sale = [](int ticket, int server, const Row& more) {
        return with({{"ticket", ticket}, {"server", server}}, more);
    };
    t.add_lines({
        sale(101, 7, {{"poschitbase", 10.0}, {"poschitsrvchg", 1.0}, {"poschittax", 0.8}}),
        sale(101, 7, {{"itemnumber", -5}, {"poschitbase", 2.5}, {"poschittax", 0.2}}),
        sale(101, 7, {{"itemnumber", -2}, {"poschitsrvchg", 1.5}}),
        sale(101, 7, {{"status", -12}, {"poschitbase", 99.0}}),
        sale(101, 7, {{"itemnumber", -1}, {"postendtype", 1}, {"poschitbase", 16.0}}),
        sale(102, 8, {{"status", 3}, {"trantime", "23:59:59"}, {"poschitbase", 100000.0}}),
        sale(103, 7, {{"status", 0}, {"poschitbase", 5.0}, {"poschittax", 0.4}}),
        sale(103, 7, {{"status", -20}, {"poschitbase", 1.0}}),
        sale(104, 9, {{"status", -86}, {"poschitbase", 7.0}, {"poschitsrvchg", 0.7}}),
        sale(104, 9, {{"status", -86}, {"itemnumber", -2}, {"poschitsrvchg", 3.0}}),
        sale(105, 7, {{"trantime", "05:00:00"}, {"poschitbase", 1.0}}),
        sale(106, 7, {{"poschitdate", 20200903}, {"poschitbase", 4.0}}),
    });
    auto held = Database::open(t.home() / "server" / "kovratmp.mdb");
    const Row held_line = {{"itemnumber", 1}, {"poschitdate", 20200904}, {"trantime", "12:00:00"}};
    for (const auto& [status, base] : {std::pair{1, 3.0}, std::pair{-15, 2.0}}) {
        insert_row(*held, "xact",
                   sale(201, 7, with(held_line, {{"status", status}, {"poschitbase", base}})));
    }
    write_file(t.home() / "audit03.txt",
               "09042020\\15:09\\E#5 CLEARED .00\n"        // no ticket: number stays 0, not printed
               "09042020\\15:10\\E#9\\T150 cleared .00\n"  // ticket 150, server 9
               "09032020\\15:10\\E#9\\T151 CLEARED .00\n"  // another day
               "09042020\\15:12\\E#6 CLEARED .00\\\n"      // separator last: skipped
               "0904\n"                                    // too short
               "09042020\\15:13\\E#4\\T160 started\n");
}

void add_card_day(TestStation& t) {
    t.add_lines({
        {{"ticket", 301}, {"itemnumber", -1}, {"postendtype", 3}, {"trantime", "03:00:00"}},
        {{"ticket", 302}, {"itemnumber", -1}, {"postendtype", 5}},
        {{"ticket", 303}, {"itemnumber", -1}, {"postendtype", 1}},
        {{"ticket", 304}, {"itemnumber", -1}, {"postendtype", 4}},
        {{"ticket", 305}, {"itemnumber", -1}, {"postendtype", 3}, {"poschitdate", 20200905}},
    });
    auto db = t.xact_db();
    const char* columns[] = {"ticket",   "status",  "amount",        "ccnumber",     "ccname",
                             "expmonth", "expyear", "resultrefcode", "resultorderid"};
    const std::vector<Value> cards[] = {
        {301, 3, 1234, "4111111111111111", " Jane Smith ", "9", "2025", "REF123", "ORD9"},
        {301, 3, 999, "5500000000000004", "Second Row", "1", "2030", "X", "Y"},
        {302, 2, 7777, "4000", "Not Settled", "1", "2030", "X", "Y"},
        {302, 4, 5000, "12", "Bob", "12", "27", "R2", "O2"},
        {305, 3, 100, "9999", "Next Day", "1", "2030", "X", "Y"}};
    for (const auto& card : cards) {
        Row row;
        for (std::size_t i = 0; i < card.size(); ++i) row.emplace_back(columns[i], card[i]);
        insert_row(*db, "ccard", row);
    }
}

void add_removed_day(TestStation& t) {
    auto removed = [](int ticket, int server, const char* text, double base) {
        return Row{{"ticket", ticket},
                   {"server", server},
                   {"status", -76},
                   {"saletext", text},
                   {"poschitbase", base}};
    };
    t.add_lines({removed(101, 7, "Caesar Salad", 12.5),
                 removed(103, 7, "Soup", 4.0),
                 removed(102, 9, "Steak Frites Special", -30.0),
                 with(removed(104, 9, "", 8.0), {{"trantime", "05:00:00"}}),
                 {{"ticket", 105}, {"server", 9}, {"status", 2}, {"poschitbase", 9.0}}});
}

void add_export_day(TestStation& t) {
    const Row member = {{"posacctnum", 4000},
                        {"posmemberacctnum", "M77"},
                        {"poschitemployee", 15},
                        {"poschitcovers", 2}};
    // clang-format off
    t.add_lines({
        with({{"ticket", 123}, {"poschitnum", 345}, {"itemnumber", 401}, {"poschitbase", 12.5},
              {"poschittax", 0.69}, {"poschittotal", 13.19}, {"posmemo", "Burger"},
              {"poscodes", "F1NT"}}, member),
        with({{"ticket", 123}, {"poschitnum", 45}, {"itemnumber", -3}, {"status", 3},
              {"postendtype", 1}, {"poschitbase", 20.0}, {"poschittotal", 20.0},
              {"posmemo", "POA"}, {"poscodes", "AB"}}, member),
        with({{"ticket", 123}, {"poschitnum", 346}, {"itemnumber", -1}, {"postendtype", 9},
              {"poschittotal", 13.19}}, member),
        {{"ticket", 124}, {"poschitnum", 400}},
        {{"ticket", 125}, {"poschitnum", 401}, {"status", 4}, {"poschittotal", 8.0}},
        {{"ticket", 126}, {"poschitnum", 402}, {"poschitdate", 20200903}, {"poschittotal", 1.0}},
        {{"ticket", 127}, {"poschitnum", 403}, {"status", -12}, {"poschittotal", 1.0}},
        {{"ticket", 128}, {"poschitnum", 404}, {"poschittotal", 5.0}, {"postendtype", Value::null()}},
    });
    // clang-format on
}

void expect_jobs(const TestStation& t, const std::vector<std::string>& names) {
    const auto jobs = t.job_texts();
    EXPECT_EQ(jobs.size(), names.size()) << "spool jobs";
    for (std::size_t i = 0; i < jobs.size() && i < names.size(); ++i)
        expect_file(names[i], jobs[i]);
}

void expect_closeout(const TestStation& t, const std::string& name) {
    expect_file(name, read_file(t.station->path(t.station->st.closeoutfile)));
}

const char* const kAuditDay =
    "09042020\\08:00\\E#12\\Ticket 101 started\n"
    "09042020\\08:30\\E#12\\Ticket 101 closed\n"
    "09042020\\09:00\\E#12\\PaidOut 12.50\n"
    "09042020\\09:10\\E#12\\paidout 2.25\n"
    "09042020\\09:20\\E#12\\Paid-IN 5.00\n"
    "09032020\\09:20\\E#12\\Paid-IN 5.00\n"
    "09042020\\10:00\\E#12\\SvrTktRpt-12\n"
    "09042020\\10:05\\E#12\\Ticket 102 Cleared\n"
    "09052020\\07:00\\E#12\\Ticket 103 started\n";
const char* const kErrorDay = "09042020\\11:00\\Printer off line\n09012020\\11:00\\Old error\n";

}  // namespace tillora::test
