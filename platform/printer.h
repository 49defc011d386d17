// Receipt printers: the installed printers by index, the current printer, print jobs.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tillora {

// A printer that cannot be selected (index out of range) or that failed during a job.
class PrinterError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One printer. A job starts with the first line printed after the previous end of job.
class Printer {
  public:
    virtual ~Printer() = default;
    virtual std::string name() const = 0;
    virtual void set_font(const std::string& font_name) = 0;
    virtual void set_attribute(bool on) = 0;
    // Throws PrinterError when the line cannot be passed to the printer.
    virtual void print_line(const std::string& line) = 0;
    // Releases the job to the printer; nothing happens when no line was printed.
    // Throws PrinterError when the job is refused.
    virtual void end_job() = 0;
    // Opens the cash drawer wired to the printer: a job of its own holding only the drawer
    // pulse, apart from any open job. Printers that cannot pass control bytes (a text queue, the
    // spool printer) do nothing. Throws PrinterError when the job is refused.
    virtual void open_drawer() {}
};

// The installed printers and the current one. Before any selection the current printer is the
// first installed printer (the system default); with none installed printing throws.
class PrinterSystem {
  public:
    virtual ~PrinterSystem() = default;
    virtual std::size_t count() const = 0;
    // Makes printer `index` current; throws PrinterError("index out of range") when there is no
    // such printer.
    void select(long index);
    // The current printer; throws PrinterError when no printer is installed.
    Printer& current();

  protected:
    virtual Printer& at(std::size_t index) = 0;

  private:
    std::size_t current_ = 0;
};

// The spool back-end: one printer writing each ended job to `folder`/job-0001.txt,
// job-0002.txt, ... (numbers continue after the highest job already there), holding exactly the
// printed lines, each followed by a line feed. The font and attribute go to job-NNNN.meta. A job
// not yet ended is not visible as a .txt file (it is written under a temporary name and renamed).
class SpoolPrinterSystem : public PrinterSystem {
  public:
    explicit SpoolPrinterSystem(std::filesystem::path folder);
    ~SpoolPrinterSystem() override;
    std::size_t count() const override { return 1; }
    const std::filesystem::path& folder() const { return folder_; }

  protected:
    Printer& at(std::size_t index) override;

  private:
    std::filesystem::path folder_;
    std::unique_ptr<Printer> printer_;
};

// The printers of the machine: a spool printer when TILLORA_SPOOL names a folder, otherwise
// the CUPS destinations in the order CUPS lists them.
std::unique_ptr<PrinterSystem> make_printer_system();

}  // namespace tillora
