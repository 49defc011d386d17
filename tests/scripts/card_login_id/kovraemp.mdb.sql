-- Cards of 16 and 19 digits; the last two differ only in their last digit.
INSERT INTO empinfo (empid, accessnum, pword) VALUES (4111111111111111, '4111111111111111', '2222');
INSERT INTO empinfo (empid, accessnum, pword) VALUES (4111111111111111111, '4111111111111111111', '4444');
INSERT INTO empinfo (empid, accessnum, pword) VALUES (4111111111111111112, '4111111111111111112', '5555');
