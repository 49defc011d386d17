-- kovraemp.mdb: the employees. pword is compared by its numeric value.
CREATE TABLE IF NOT EXISTS empinfo (
    empid     INTEGER,
    operator  INTEGER,
    accessnum TEXT COLLATE NOCASE,
    pword     TEXT COLLATE NOCASE,
    empname   TEXT COLLATE NOCASE
);
CREATE INDEX IF NOT EXISTS empinfo_empid ON empinfo (empid);
