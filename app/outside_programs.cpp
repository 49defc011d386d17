#include "app/outside_programs.h"

#include <unistd.h>

#include "platform/files.h"

namespace tillora {

bool start_employee_lookup(Services& svc) {
    const auto path = svc.resolve(kLookupProgram);
    if (!file_exists(path) || ::access(path.c_str(), X_OK) != 0) return false;
    return svc.ui.start_program(path.string());
}

bool back_office_reachable(ModuleState& st, const Services& svc) {
    st.backofficemissing = file_exists(svc.resolve(st.mapdrive + kBackOfficeProgram)) ? 0 : 1;
    return st.backofficemissing == 0;
}

void write_request(ModuleState& st, const Services& svc) {
    const std::string line = std::to_string(st.reqcode) + "," + default_text(st.reqparm1) + "," +
                             default_text(st.reqparm2) + "," + default_text(st.reqparm3) + "," +
                             default_text(st.reqparm4);
    append_line(svc.resolve(st.localdrive + kRequestFile), line, "\r\n");
    st.reqcode = 0;
    st.reqparm1 = Value(0);
    st.reqparm2 = Value(0);
    st.reqparm3 = Value(0);
    st.reqparm4 = Value(0);
}

}  // namespace tillora
