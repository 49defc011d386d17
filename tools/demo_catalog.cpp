#include "tools/demo_catalog.h"

#include <array>

namespace tillora::demo {
namespace {

constexpr std::array kMenu = {
    MenuItem{101, "Coffee", 275, Course::Drink},
    MenuItem{102, "Iced Tea", 295, Course::Drink},
    MenuItem{103, "Lemonade", 325, Course::Drink},
    MenuItem{104, "Cola", 250, Course::Drink},
    MenuItem{105, "Sparkling Water", 300, Course::Drink},
    MenuItem{106, "Espresso", 325, Course::Drink},
    MenuItem{201, "House Red", 850, Course::Drink},
    MenuItem{202, "House White", 800, Course::Drink},
    MenuItem{203, "Draft Lager", 650, Course::Drink},
    MenuItem{204, "IPA", 700, Course::Drink},
    MenuItem{205, "Margarita", 1050, Course::Drink},
    MenuItem{206, "Old Fashioned", 1200, Course::Drink},
    MenuItem{301, "Caesar Salad", 995, Course::Starter},
    MenuItem{302, "Garden Salad", 850, Course::Starter},
    MenuItem{303, "Clam Chowder", 725, Course::Starter},
    MenuItem{304, "Calamari", 1250, Course::Starter},
    MenuItem{305, "Chicken Wings", 1195, Course::Starter},
    MenuItem{306, "Nachos", 1075, Course::Starter},
    MenuItem{401, "Burger", 1450, Course::Main},
    MenuItem{402, "Club Sandwich", 1325, Course::Main},
    MenuItem{403, "Fish and Chips", 1695, Course::Main},
    MenuItem{404, "Grilled Salmon", 2450, Course::Main},
    MenuItem{405, "Ribeye Steak", 3200, Course::Main},
    MenuItem{406, "Chicken Parmesan", 1975, Course::Main},
    MenuItem{407, "Veggie Wrap", 1250, Course::Main},
    MenuItem{408, "Lobster Roll", 2750, Course::Main},
    MenuItem{409, "Pasta Primavera", 1725, Course::Main},
    MenuItem{410, "Fish Tacos", 1550, Course::Main},
    MenuItem{501, "French Fries", 450, Course::Side},
    MenuItem{502, "Onion Rings", 525, Course::Side},
    MenuItem{503, "Side Salad", 475, Course::Side},
    MenuItem{601, "Apple Pie", 695, Course::Dessert},
    MenuItem{602, "Cheesecake", 750, Course::Dessert},
    MenuItem{603, "Ice Cream", 495, Course::Dessert},
    MenuItem{604, "Brownie Sundae", 825, Course::Dessert},
    MenuItem{701, "Logo Cap", 2200, Course::Merchandise},
    MenuItem{702, "Gift Mug", 1400, Course::Merchandise},
};

constexpr MenuItem kPartyServiceCharge{900, "Party Service Charge", 0, Course::Merchandise};

constexpr std::array kEmployees = {
    Employee{12, 1, "600012", "1234", "Maria Lopez", false, 28},
    Employee{15, 2, "600015", "2345", "James Carter", false, 26},
    Employee{21, 3, "600021", "3456", "Aiko Tanaka", false, 22},
    Employee{27, 4, "600027", "4567", "Sam Okafor", false, 19},
    Employee{90, 9, "600090", "40125", "Dana Whitfield", true, 5},
};

constexpr std::array kTenders = {
    Tender{1, "Paid by Cash", "Cash", 27},
    Tender{2, "Paid by Check", "Check", 3},
    Tender{3, "Paid by Visa", "Visa", 24},
    Tender{4, "Paid by MasterCard", "MasterCard", 16},
    Tender{5, "Paid by Discover", "Discover", 4},
    Tender{6, "Paid by American Express", "American Express", 9},
    Tender{7, "Paid by PayPal", "PayPal", 2},
    Tender{8, "Paid by Diner's Club", "Diner's", 1},
    Tender{9, "Paid by Customer Charge", "CHARGE", 0},
    Tender{10, "Paid by Undefined", "UNUSED", 0},
    Tender{11, "Paid by Gift Certificate", "Gift Cert", 3},
    Tender{12, "Paid by Prizemoney", "Prizemoney", 1},
    Tender{13, "Paid by Credit Book", "Creditbook", 1},
    Tender{14, "Paid by Gift Card", "Our Gift Card", 4},
    Tender{15, "Paid by Natl Gift Card", "Natl Gift Card", 2},
    Tender{16, "Paid by Coupon/Discount", "Coupon/Discount", 0},
};

constexpr std::array kFirstNames = {"MARIA", "JOHN",  "LINDA", "ROBERT", "SUSAN", "DAVID",
                                    "KAREN", "PETER", "NINA",  "OMAR",   "GRACE", "HENRY",
                                    "CHLOE", "RAJ",   "ELENA", "THOMAS"};
constexpr std::array kLastNames = {"SMITH", "NGUYEN",  "GARCIA", "BROWN",  "MILLER", "KOWALSKI",
                                   "PATEL", "JOHNSON", "LEE",    "MARTIN", "OBRIEN", "ROSSI",
                                   "SATO",  "WILSON",  "BERG",   "DUBOIS"};
constexpr std::array kPaidOutReasons = {
    "Produce delivery", "Ice",           "Flowers", "Postage", "Cleaning supplies",
    "Parking refund",   "Bread delivery"};
constexpr std::array kPaidInReasons = {"Change fund", "Vending machine", "Tip share return"};
constexpr std::array kErrorTexts = {
    "Kitchen printer 2 not responding - ticket reprinted",
    "Card authorization timed out - retried",
    "Back office not reachable - ticket held locally",
    "Cash drawer open longer than 60 seconds",
    "Receipt printer paper low",
    "Scale not responding on COM2",
};

}  // namespace

std::span<const MenuItem> menu() {
    return kMenu;
}
const MenuItem& party_service_charge() {
    return kPartyServiceCharge;
}

int item_account(const MenuItem& item) {
    if (item.number == kPartyServiceCharge.number) return kServiceChargeAccount;
    if (item.course == Course::Merchandise) return kMerchandiseAccount;
    if (item.course == Course::Drink) return item.number >= 200 ? kBarAccount : kBeverageAccount;
    return kFoodAccount;
}

char item_department(const MenuItem& item) {
    if (item.number == kPartyServiceCharge.number) return 'S';
    if (item.course == Course::Merchandise) return 'M';
    if (item.course == Course::Drink) return item.number >= 200 ? 'L' : 'B';
    return 'F';
}

std::span<const Employee> employees() {
    return kEmployees;
}
std::span<const Tender> tenders() {
    return kTenders;
}
const Tender& tender(int code) {
    return kTenders.at(static_cast<std::size_t>(code - 1));
}
std::span<const char* const> first_names() {
    return kFirstNames;
}
std::span<const char* const> last_names() {
    return kLastNames;
}
std::span<const char* const> paid_out_reasons() {
    return kPaidOutReasons;
}
std::span<const char* const> paid_in_reasons() {
    return kPaidInReasons;
}
std::span<const char* const> error_texts() {
    return kErrorTexts;
}

std::string card_prefix(int tender_code) {
    switch (tender_code) {
        case 3:
            return "4";
        case 4:
            return "54";
        case 5:
            return "6011";
        case 6:
            return "37";
        case 7:
            return "65";
        default:
            return "36";
    }
}

}  // namespace tillora::demo
