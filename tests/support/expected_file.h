// Expected outputs as files: a receipt, a close-out file or an export file is compared with
// tests/expected/<name>, byte for byte. On a difference the test fails with a line diff; with
// TILLORA_UPDATE_EXPECTED=1 in the environment the file is rewritten instead (review the change
// in git before committing it).
#pragma once

#include <string>
#include <vector>

namespace tillora::test {

// Compares `actual` with tests/expected/<name> as bytes; fails the current test with a readable
// line diff when they differ or the file is missing. Rewrites the file when asked to.
void expect_file(const std::string& name, const std::string& actual);
// The same for lines: each line followed by "\n", as a spool job stores them.
void expect_file(const std::string& name, const std::vector<std::string>& lines);

}  // namespace tillora::test
