#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "support/expected_file.h"

namespace tillora::test {

namespace fs = std::filesystem;

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

namespace {

// One line of a fixture table as a row of `columns`: text in double quotes, null, a real (with a
// point) or an integer; "." leaves the column out.
Row table_row(const std::string& line, const std::vector<std::string>& columns) {
    std::istringstream in(line);
    Row row;
    for (const std::string& column : columns) {
        in >> std::ws;
        const bool quoted = in.peek() == '"';
        std::string token;
        in >> std::quoted(token);
        if (quoted) {
            row.emplace_back(column, token);
        } else if (token == "null") {
            row.emplace_back(column, Value::null());
        } else if (token.find_first_not_of("-0123456789") == std::string::npos) {
            row.emplace_back(column, static_cast<std::int64_t>(std::stoll(token)));
        } else if (token != ".") {
            row.emplace_back(column, std::stod(token));
        }
    }
    EXPECT_TRUE(in && (in >> std::ws).eof()) << "columns and values differ: " << line;
    return row;
}

// The words of a table line, split at a bare "->" into the arguments and the expected words.
std::pair<Lines, Lines> table_words(const std::string& line) {
    std::pair<Lines, Lines> words;
    Lines* side = &words.first;
    for (std::size_t at = line.find_first_not_of(' '); at != std::string::npos;
         at = line.find_first_not_of(' ', at)) {
        if (line[at] != '"') {
            const std::size_t end = std::min(line.find(' ', at), line.size());
            const std::string word = line.substr(at, end - at);
            if (word == "->") {
                side = &words.second;
            } else {
                side->push_back(word);
            }
            at = end;
            continue;
        }
        std::string word;
        for (++at; at < line.size() && line[at] != '"'; ++at) {
            char c = line[at];
            if (c == '\\' && at + 1 < line.size()) {
                c = line[++at];
                c = c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
                if (c == 'x') {
                    c = static_cast<char>(std::stoi(line.substr(at + 1, 2), nullptr, 16));
                    at += 2;
                }
            }
            word += c;
        }
        EXPECT_LT(at, line.size()) << "unclosed quote: " << line;
        side->push_back(word);
        ++at;
    }
    return words;
}

}  // namespace

void load_fixture(TestStation& t, const std::string& name) {
    std::string target;  // "@xact", or "@<database file> <table>"
    std::vector<std::string> columns;
    for (const std::string& line :
         file_lines(fs::path(TILLORA_SOURCE_DIR) / "tests" / "fixtures" / (name + ".txt"))) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '@') {
            target = line;
            columns.clear();
        } else if (columns.empty()) {
            std::istringstream in(line);
            for (std::string c; in >> c;) columns.push_back(c);
        } else if (target == "@xact") {
            t.add_line(table_row(line, columns));
        } else {
            std::istringstream in(target.substr(1));
            std::string file, table;
            in >> file >> table;
            insert_row(*Database::open(t.home() / file), table, table_row(line, columns));
        }
    }
}

void add_staff(TestStation& t) {
    load_fixture(t, "staff");
}

void operator_12_midday(TestStation& t) {
    t.s().form.txtempid.text = "12";
    t.s().form.txtfromhour.text = "10";
    t.s().form.txttohour.text = "13";
}

void add_server_totals_day(TestStation& t) {
    load_fixture(t, "server-totals-day");
    operator_12_midday(t);
}

void add_my_sales_day(TestStation& t) {
    t.st().arglsrvchg = 4000;
    load_fixture(t, "my-sales-day");
    operator_12_midday(t);
}

void add_ticket_lists_day(TestStation& t) {
    load_fixture(t, "ticket-lists-day");
    write_file(t.home() / "audit03.txt",
               "09042020\\15:09\\E#5 CLEARED .00\n"        // no ticket: number stays 0, not printed
               "09042020\\15:10\\E#9\\T150 cleared .00\n"  // ticket 150, server 9
               "09032020\\15:10\\E#9\\T151 CLEARED .00\n"  // another day
               "09042020\\15:12\\E#6 CLEARED .00\\\n"      // separator last: skipped
               "0904\n"                                    // too short
               "09042020\\15:13\\E#4\\T160 started\n");
}

void add_card_day(TestStation& t) {
    load_fixture(t, "card-day");
}

void add_removed_day(TestStation& t) {
    load_fixture(t, "removed-day");
}

void add_export_day(TestStation& t) {
    load_fixture(t, "export-day");
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

Value value_of(const std::string& word) {
    const std::string kind = word.substr(0, word.find(':'));
    const std::string text = word.substr(std::min(word.size(), kind.size() + 1));
    if (kind == "int") return Value(std::int64_t{std::stoll(text)});
    if (kind == "real") return Value(std::stod(text));
    if (kind == "money") return Value(Currency::from_units(std::stoll(text)));
    if (kind == "text") return Value(text);
    return kind == "null" ? Value::null() : Value();
}

std::string kind_text(const Value& value) {
    static const char* const kinds[] = {"empty", "null", "int", "real", "money", "text"};
    const auto kind = value.data().index();
    return kinds[kind] + (kind < 2 ? "" : ":" + value.as_text());
}

void expect_table(const std::string& name, const std::function<std::string(const Lines&)>& probe) {
    int number = 0;
    for (const std::string& line :
         file_lines(fs::path(TILLORA_SOURCE_DIR) / "tests" / "fixtures" / (name + ".txt"))) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        const auto [words, expected] = table_words(line);
        std::string wanted, actual;
        for (const std::string& word : expected) wanted += (wanted.empty() ? "" : " ") + word;
        try {
            actual = probe(words);
        } catch (const std::exception& e) {
            actual = std::string("error: ") + e.what();
        }
        EXPECT_EQ(actual, wanted) << name << ".txt:" << number << ": " << line;
    }
}

}  // namespace tillora::test
