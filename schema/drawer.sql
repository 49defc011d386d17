-- KOVRAZnn.MDB: the workstation's drawer counts. One row per count, numbered 1, 2, 3 ... per
-- workstation; a stored count is a record of what was in the drawer and is never changed.
CREATE TABLE IF NOT EXISTS drawercount (
    countno       INTEGER PRIMARY KEY,
    countdate     INTEGER NOT NULL,          -- YYYYMMDD of the count
    counttime     TEXT NOT NULL,             -- HH:MM:SS of the count
    fromdate      INTEGER NOT NULL,          -- the operator's range, YYYYMMDD and HH:MM:SS
    todate        INTEGER NOT NULL,
    fromtime      TEXT NOT NULL,
    totime        TEXT NOT NULL,
    empid         TEXT NOT NULL,             -- the operator, as typed in txtempid
    openingbank   CURRENCY NOT NULL,
    expcash       CURRENCY NOT NULL,
    cntcash       CURRENCY NOT NULL,
    expchecks     CURRENCY NOT NULL,
    cntchecks     CURRENCY NOT NULL,
    expmember     CURRENCY NOT NULL,
    cntmember     CURRENCY NOT NULL,
    expcards      CURRENCY NOT NULL,
    cntcards      CURRENCY NOT NULL
);
CREATE INDEX IF NOT EXISTS drawercount_date ON drawercount (countdate);
-- Counts are only ever inserted: changing or removing one is refused.
CREATE TRIGGER IF NOT EXISTS drawercount_no_update BEFORE UPDATE ON drawercount
BEGIN
    SELECT RAISE(ABORT, 'a stored drawer count cannot be changed');
END;
CREATE TRIGGER IF NOT EXISTS drawercount_no_delete BEFORE DELETE ON drawercount
BEGIN
    SELECT RAISE(ABORT, 'a stored drawer count cannot be removed');
END;
