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

std::vector<std::string> job_files(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string n = e.path().filename().string();
        if (n.rfind("job-", 0) == 0 && e.path().extension() == ".txt") names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PrinterSelection, RefusesNumbersWithoutAnInstalledPrinter) {
    TempDir dir;
    SpoolPrinterSystem printers(dir.path());
    for (long bad : {-1L, 1L, 2L, 1000L}) {
        try {
            printers.select(bad);
            ADD_FAILURE() << "selected printer " << bad;
        } catch (const PrinterError& e) {
            EXPECT_STREQ(e.what(), "index out of range");
        }
    }
    EXPECT_NO_THROW(printers.select(0));
}

TEST(PrinterSelection, CurrentFailsWhenNoPrinterIsInstalled) {
    struct NoPrinters : PrinterSystem {
        std::size_t count() const override { return 0; }
        Printer& at(std::size_t) override { throw std::logic_error("must not be reached"); }
    } none;
    EXPECT_THROW(none.current(), PrinterError);
    EXPECT_THROW(none.select(0), PrinterError);
}

TEST(SpoolPrinter, WritesEachEndedJobAsExactlyItsLines) {
    TempDir dir;
    SpoolPrinterSystem printers(dir / "spool");  // created on the first job
    Printer& p = printers.current();
    p.end_job();  // nothing printed: no job
    p.set_font("Printer 16cpi");
    p.set_attribute(false);
    p.print_line("All Closed Tickets");
    p.print_line("");
    p.print_line("   .00   ");
    EXPECT_FALSE(fs::exists(dir / "spool" / "job-0001.txt"));
    p.end_job();
    p.end_job();  // a second end without lines adds nothing
    EXPECT_EQ(job_files(dir / "spool"), std::vector<std::string>{"job-0001.txt"});
    EXPECT_EQ(read_file(dir / "spool" / "job-0001.txt"), "All Closed Tickets\n\n   .00   \n");
    std::vector<std::string> all;  // no temporary file is left behind
    for (const auto& e : fs::directory_iterator(dir / "spool")) {
        all.push_back(e.path().filename().string());
    }
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<std::string>{"job-0001.meta", "job-0001.txt"}));
    const std::string meta = read_file(dir / "spool" / "job-0001.meta");
    EXPECT_NE(meta.find("Printer 16cpi"), std::string::npos) << meta;
}

TEST(SpoolPrinter, HidesAnOpenJobAndNumbersAfterTheHighestJob) {
    TempDir dir;
    write_file(dir / "job-0007.txt", "old\n");
    write_file(dir / "job-0012.txt", "old\n");
    write_file(dir / "job-abc.txt", "not a job\n");
    write_file(dir / "job-99999.log", "not a job\n");
    SpoolPrinterSystem printers(dir.path());
    Printer& p = printers.current();
    p.print_line("line");
    const auto before = job_files(dir.path());
    EXPECT_EQ(before, (std::vector<std::string>{"job-0007.txt", "job-0012.txt", "job-abc.txt"}));
    p.end_job();
    EXPECT_EQ(read_file(dir / "job-0013.txt"), "line\n");
    p.print_line("next");
    p.end_job();
    EXPECT_EQ(read_file(dir / "job-0014.txt"), "next\n");
}

TEST(SpoolPrinter, KeepsTheJobWhenTheFolderCannotBeWritten) {
    TempDir dir;
    write_file(dir / "spool", "a file where the folder should be");
    SpoolPrinterSystem printers(dir / "spool");
    Printer& p = printers.current();
    p.print_line("kept");
    EXPECT_THROW(p.end_job(), PrinterError);
    fs::remove(dir / "spool");
    p.end_job();
    EXPECT_EQ(read_file(dir / "spool" / "job-0001.txt"), "kept\n");
}

TEST(SpoolPrinter, ReleasesAJobStillOpenWhenTheProgramEnds) {
    TempDir dir;
    {
        SpoolPrinterSystem printers(dir.path());
        printers.current().print_line("unfinished");
    }
    EXPECT_EQ(read_file(dir / "job-0001.txt"), "unfinished\n");
}

}  // namespace
}  // namespace tillora
