// The fixed facts of the demo shop: its menu, staff, tenders, accounts and configuration.
#pragma once

#include <span>
#include <string>

namespace tillora::demo {

// Revenue and other ledger accounts carried in posacctnum.
inline constexpr int kFoodAccount = 4000;
inline constexpr int kBeverageAccount = 4010;
inline constexpr int kBarAccount = 4020;
inline constexpr int kMerchandiseAccount = 4030;
inline constexpr int kOpenItemAccount = 4090;
// The service-charge account of the configuration (arglsrvchg): party service charges are
// posted to it as items.
inline constexpr int kServiceChargeAccount = 4100;
// Service-charge lines (itemnumber -2) and payments on account.
inline constexpr int kServiceLineAccount = 4110;
inline constexpr int kReceivableAccount = 1200;

// Sales tax in tenths of a percent (5.5 %).
inline constexpr int kTaxPerMille = 55;

enum class Course { Drink, Starter, Main, Side, Dessert, Merchandise };

struct MenuItem {
    int number;
    const char* name;
    int price_cents;
    Course course;
};

// Every item on the menu, item numbers ascending.
std::span<const MenuItem> menu();
// The item that posts a party's service charge to kServiceChargeAccount.
const MenuItem& party_service_charge();
// Ledger account and department letter of an item.
int item_account(const MenuItem& item);
char item_department(const MenuItem& item);

struct Employee {
    int empid;
    int operator_number;
    const char* accessnum;
    const char* pword;
    const char* name;
    bool manager;
    int ticket_weight;  // share of the tickets this employee rings
};

// The staff: four servers (passwords at most 38500) and a manager (above 38500).
std::span<const Employee> employees();

// Tender type 1-16: "Paid by ..." label, the short label (payments on account), and how often
// it pays a ticket (member charge, code 9, is drawn separately).
struct Tender {
    int code;
    const char* long_label;
    const char* short_label;
    int weight;
};
std::span<const Tender> tenders();
const Tender& tender(int code);
// Codes 3-8 are card tenders with a card processor record.
inline bool is_card_tender(int code) {
    return code >= 3 && code <= 8;
}
inline constexpr int kCashTender = 1;
inline constexpr int kCheckTender = 2;
inline constexpr int kMemberChargeTender = 9;
inline constexpr int kCouponTender = 16;

// Pools for names and texts drawn by the generator.
std::span<const char* const> first_names();
std::span<const char* const> last_names();
std::span<const char* const> paid_out_reasons();
std::span<const char* const> paid_in_reasons();
std::span<const char* const> error_texts();

// A 16-digit card number prefix for a card tender (Visa 4, MasterCard 5x ...).
std::string card_prefix(int tender_code);

}  // namespace tillora::demo
