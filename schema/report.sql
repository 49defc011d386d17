-- RPTnn.MDB: the report work database. ar is emptied and refilled by every report; xact is the
-- work copy of the removed lines (same columns in the same order as the transaction xact).
CREATE TABLE IF NOT EXISTS ar (
    ardate    INTEGER,
    aracctnum INTEGER,
    base      CURRENCY DEFAULT 0,
    srvchg    CURRENCY DEFAULT 0,
    salestax  CURRENCY DEFAULT 0,
    total     CURRENCY DEFAULT 0,
    covers    INTEGER,
    arlines   INTEGER,
    artototal INTEGER,
    Memo      TEXT COLLATE NOCASE
);
-- The ticket lists print ar in ardate order: read through this index, a year of rows needs no
-- sort before the first line prints.
CREATE INDEX IF NOT EXISTS ar_ardate ON ar (ardate);
CREATE TABLE IF NOT EXISTS xact (
    ticket           INTEGER,
    poschitnum       INTEGER,
    server           INTEGER,
    itemnumber       INTEGER,
    status           INTEGER,
    postendtype      INTEGER,
    posbatch         TEXT COLLATE NOCASE,
    poschitdate      INTEGER,
    trantime         TEXT COLLATE NOCASE,
    poschitbase      CURRENCY,
    poschitsrvchg    CURRENCY,
    poschittax       CURRENCY,
    poschittotal     CURRENCY,
    posacctnum       INTEGER,
    posmemo          TEXT COLLATE NOCASE,
    saletext         TEXT COLLATE NOCASE,
    posmemberacctnum TEXT COLLATE NOCASE,
    poschitemployee  INTEGER,
    poschitcovers    INTEGER,
    poscodes         TEXT COLLATE NOCASE,
    export           INTEGER
);
