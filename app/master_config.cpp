#include "app/master_config.h"

#include <cmath>
#include <filesystem>

#include "app/node_file.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/value.h"

namespace tillora {

namespace {

// The fields of a configuration record in the order they are read. Every one must be present;
// only the kept ones are converted.
const char* const kConfigFields[] = {
    "taxscyesno",    "sctaxpct",       "deptorstax",      "consolidate",   "compname",
    "compaddr1",     "compaddr2",      "compcity",        "compstate",     "compzip",
    "compphone1",    "compphone2",     "storeid",         "compemail",     "salestax",
    "showname",      "session",        "empvalmethod",    "offlinemode",   "newemp",
    "plevel1",       "plevel2",        "plevel3",         "plevel4",       "ccacctid",
    "ccacctsub",     "ccardpath",      "ccpreauthrate",   "rformat",       "hformat",
    "regflags",      "noninvglnum",    "localprinter",    "opensalemode",  "recallholdmode",
    "tdrcash",       "tdrcheck",       "tdrvisa",         "tdrmastercard", "tdrdiscover",
    "tdramex",       "tdrcarte",       "tdrdiners",       "tdrgift",       "tdrprize",
    "tdrcreditbook", "tdrourgiftcard", "tdrnatlgiftcard", "tdrcoupon",     "arglsrvchg"};

std::int16_t int16_field(const Value& v) {
    return to_int16(v.as_double());
}

bool is_blank(const Value& v) {
    return v.is_null() || v.is_empty() || (v.is_text() && trim(v.as_text()).empty());
}

}  // namespace

std::int16_t printer_type_from_regflags(const std::string& regflags) {
    const std::string flag = chars_from(regflags, 15, 1);
    if (flag.size() != 1) return 0;
    const char c = flag[0];
    return (c >= '0' && c <= '9') ? static_cast<std::int16_t>(c - '0') : 0;
}

MasterConfig read_config_record(const Recordset& rs) {
    MasterConfig c;
    for (const char* name : kConfigFields) {
        const Value& v = rs.field(name);
        const std::string field = name;
        if (field == "session") c.session = to_int32(v.as_double());
        if (field == "empvalmethod") c.empvalmethod = int16_field(v);
        if (field == "offlinemode") c.offlinemode = int16_field(v);
        if (field == "newemp") c.newemp = int16_field(v);
        if (field == "regflags") c.printertype = printer_type_from_regflags(v.as_text());
        if (field == "localprinter") c.localprinter = int16_field(v);
        if (field == "arglsrvchg") c.arglsrvchg = is_blank(v) ? 0 : v.as_double();
    }
    return c;
}

bool ask_workstation_number(ModuleState& st, Services& svc) {
    st.title = "Master Configuration";
    st.msg = "Type the workstation # to configure and click OK. (1-10)";
    for (int asked = 0; asked < kMaxWorkstationAsks; ++asked) {
        const auto answer = svc.ui.input_box(st.msg, st.title.as_text(), "");
        const double number = answer ? leading_number(trim(*answer)) : 0;
        st.unitstr = plain_number(number);
        if (number >= 1 && number <= 10 && number == std::floor(number)) return true;
        if (!answer && svc.ui.unattended()) break;
    }
    return false;
}

std::string database_error_text(const StoreError& e) {
    const std::string name = std::filesystem::path(e.database()).filename().string();
    return "The database " + name + " could not be read.\r\n" + e.engine_message();
}

bool load_master_config(ModuleState& st, Services& svc) {
    st.sqlstring = "select * from config";
    st.dbpath = "kovra" + st.unitstr + ".mdb";
    if (st.masternode == 1) {
        if (!ask_workstation_number(st, svc)) {
            st.msg = "No workstation number was given: the configuration is not loaded.";
            svc.ui.message_box(st.msg, "Master Configuration", Icon::Information);
            return false;
        }
        st.dbpath = st.mapdrive + "KOVRAH.MDB";
        const std::string padded = "0" + st.unitstr;
        st.sqlstring = "select * from config" + padded.substr(padded.size() - 2);
    }
    svc.ui.yield();
    if (!file_exists(svc.resolve(st.dbpath))) {
        st.msg = "The configuration file for Kovra unit " + st.unitstr + " is missing.\r\n";
        svc.ui.message_box(st.msg, "Oops...", Icon::Critical);
        return false;
    }
    bool loaded = false;
    try {
        auto db = Database::open(svc.resolve(st.dbpath));
        auto rs = db->open_recordset(st.sqlstring);
        if (!rs.eof()) {
            const MasterConfig c = read_config_record(rs);
            st.session = c.session;
            st.empvalmethod = c.empvalmethod;
            st.offlinemode = c.offlinemode;
            st.newemp = c.newemp;
            st.localprinter = c.localprinter;
            st.printertype = c.printertype;
            st.arglsrvchg = c.arglsrvchg;
            loaded = true;
        }
        rs.close();
        db->close();
    } catch (const StoreError& e) {
        st.msg = database_error_text(e);
        svc.ui.message_box(st.msg, "Oops...", Icon::Critical);
    }
    svc.ui.yield();
    return loaded;
}

}  // namespace tillora
