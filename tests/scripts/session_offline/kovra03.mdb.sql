INSERT INTO config (session, offlinemode, regflags) VALUES (1234, 1, '');
