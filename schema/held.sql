-- kovratmp.mdb in the shared server folder: the held (open) tickets of every workstation.
-- Same columns as the workstation's xact.
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
CREATE INDEX IF NOT EXISTS xact_ticket ON xact (ticket, poschitdate, status, itemnumber, trantime,
    poschitbase, poschitsrvchg, poschittax);
CREATE INDEX IF NOT EXISTS xact_date ON xact (poschitdate, status, ticket, trantime);
