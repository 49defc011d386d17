// The receipt of a drawer count: expected against counted for each tender group, the difference
// (positive over, negative short), the count number and a line for the signature.
#pragma once

#include <string>
#include <vector>

#include "drawer/count_store.h"

namespace tillora {

// The lines of the receipt of `count` on workstation `unitstr`, from the title to the signature
// line; `reprint` puts "REPRINT" under the title. Every amount "#####.#0" right-aligned in 9.
std::vector<std::string> count_receipt(const StoredCount& count, const std::string& unitstr,
                                       const std::string& dashline, bool reprint);

}  // namespace tillora
