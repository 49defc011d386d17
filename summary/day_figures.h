// The figures of the day page, each taken from the gather step of the report that prints it, for
// the range of the station's date and time boxes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "panel/station.h"
#include "platform/value.h"
#include "summary/drawer_counts.h"

namespace tillora {

// Base, service charge, tax and total of a Server Totals row or of its Totals line.
struct SalesAmounts {
    Currency base, srvchg, tax, total;
};

struct ServerFigure {
    std::int64_t number = 0;
    std::string name;  // empname of the employee table, "" when unknown
    SalesAmounts amounts;
};

struct TenderFigure {
    std::int64_t code = 0;
    std::string label;  // as Tender Totals prints it, uncut
    std::int64_t lines = 0;
    Currency amount;
};

// The sections of the page; a section whose report failed is named in DayFigures::missing.
enum class Section { Sales, Hours, Tickets, Tenders, PaidOutIn, Removed, Cleared, DrawerCounts };

struct DayFigures {
    SalesAmounts sales;                 // Server Totals' Totals line
    std::vector<ServerFigure> servers;  // Server Totals' rows
    std::array<Currency, 24> hours{};   // the sales total of the lines of each hour
    Currency other_times;               // lines whose time is no HH:MM:SS of the day
    long tickets = 0;                   // All Closed Tickets' count
    std::vector<TenderFigure> tenders;  // Tender Totals' rows
    long paid_count = 0;                // Balance Drawer's paid out/in line
    Currency paid_amount;
    long removed_count = 0;  // Removed Items' count and grand total
    Currency removed_amount;
    long cleared = 0;  // Cleared Tickets' count
    std::vector<DrawerCount> drawer_counts;
    std::map<Section, std::string> missing;  // why a section could not be computed

    bool has(Section section) const { return !missing.contains(section); }
    // The total divided by the ticket count, in cents rounded half away from zero; 0 without
    // tickets.
    Currency average_ticket() const;
};

// Called before each step with a short description ("takings by hour").
using SummaryProgress = std::function<void(const std::string&)>;

// Runs the gather steps of Server Totals, All Closed Tickets, Tender Totals, Removed Items and
// Cleared Tickets and the paid out/in scan of Balance Drawer, splits the lines Server Totals adds
// up by hour, and reads the stored drawer counts. Uses the report database of the station (ar is
// left as the last step filled it). Never throws: a failing step's section is named in
// `missing` with the reason.
DayFigures gather_day_figures(Station& s, const SummaryProgress& progress = {});

}  // namespace tillora
