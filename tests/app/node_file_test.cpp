// The node file: keys in any case and order, the names derived from the unit and node numbers.
// Lower-case keys, blank lines, stray commas and a missing file are the driver scenarios'.
#include "app/node_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tillora {
namespace {

// "posunit masternode nodenumber mapdrive unitstr rptdb xactdb computername localdrive".
std::string described(const ModuleState& st) {
    std::ostringstream out;
    out << st.posunit << ' ' << st.masternode << ' ' << st.nodenumber << " [" << st.mapdrive << "] "
        << st.unitstr << ' ' << st.rptdb << ' ' << st.xactdb << " [" << st.computername << "] ["
        << st.localdrive << "]";
    return out.str();
}

TEST(NodeFile, ReadsKeysAndDerivesNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"POSUNIT=0\nNODENUMBER=1\n", "0 1 1 [] 00 RPT01.MDB KOVRAX00.MDB [] []"},
        {"POSUNIT=12\nNODENUMBER=10\n", "12 0 10 [] 12 RPT10.MDB KOVRAX12.MDB [] []"},
        {"POSUNIT=123\nNODENUMBER=123\n", "123 0 123 [] 23 RPT123.MDB KOVRAX23.MDB [] []"},
        {"POSUNIT=4\nMAPDRIVE=F:\\\nMAPDRIVE=G:\\\nPOSUNIT=5\n",  // the last repeat wins
         "5 0 0 [G:\\] 05 RPT00.MDB KOVRAX05.MDB [] []"},
        {"POSUNIT=abc\nNODENUMBER=x7\n", "0 1 0 [] 00 RPT00.MDB KOVRAX00.MDB [] []"},
        {"POSUNIT=6b\nNODENUMBER= 8 \n", "6 0 8 [] 06 RPT08.MDB KOVRAX06.MDB [] []"},
        {"COLOR=red\nPOSUNIT=9\nPOSUNITX=1\nPOSUNIT\n", "9 0 0 [] 09 RPT00.MDB KOVRAX09.MDB [] []"},
        {"POSUNIT=99999\nNODENUMBER=-3\n", "0 1 -3 [] 00 RPT-3.MDB KOVRAX00.MDB [] []"},
        {"\"ComputerName=Till 1\"\nLocalDrive=/Pos/Local/\nPOSUNIT=3\n",
         "3 0 0 [] 03 RPT00.MDB KOVRAX03.MDB [Till 1] [/Pos/Local/]"},
    };
    for (const auto& [file, expected] : cases) {
        test::TestStation t;
        ModuleState st;
        test::write_file(t.home() / kNodeFileName, file);
        EXPECT_TRUE(read_node_file(st, t.s().svc));
        EXPECT_EQ(described(st), expected) << file;
        EXPECT_TRUE(t.boxes().empty());
    }
}

}  // namespace
}  // namespace tillora
