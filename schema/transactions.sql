-- KOVRAXnn.MDB: the workstation's transaction database, written by the register program.
-- Columns in a fixed order: the history export and the Removed Items copy follow it.
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
-- The per-ticket sums and row look-ups of every ticket report. The indexes carry the columns
-- that the per-ticket, per-server and per-tender sums test and add, so those sums read the index
-- alone and never the table.
CREATE INDEX IF NOT EXISTS xact_ticket ON xact (ticket, poschitdate, status, itemnumber, trantime,
    poschitbase, poschitsrvchg, poschittax);
-- Ticket, server, tender and export selections over a date range (with the time of day, so the
-- selections need not read the table).
CREATE INDEX IF NOT EXISTS xact_date ON xact (poschitdate, status, ticket, trantime);
CREATE INDEX IF NOT EXISTS xact_server ON xact (server, poschitdate, status, itemnumber, trantime,
    poschitbase, poschitsrvchg, poschittax);
CREATE INDEX IF NOT EXISTS xact_tender ON xact (postendtype, poschitdate, status, posbatch,
    itemnumber, trantime, poschitbase);
CREATE INDEX IF NOT EXISTS xact_chitnum ON xact (poschitnum);
-- The lists of a date range (the tender types of Tender Totals, payments on account and the
-- drawer; the servers of Server Totals) read only the range's entries of this index, whatever
-- the years the store holds.
CREATE INDEX IF NOT EXISTS xact_date_lists ON xact (poschitdate, postendtype, posbatch, status,
    itemnumber, trantime, server);

-- Card payments (the card processor's record of each approved payment); amount in cents.
CREATE TABLE IF NOT EXISTS ccard (
    ticket        INTEGER,
    status        INTEGER,
    amount        INTEGER,
    ccnumber      TEXT COLLATE NOCASE,
    ccname        TEXT COLLATE NOCASE,
    expmonth      TEXT COLLATE NOCASE,
    expyear       TEXT COLLATE NOCASE,
    resultrefcode TEXT COLLATE NOCASE,
    resultorderid TEXT COLLATE NOCASE
);
CREATE INDEX IF NOT EXISTS ccard_ticket ON ccard (ticket);
