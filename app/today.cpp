#include "app/today.h"

#include "app/node_file.h"
#include "platform/value.h"

namespace tillora {

void run_today(ModuleState& st, const Clock& clock) {
    st.today = clock.date_text();
    // Characters 7-10 (year), 1-2 (month), 4-5 (day) of MM-DD-YYYY.
    const std::string& t = st.today;
    const std::string digits =
        t.size() >= 10 ? t.substr(6, 4) + t.substr(0, 2) + t.substr(3, 2) : t;
    st.todaynum = to_int32(leading_number(digits));
}

std::string current_year(const Clock& clock) {
    const std::string t = clock.date_text();
    return t.size() >= 4 ? t.substr(t.size() - 4) : t;
}

}  // namespace tillora
