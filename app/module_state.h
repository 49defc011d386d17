// The module variables that every handler shares, under their own names. One instance lives for
// the life of the program run; everything starts empty, 0 or unset.
#pragma once

#include <cstdint>
#include <string>

#include "platform/value.h"

namespace tillora {

struct ModuleState {
    // Node and database names (start-up).
    std::int16_t posunit = 0;
    std::int16_t masternode = 0;
    std::int16_t nodenumber = 0;
    std::string computername;
    std::string mapdrive;
    std::string localdrive;
    std::string unitstr;
    std::string rptdb;
    std::string xactdb;
    std::string dbpath;

    // Master configuration values.
    std::int32_t session = 0;
    std::int16_t empvalmethod = 0;
    std::int16_t offlinemode = 0;
    std::int16_t localprinter = 0;
    std::int16_t printertype = 0;
    double arglsrvchg = 0;
    std::int16_t newemp = 0;

    // Operator and range. Employee IDs keep every digit (card numbers have up to 19).
    IdNumber empid;
    std::int16_t saleactive = 0;
    std::int32_t fromdate = 0;
    std::int32_t todate = 0;
    std::string fromtime;
    std::string totime;
    std::string today;
    std::int32_t todaynum = 0;

    // Report pipeline.
    std::int16_t reportbusy = 0;
    std::int16_t printall = 0;
    std::int16_t closeoutmode = 0;
    std::string closeoutfile;
    std::string sqlstring;
    std::string blankline;
    std::int32_t ticketnum = 0;
    Currency amtwork;
    std::string msg;
    std::string dashline;
    Currency linebase;
    Currency linesrvchg;
    Currency linetax;
    std::string auditline;
    std::string cleanstr;
    std::string exportdir;
    std::int16_t backofficemissing = 0;
    std::int16_t reqcode = 0;
    Value reqparm1;
    Value reqparm2;
    Value reqparm3;
    Value reqparm4;

    // Question box.
    Value style;
    Value title;
    Value response;
};

}  // namespace tillora
