// The spool printer (the job files that every report test compares) beyond the jobs' text:
// numbering, files left in the folder, failures and jobs left open; and printer selection.
#include "platform/printer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_support.h"

namespace tillora {
namespace {

namespace fs = std::filesystem;
using test::read_file;
using test::TempDir;
using test::write_file;
using Names = std::vector<std::string>;

Names files_in(const fs::path& folder) {
    Names names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// The spool printer's numbers are rows of the platform functions table; here no printer at all.
TEST(PrinterSelection, NoPrinterInstalledRefusesEveryNumber) {
    struct NoPrinters : PrinterSystem {
        std::size_t count() const override { return 0; }
        Printer& at(std::size_t) override { throw std::logic_error("must not be reached"); }
    } none;
    EXPECT_THROW(none.current(), PrinterError);
    EXPECT_THROW(none.select(0), PrinterError);
}

TEST(SpoolPrinter, WritesOneJobPerEndedJobWithItsFontAndNothingElse) {
    TempDir dir;
    SpoolPrinterSystem printers(dir / "spool");  // created on the first job
    Printer& p = printers.current();
    p.end_job();  // nothing printed: no job
    p.set_font("Printer 16cpi");
    p.print_line("All Closed Tickets");
    EXPECT_FALSE(fs::exists(dir / "spool" / "job-0001.txt"));  // an open job is not shown
    p.end_job();
    p.end_job();
    EXPECT_EQ(files_in(dir / "spool"), (Names{"job-0001.meta", "job-0001.txt"}));
    EXPECT_EQ(read_file(dir / "spool" / "job-0001.txt"), "All Closed Tickets\n");
    EXPECT_NE(read_file(dir / "spool" / "job-0001.meta").find("Printer 16cpi"), std::string::npos);
}

TEST(SpoolPrinter, NumbersAfterTheHighestJobOfTheFolder) {
    TempDir dir;
    for (const char* name : {"job-0007.txt", "job-0012.txt", "job-abc.txt", "job-99999.log"}) {
        write_file(dir / name, "old\n");
    }
    SpoolPrinterSystem printers(dir.path());
    for (const char* line : {"line", "next"}) {
        printers.current().print_line(line);
        printers.current().end_job();
    }
    EXPECT_EQ(read_file(dir / "job-0013.txt"), "line\n");
    EXPECT_EQ(read_file(dir / "job-0014.txt"), "next\n");
}

TEST(SpoolPrinter, KeepsTheJobWhenTheFolderCannotBeWrittenAndReleasesItAtTheEnd) {
    TempDir dir;
    write_file(dir / "spool", "a file where the folder should be");
    {
        SpoolPrinterSystem printers(dir / "spool");
        Printer& p = printers.current();
        p.print_line("kept");
        EXPECT_THROW(p.end_job(), PrinterError);
        fs::remove(dir / "spool");
        p.end_job();
        p.print_line("unfinished");
    }
    EXPECT_EQ(read_file(dir / "spool" / "job-0001.txt"), "kept\n");
    EXPECT_EQ(read_file(dir / "spool" / "job-0002.txt"), "unfinished\n");
}

}  // namespace
}  // namespace tillora
