INSERT INTO config (empvalmethod, regflags) VALUES (1, '');
