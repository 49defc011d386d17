#include "app/node_file.h"

#include <cmath>
#include <limits>

#include "platform/files.h"
#include "platform/text.h"
#include "platform/value.h"

namespace tillora {

namespace {

template <typename Int>
Int to_int(double value) {
    if (!std::isfinite(value)) return 0;
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<Int>::min() || rounded > std::numeric_limits<Int>::max()) {
        return 0;
    }
    return static_cast<Int>(rounded);
}

// The value after `key` when the item starts with it (compared upper-cased).
bool match_key(const std::string& item, const std::string& key, std::string& value) {
    if (upper(first_chars(item, key.size())) != key) return false;
    value = item.substr(key.size());
    return true;
}

}  // namespace

std::int16_t to_int16(double value) {
    return to_int<std::int16_t>(value);
}
std::int32_t to_int32(double value) {
    return to_int<std::int32_t>(value);
}

std::string two_digit_unit(long number) {
    const std::string text = "00" + std::to_string(number);
    return text.substr(text.size() - 2);
}

void apply_node_item(ModuleState& st, const std::string& item) {
    std::string value;
    if (match_key(item, "POSUNIT=", value)) {
        st.posunit = to_int16(leading_number(value));
        st.masternode = st.posunit == 0 ? 1 : 0;
    } else if (match_key(item, "COMPUTERNAME=", value)) {
        st.computername = value;
    } else if (match_key(item, "NODENUMBER=", value)) {
        st.nodenumber = to_int16(leading_number(value));
    } else if (match_key(item, "MAPDRIVE=", value)) {
        st.mapdrive = value;
    } else if (match_key(item, "LOCALDRIVE=", value)) {
        st.localdrive = value;
    }
}

void derive_database_names(ModuleState& st) {
    if (st.nodenumber < 10) {
        const std::string padded = "0000" + std::to_string(st.nodenumber);
        st.rptdb = "RPT" + padded.substr(padded.size() - 2) + ".MDB";
    } else {
        st.rptdb = "RPT" + std::to_string(st.nodenumber) + ".MDB";
    }
    st.unitstr = two_digit_unit(st.posunit);
    st.xactdb = upper("kovrax" + st.unitstr + ".mdb");
}

bool read_node_file(ModuleState& st, Services& svc) {
    const auto path = svc.resolve(kNodeFileName);
    if (!file_exists(path)) {
        st.msg = "This node has not been initialized.";
        svc.ui.message_box(st.msg, "Invalid Installation", Icon::Information);
        return false;
    }
    std::vector<std::string> items;
    try {
        items = read_items(path);
    } catch (const FileError& e) {
        st.msg = std::string("The node file ") + kNodeFileName + " cannot be read.\r\n" + e.what();
        svc.ui.message_box(st.msg, "Invalid Installation", Icon::Information);
        return false;
    }
    for (const std::string& item : items) apply_node_item(st, item);
    svc.ui.yield();
    derive_database_names(st);
    return true;
}

}  // namespace tillora
