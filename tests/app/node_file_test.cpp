#include "app/node_file.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tillora {
namespace {

struct NodeCase {
    const char* name;
    const char* file;
    int posunit, masternode, nodenumber;
    const char* mapdrive;
    const char* unitstr;
    const char* rptdb;
    const char* xactdb;
};

TEST(NodeFile, ReadsKeysAndDerivesNames) {
    const NodeCase cases[] = {
        {"lower-case keys", "posunit=3\r\nnodenumber=3\r\n", 3, 0, 3, "", "03", "RPT03.MDB",
         "KOVRAX03.MDB"},
        {"master node", "POSUNIT=0\nNODENUMBER=1\n", 0, 1, 1, "", "00", "RPT01.MDB",
         "KOVRAX00.MDB"},
        {"node 7", "POSUNIT=2\nNODENUMBER=7\n", 2, 0, 7, "", "02", "RPT07.MDB", "KOVRAX02.MDB"},
        {"node 10", "POSUNIT=12\nNODENUMBER=10\n", 12, 0, 10, "", "12", "RPT10.MDB",
         "KOVRAX12.MDB"},
        {"unit and node 123", "POSUNIT=123\nNODENUMBER=123\n", 123, 0, 123, "", "23", "RPT123.MDB",
         "KOVRAX23.MDB"},
        {"last repeat wins", "POSUNIT=4\nMAPDRIVE=F:\\\nMAPDRIVE=G:\\\nPOSUNIT=5\n", 5, 0, 0,
         "G:\\", "05", "RPT00.MDB", "KOVRAX05.MDB"},
        {"not numeric", "POSUNIT=abc\nNODENUMBER=x7\n", 0, 1, 0, "", "00", "RPT00.MDB",
         "KOVRAX00.MDB"},
        {"leading number", "POSUNIT=6b\nNODENUMBER= 8 \n", 6, 0, 8, "", "06", "RPT08.MDB",
         "KOVRAX06.MDB"},
        {"blank lines and stray commas",
         "\n\n,,POSUNIT=4,,\n  NODENUMBER=5 ,\n\nmapdrive=/srv/Pos/\n", 4, 0, 5, "/srv/Pos/", "04",
         "RPT05.MDB", "KOVRAX04.MDB"},
        {"unknown keys ignored", "COLOR=red\nPOSUNIT=9\nPOSUNITX=1\nPOSUNIT\n", 9, 0, 0, "", "09",
         "RPT00.MDB", "KOVRAX09.MDB"},
        {"out of 16-bit range", "POSUNIT=99999\nNODENUMBER=-3\n", 0, 1, -3, "", "00", "RPT-3.MDB",
         "KOVRAX00.MDB"},
    };
    for (const NodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestStation t;
        ModuleState st;
        test::write_file(t.home() / kNodeFileName, c.file);
        EXPECT_TRUE(read_node_file(st, t.s().svc));
        EXPECT_EQ(st.posunit, c.posunit);
        EXPECT_EQ(st.masternode, c.masternode);
        EXPECT_EQ(st.nodenumber, c.nodenumber);
        EXPECT_EQ(st.mapdrive, c.mapdrive);
        EXPECT_EQ(st.unitstr, c.unitstr);
        EXPECT_EQ(st.rptdb, c.rptdb);
        EXPECT_EQ(st.xactdb, c.xactdb);
        EXPECT_TRUE(t.boxes().empty());
    }
}

TEST(NodeFile, KeepsTheCaseOfValuesAndQuotedItems) {
    test::TestStation t;
    ModuleState st;
    test::write_file(t.home() / kNodeFileName,
                     "\"ComputerName=Till 1\"\nLocalDrive=/Pos/Local/\nPOSUNIT=3\n");
    ASSERT_TRUE(read_node_file(st, t.s().svc));
    EXPECT_EQ(st.computername, "Till 1");
    EXPECT_EQ(st.localdrive, "/Pos/Local/");
}

TEST(NodeFile, MissingFileSaysTheNodeIsNotInitialised) {
    test::TestStation t;
    ModuleState st;
    EXPECT_FALSE(read_node_file(st, t.s().svc));
    EXPECT_EQ(t.boxes(), std::vector<std::string>{
                             "MSGBOX Invalid Installation | This node has not been initialized."});
    EXPECT_EQ(st.rptdb, "");
    EXPECT_EQ(st.xactdb, "");
    EXPECT_EQ(st.masternode, 0);
}

}  // namespace
}  // namespace tillora
