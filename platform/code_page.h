// The code pages of ESC/POS receipt printers: which one a raw queue uses, the command that
// selects it, and the bytes of a text in it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tillora {

// One code page of the printer's character tables.
struct CodePage {
    const char* name;        // as the printer manuals name it: "PC858"
    int table;               // n of the select command ESC t n
    const char* iconv_name;  // the same table for iconv
};

// The code page a raw queue uses unless told otherwise: Western European with the euro sign.
const CodePage& default_code_page();

// The code page called `name` (PC437, PC850, PC852, PC858, PC860, PC863, PC865, PC866,
// WPC1252; without regard to case); nothing for any other name.
std::optional<CodePage> code_page_named(std::string_view name);

// The code page of `queue`: its entry in `setting` ("receipt=PC850,bar=WPC1252", queue names
// without regard to case), else the queue's own option `queue_option` ("PC850"), else an entry
// of `setting` without "=" (every queue), else the default. Unknown names are passed over.
CodePage code_page_for_queue(std::string_view setting, std::string_view queue,
                             std::string_view queue_option);

// ESC t n: selects the code page on the printer.
std::string select_code_page(const CodePage& page);

// Turns UTF-8 text into the bytes of one code page, one character at a time; a character the
// code page lacks becomes "?". ASCII passes unchanged. Never fails.
class CodePageEncoder {
  public:
    explicit CodePageEncoder(const CodePage& page);
    ~CodePageEncoder();
    CodePageEncoder(const CodePageEncoder&) = delete;
    CodePageEncoder& operator=(const CodePageEncoder&) = delete;

    const CodePage& page() const { return page_; }
    std::string encode(std::string_view utf8);

  private:
    CodePage page_;
    void* converter_;  // iconv_t; (iconv_t)-1 when iconv lacks the code page
};

}  // namespace tillora
