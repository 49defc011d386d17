// Report cases as text tables: each case sets up a station, clicks a report button and compares
// the spool jobs or the close-out file and the boxes shown (format in tests/cases/README.md).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "reports/other/report_buttons.h"
#include "support/fixtures.h"

namespace tillora::test {

struct ReportCase {
    std::string name;
    std::vector<std::pair<std::string, std::string>> steps;  // set-up and click, in file order
    Lines jobs, boxes;
    std::string closeout, status, audit;
    bool own_sales = false;
};

// Runs every case of tests/cases/<name>.txt with operator 12 logged in; after the click the
// guard must be free, the audit entry written out and the payment-on-account flag no longer set. A
// line it does not know fails.
inline void run_report_cases(const std::string& name) {
    const auto root = std::filesystem::path(TILLORA_SOURCE_DIR) / "tests" / "cases";
    std::vector<ReportCase> cases;
    for (const std::string& line : file_lines(root / (name + ".txt"))) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t blank = std::min(line.find(' '), line.size());
        const std::string key = line.substr(0, blank),
                          rest = line.substr(blank + (blank < line.size()));
        if (key == "case") {
            cases.push_back({rest, {}, {}, {}, {}, {}, {}, false});
        } else if (cases.empty()) {
            ADD_FAILURE() << "a line before the first case: " << line;
        } else if (key == "jobs") {
            std::istringstream in(rest);
            for (std::string job; in >> job;) cases.back().jobs.push_back(job);
        } else if (key == "box") {
            cases.back().boxes.push_back(rest);
        } else if (key == "closeout-file") {
            cases.back().closeout = rest;
        } else if (key == "status") {
            cases.back().status = rest;
        } else if (key == "audit-file") {
            cases.back().audit = rest;
        } else if (key == "own-sales") {
            cases.back().own_sales = true;
        } else {
            cases.back().steps.emplace_back(key, rest);
        }
    }
    ASSERT_FALSE(cases.empty()) << "no cases in " << name;
    for (const ReportCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestStation t;
        t.s().form.txtempid.text = "12";
        t.st().closeoutfile = "closeout03-20200904.txt";  // written in close-out mode only
        for (const auto& [key, argument] : c.steps) {
            std::istringstream in(argument);
            std::string a, b;
            in >> a >> b;
            if (key == "range") {
                t.s().form.txtfromdate.text = a;
                t.s().form.txttodate.text = b;
            } else if (key == "hours") {
                t.s().form.txtfromhour.text = a;
                t.s().form.txttohour.text = b;
            } else if (key == "dashes") {
                t.st().dashline = std::string(40, a.at(0));
            } else if (key == "fixture") {
                load_fixture(t, a);
            } else if (key == "copy") {
                std::filesystem::copy_file(root / "files" / a, t.home() / b);
            } else if (key == "set") {
                const std::map<std::string, std::int16_t ModuleState::*> fields = {
                    {"localprinter", &ModuleState::localprinter},
                    {"offlinemode", &ModuleState::offlinemode},
                    {"newemp", &ModuleState::newemp},
                    {"printall", &ModuleState::printall}};
                t.st().*fields.at(a) = static_cast<std::int16_t>(std::stoi(b));
            } else if (key == "closeout") {
                t.enter_closeout_mode();
            } else if (key == "answer") {
                t.ui.answers.push_back(a == "yes");
            } else if (key != "click" || !click_report_button(t.s(), a)) {
                ADD_FAILURE() << "unknown step: " << key << " " << argument;
            }
        }
        const auto jobs = t.job_texts();
        if (t.st().closeoutmode) {
            EXPECT_TRUE(jobs.empty());
            if (c.closeout.empty()) {
                EXPECT_TRUE(t.closeout().empty());
            } else {
                expect_closeout(t, c.closeout);
            }
        } else {
            EXPECT_FALSE(std::filesystem::exists(t.home() / t.st().closeoutfile));
            EXPECT_EQ(jobs.size(), c.jobs.size()) << "spool jobs";
            for (std::size_t i = 0; i < jobs.size() && i < c.jobs.size(); ++i) {
                if (c.jobs[i] != "-") expect_file(c.jobs[i], jobs[i]);
            }
        }
        EXPECT_EQ(t.boxes(), c.boxes);
        if (!c.status.empty()) {
            EXPECT_EQ(t.s().form.helpwindow.text, c.status);
        }
        if (!c.audit.empty()) expect_file(c.audit, read_file(t.home() / "audit03.txt"));
        if (c.own_sales) {
            EXPECT_EQ(t.s().form.ownsalesonly, 1);
        }
        EXPECT_EQ(t.st().reportbusy, 0);
        EXPECT_EQ(t.st().auditline, "");
        EXPECT_NE(default_text(t.st().reqparm4), "POA");
    }
}

}  // namespace tillora::test
