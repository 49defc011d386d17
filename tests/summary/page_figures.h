// Reads the machine-readable figures back from a day page (or from a browser's DOM of it).
#pragma once

#include <cmath>
#include <map>
#include <regex>
#include <string>

namespace tillora::test {

// "figure:total" -> "16019.01", "hour:12" -> ..., "tender:1", "server:12": every element with
// one of those attributes followed in its tag by data-amount.
inline std::map<std::string, std::string> page_figures(const std::string& html) {
    static const std::regex amount(
        R"re(data-(figure|hour|tender|server)="([^"]*)"[^>]*?data-amount="([^"]*)")re");
    std::map<std::string, std::string> figures;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), amount);
         it != std::sregex_iterator(); ++it) {
        const std::string key = (*it)[1].str() + ":" + (*it)[2].str();
        if (figures.contains(key))
            figures[key] += " (twice)";  // a figure must appear once
        else
            figures[key] = (*it)[3].str();
    }
    return figures;
}

// An amount as whole cents ("-12.50" -> -1250).
inline long long cents(const std::string& amount) {
    return std::llround(std::stod(amount) * 100);
}

}  // namespace tillora::test
