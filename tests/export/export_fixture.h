// Readers of what an export left behind: the marks of the lines and the records of a file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "export/export_record.h"
#include "export/export_transactions.h"
#include "platform/files.h"
#include "support/test_support.h"

namespace tillora::test {

// "poschitnum:status:export" of every line, in poschitnum order.
inline std::vector<std::string> marks(TestStation& t) {
    auto db = t.xact_db();
    std::vector<std::string> out;
    for (Recordset rs = db->open_recordset("select * from xact order by poschitnum"); !rs.eof();
         rs.move_next()) {
        out.push_back(default_text(rs.field("poschitnum")) + ":" +
                      default_text(rs.field("status")) + ":" + default_text(rs.field("export")));
    }
    return out;
}

// The references (second field) of the records of an export file, in file order.
inline std::vector<std::string> references(const std::filesystem::path& file) {
    std::vector<std::string> out;
    for (const auto& line : file_lines(file)) out.push_back(split_items(line)[1]);
    return out;
}

// Clicks Export with the dialog answering `file` and the questions answered by `answers`.
inline void run_export(TestStation& t, const std::filesystem::path& file,
                       std::vector<bool> answers = {true, true}) {
    t.ui.files.push_back(file.string());
    t.ui.answers.assign(answers.begin(), answers.end());
    cmdexport1_click(t.s());
}

}  // namespace tillora::test
